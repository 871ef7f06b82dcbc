#pragma once
// A window's text (a caption, an edit box's contents) whatever its length.

#include "common/win32/windows_api.h"

#include <string>
#include <string_view>

namespace kq::win32 {

std::wstring wideWindowText(HWND window);
// In UTF-8.
std::string windowText(HWND window);
// Sets the text only when it differs, so that an edit box reports no change for nothing.
void showText(HWND window, std::string_view text);

}  // namespace kq::win32
