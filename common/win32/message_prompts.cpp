#include "common/win32/message_prompts.h"

#include <string>

#include "common/win32/wide.h"

namespace kq::win32 {

int MessagePrompts::message(std::string_view text, std::string_view title, unsigned style) {
    const std::wstring wideText = wide(text);
    const std::wstring wideTitle = wide(title);
    return MessageBoxW(owner_, wideText.c_str(), wideTitle.c_str(), style);
}

void MessagePrompts::beep() { MessageBeep(MB_OK); }

}  // namespace kq::win32
