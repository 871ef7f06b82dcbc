#include "common/win32/window_text.h"

#include "common/win32/wide.h"

namespace kq::win32 {

std::wstring wideWindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string windowText(HWND window) { return narrow(wideWindowText(window)); }

void showText(HWND window, std::string_view text) {
    if (windowText(window) != text) SetWindowTextW(window, wide(text).c_str());
}

}  // namespace kq::win32
