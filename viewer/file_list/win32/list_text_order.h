#pragma once
// The order the file list sorts its texts in under Windows: the system's
// comparison for the user's locale, letter case aside, the one the list view
// sorts by itself. Marks come before digits and letters, full-width and
// half-width forms sort with their letters, kana by their sounds.

#include <string_view>

namespace kq::viewer::win32 {

// Negative, zero or positive as `a` comes before, with or after `b`. Any
// thread may call it: it touches no window and no GDI object.
int systemTextOrder(std::string_view a, std::string_view b);

}  // namespace kq::viewer::win32
