#include "common/vb.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace kq::vb {

namespace {

bool isIgnoredInNumber(char c) { return c == ' ' || c == '\t' || c == '\n'; }

double radixValue(std::string_view digits, int radix) {
    // &H and &O numbers that fit 16 bits are Integers (so &HFFFF is -1), wider
    // ones Longs, as the runtime reads them.
    std::uint64_t v = 0;
    std::size_t n = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        if (d >= radix) break;
        v = v * radix + d;
        if (v > 0xFFFFFFFFull) return 0;  // overflows a Long
        ++n;
    }
    if (v <= 0xFFFF && ((radix == 16 && n <= 4) || (radix == 8 && v <= 0xFFFF))) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

double Val(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isIgnoredInNumber(c)) s += c;
    }
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return radixValue(std::string_view(s).substr(2), 16);
        if (kind == 'O') return radixValue(std::string_view(s).substr(2), 8);
        return 0;
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string number;
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exponent += s[j++];
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large: infinity (callers clamp or refuse it); too small: zero.
        const bool huge = number.find("e-") == std::string::npos;
        value = huge ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace kq::vb
