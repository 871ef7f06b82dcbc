#include "common/win32/message_prompts.h"

#include <string>

#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::win32 {

namespace {

// A box without a Cancel button ignores Esc's command; ending it answers Cancel all the same.
void cancelBox(HWND box) noexcept { EndDialog(box, IDCANCEL); }

}  // namespace

int MessagePrompts::message(std::string_view text, std::string_view title, unsigned style) {
    const std::wstring wideText = wide(text);
    const std::wstring wideTitle = wide(title);
    const SystemDialogScope listed(cancelBox);
    return MessageBoxW(owner_, wideText.c_str(), wideTitle.c_str(), style);
}

void MessagePrompts::beep() { MessageBeep(MB_OK); }

}  // namespace kq::win32
