#pragma once
// The host matches names of workbooks, sheets and defined names without regard
// to the letter case of ASCII letters.

#include <algorithm>
#include <string_view>

namespace kq::host::sim {

inline bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace kq::host::sim
