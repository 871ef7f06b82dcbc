#pragma once
// UTF-8 <-> UTF-16 at the call of a Win32 W function.

#include <string>
#include <string_view>

namespace kq::win32 {

std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace kq::win32
