#pragma once
// Letters in upper case as the running system maps them (see common/letter_case.h).

#include <string>
#include <string_view>

namespace kq::win32 {

// Ill-formed UTF-8 becomes U+FFFD.
std::string systemUpperCase(std::string_view utf8);

}  // namespace kq::win32
