#include "viewer/file_list/win32/list_text_order.h"

#include "common/win32/windows_api.h"

#include <string>

#include "common/win32/wide.h"

namespace kq::viewer::win32 {

int systemTextOrder(std::string_view a, std::string_view b) {
    // Columns repeat their texts (a book, a count, a date): the system need
    // not be asked about those, which costs most.
    if (a == b) return 0;
    const std::wstring first = kq::win32::wide(a);
    const std::wstring second = kq::win32::wide(b);
    const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.data(),
                                      static_cast<int>(first.size()), second.data(), static_cast<int>(second.size()));
    // Only arguments the system refuses fail; bytes still give a consistent order.
    if (result == 0) return a.compare(b);
    return result - CSTR_EQUAL;
}

}  // namespace kq::viewer::win32
