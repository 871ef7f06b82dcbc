#pragma once
// Messages to the user. Portable code never shows a window: it asks this
// interface, which the Windows layer answers with a message box owned by the
// right window and tests answer from a script.

#include <string_view>

namespace kq {

// Styles and answers carry the values of the platform's message box.
namespace mb {
inline constexpr unsigned kOkOnly = 0x0;
inline constexpr unsigned kOkCancel = 0x1;
inline constexpr unsigned kYesNoCancel = 0x3;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconCritical = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
// Without one of these the first button is the default (Enter presses it).
inline constexpr unsigned kDefaultButton2 = 0x100;
inline constexpr unsigned kDefaultButton3 = 0x200;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows a modal message; returns the answer (mb::kId*).
    virtual int message(std::string_view text, std::string_view title, unsigned style) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

}  // namespace kq
