#include "viewer/main/win32/list_text_order.h"

#include "common/win32/windows_api.h"

#include <string>

namespace kq::viewer::win32 {

namespace {

// A sort compares each text many times: the UTF-16 buffers are kept per
// thread rather than made anew for every comparison.
std::wstring& toUtf16(std::string_view utf8, std::wstring& out) {
    out.resize(utf8.size());  // never more UTF-16 units than UTF-8 bytes
    const int n = utf8.empty() ? 0
                               : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                     out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

int systemTextOrder(std::string_view a, std::string_view b) {
    // Columns repeat their texts (a book, a count, a date): the system need
    // not be asked about those, which costs most.
    if (a == b) return 0;
    thread_local std::wstring first;
    thread_local std::wstring second;
    toUtf16(a, first);
    toUtf16(b, second);
    const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.data(),
                                      static_cast<int>(first.size()), second.data(), static_cast<int>(second.size()));
    // Only arguments the system refuses fail; bytes still give a consistent order.
    if (result == 0) return a.compare(b);
    return result - CSTR_EQUAL;
}

}  // namespace kq::viewer::win32
