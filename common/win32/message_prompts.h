#pragma once
// Messages as the system's message box, owned by the window the creator names.

#include "common/prompts.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

class MessagePrompts final : public Prompts {
public:
    // `owner` may be null: the box then has no owner window.
    explicit MessagePrompts(HWND owner) : owner_(owner) {}
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;

private:
    HWND owner_;
};

}  // namespace kq::win32
