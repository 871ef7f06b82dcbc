#pragma once
// The program's own message box as its callers see it: the arguments, the
// flag values and the results. Every caller passes and tests the same numbers.

#include <cstdint>
#include <string>

namespace kq {

namespace msgbox {
// Button sets; of several, the lowest bit wins.
inline constexpr std::int32_t kOkOnly = 0x1;
inline constexpr std::int32_t kOkCancel = 0x2;
inline constexpr std::int32_t kAbortRetryIgnore = 0x4;
inline constexpr std::int32_t kYesNoCancel = 0x8;
inline constexpr std::int32_t kYesNo = 0x10;
inline constexpr std::int32_t kRetryCancel = 0x20;
// Default button; of several, the first in this order wins.
inline constexpr std::int32_t kDefaultButton1 = 0x400;
inline constexpr std::int32_t kDefaultButton2 = 0x800;
inline constexpr std::int32_t kDefaultButton3 = 0x1000;
inline constexpr std::int32_t kTopmost = 0x2000;
// Callers pass these to say what kind of message it is; the box always shows
// the exclamation icon.
inline constexpr std::int32_t kWarning = 0x40;
inline constexpr std::int32_t kQuestion = 0x80;
inline constexpr std::int32_t kNotice = 0x200;

// Results.
inline constexpr std::int32_t kOk = 1;
inline constexpr std::int32_t kCancel = 2;
inline constexpr std::int32_t kAbort = 4;
inline constexpr std::int32_t kRetry = 8;
inline constexpr std::int32_t kIgnore = 16;
inline constexpr std::int32_t kYes = 32;
inline constexpr std::int32_t kNo = 64;
// Added to a result while the check box is shown and ticked.
inline constexpr std::int32_t kChecked = 128;
}  // namespace msgbox

struct MsgBoxExArgs {
    std::string Prompt{};  // line ends CR LF, LF or CR
    std::int32_t Buttons = 0;
    std::string Title{};
    std::string Reserved1{};  // kept for the callers' argument list; never read
    std::string Reserved2{};
    bool ShowCheck = false;
    bool CheckValue = false;
    std::string CheckCaption{};
};

}  // namespace kq
