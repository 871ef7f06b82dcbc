#include "common/vb.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace kq::vb {

namespace {

// Character classes by hand: <cctype> follows the C locale, which on Windows
// may count code page bytes as digits.
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char toLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isIgnoredInNumber(char c) { return c == ' ' || c == '\t' || c == '\n'; }

double radixValue(std::string_view digits, int radix) {
    // &H and &O numbers that fit 16 bits are Integers (so &HFFFF is -1), wider
    // ones Longs, as the runtime reads them.
    std::uint64_t v = 0;
    std::size_t n = 0;
    for (char c : digits) {
        int d;
        if (isDigit(c)) d = c - '0';
        else if (radix == 16 && toLower(c) >= 'a' && toLower(c) <= 'f') d = toLower(c) - 'a' + 10;
        else break;
        if (d >= radix) break;
        v = v * radix + d;
        if (v > 0xFFFFFFFFull) return 0;  // overflows a Long
        ++n;
    }
    if (v <= 0xFFFF && (radix == 8 || n <= 4)) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// The power of ten of a decimal number's leading digit (roughly), enough to tell
// a number too large for a Double from one too small.
long long decimalMagnitude(std::string_view intDigits, std::string_view fracDigits, long long exponent) {
    const std::size_t lead = intDigits.find_first_not_of('0');
    if (lead != std::string_view::npos) {
        return static_cast<long long>(intDigits.size() - lead) + exponent;
    }
    const std::size_t zeros = fracDigits.find_first_not_of('0');
    return zeros == std::string_view::npos ? 0 : exponent - static_cast<long long>(zeros);
}

// Texts of values a Double can hold but a number text cannot, as the runtime
// shows them.
std::optional<std::string> nonFiniteText(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-1.#IND" : "1.#QNAN";
    if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
    return std::nullopt;
}

std::optional<double> roundHalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    double whole = std::floor(value);
    const double rest = value - whole;  // exact for every finite Double
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return whole;
}

constexpr int kSecondsPerDay = 86400;
// 1899-12-30, the day OLE dates count from, in days since 1970-01-01.
constexpr long long kOleEpochShift = -25569;
constexpr long long kFirstOleDay = -657434;  // 100-01-01
constexpr long long kLastOleDay = 2958465;   // 9999-12-31

// Days since 1970-01-01 in the proleptic Gregorian calendar. Any month and day
// give some day number without overflow; callers that need a real date check it.
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

void civilFromDays(long long days, int& year, int& month, int& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

long long oleDayNumber(const DateTime& dt) {
    return daysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day)) -
           kOleEpochShift;
}

std::string digitsOf(unsigned long long magnitude) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    return std::string(buffer, result.ptr);
}

}  // namespace

double Val(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isIgnoredInNumber(c)) s += c;
    }
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = toLower(s[1]);
        if (kind == 'h') return radixValue(std::string_view(s).substr(2), 16);
        if (kind == 'o') return radixValue(std::string_view(s).substr(2), 8);
        return 0;
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    const std::string_view intDigits = std::string_view(s).substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < s.size() && isDigit(s[i])) ++i;
        fracDigits = std::string_view(s).substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty()) return 0;
    std::string number(intDigits);
    number += '.';
    number += fracDigits;
    long long exponent = 0;
    if (i < s.size() && (toLower(s[i]) == 'e' || toLower(s[i]) == 'd')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < s.size() && s[j] == '-';
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expStart = j;
        while (j < s.size() && isDigit(s[j])) {
            // Saturates far beyond any Double, so a long run of digits cannot overflow.
            if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
            ++j;
        }
        if (j > expStart) {
            if (negativeExponent) exponent = -exponent;
            char buffer[24];
            const auto written = std::to_chars(buffer, buffer + sizeof buffer, exponent);
            number += 'e';
            number.append(buffer, written.ptr);
        }
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large: infinity (callers clamp or refuse it); too small: zero.
        value = decimalMagnitude(intDigits, fracDigits, exponent) > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

std::optional<std::int16_t> CInt(double value) {
    const auto rounded = roundHalfEven(value);
    if (!rounded || *rounded < INT16_MIN || *rounded > INT16_MAX) return std::nullopt;
    return static_cast<std::int16_t>(*rounded);
}

std::optional<std::int32_t> CLng(double value) {
    const auto rounded = roundHalfEven(value);
    if (!rounded || *rounded < INT32_MIN || *rounded > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(*rounded);
}

std::string NumberText(double value) {
    if (auto text = nonFiniteText(value)) return *text;
    if (value == 0) return "0";  // also for -0, which the runtime never shows
    // 15 significant digits, correctly rounded: one digit, a point, 14 digits, e±x.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = sci.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = sci.find('e');
    std::string digits;
    digits += sci[first];
    digits += sci.substr(first + 2, e - first - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = 0;
    const char* expBegin = sci.data() + e + 1;
    if (*expBegin == '+') ++expBegin;
    std::from_chars(expBegin, sci.data() + sci.size(), exponent);

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out += digits.front();
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string expDigits = digitsOf(static_cast<unsigned long long>(std::abs(exponent)));
        if (expDigits.size() < 2) out += '0';
        out += expDigits;
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intLength = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLength) {
            out += digits;
            out.append(intLength - digits.size(), '0');
        } else {
            out += digits.substr(0, intLength);
            out += '.';
            out += digits.substr(intLength);
        }
    }
    return out;
}

std::string SingleText(float value) {
    if (auto text = nonFiniteText(value)) return *text;
    if (value == 0) return "0";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    // Readers take the text as a Double and narrow it; in the rare case where that
    // double rounding lands on a neighbour, the Double's own text is exact.
    double back = 0;
    std::from_chars(buffer, result.ptr, back);
    if (static_cast<float>(back) != value) {
        result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed);
    }
    return std::string(buffer, result.ptr);
}

std::optional<double> ToOleDate(const DateTime& dt) {
    if (dt.year < 100 || dt.year > 9999 || dt.month < 1 || dt.month > 12 || dt.day < 1 ||
        dt.day > daysInMonth(dt.year, dt.month) || dt.hour < 0 || dt.hour > 23 || dt.minute < 0 ||
        dt.minute > 59 || dt.second < 0 || dt.second > 59) {
        return std::nullopt;
    }
    const auto days = static_cast<double>(oleDayNumber(dt));
    const double time = (dt.hour * 3600 + dt.minute * 60 + dt.second) / static_cast<double>(kSecondsPerDay);
    return days < 0 ? days - time : days + time;
}

std::optional<DateTime> FromOleDate(double oleDate) {
    if (!std::isfinite(oleDate)) return std::nullopt;
    const double dayPart = std::trunc(oleDate);
    if (dayPart < kFirstOleDay || dayPart > kLastOleDay) return std::nullopt;
    auto day = static_cast<long long>(dayPart);
    long long seconds = std::llround(std::fabs(oleDate - dayPart) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {  // rounded up to the next midnight
        ++day;
        seconds -= kSecondsPerDay;
    }
    if (day > kLastOleDay) return std::nullopt;
    DateTime dt;
    civilFromDays(day + kOleEpochShift, dt.year, dt.month, dt.day);
    dt.hour = static_cast<int>(seconds / 3600);
    dt.minute = static_cast<int>(seconds / 60 % 60);
    dt.second = static_cast<int>(seconds % 60);
    return dt;
}

int Weekday(const DateTime& dt) {
    // 1899-12-30 was a Saturday.
    const long long w = (oleDayNumber(dt) + 6) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

std::string FormatDate(const DateTime& dt, std::string_view pattern) {
    static constexpr const char* kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    std::string out;
    // "m" means minutes when the nearest token before it, literals skipped, is an hour.
    bool afterHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = toLower(pattern[i]);
        std::size_t run = 1;
        while (i + run < pattern.size() && toLower(pattern[i + run]) == c) ++run;
        // Each token takes as many letters as its longest form; the rest of a run
        // starts the next token.
        auto number = [&](int value, std::size_t longForm) {
            const std::size_t used = run >= longForm ? longForm : 1;
            out += FormatDigits(value, static_cast<int>(used));
            i += used;
        };
        bool hour = false;
        switch (c) {
            case 'y':
                if (run >= 4) {
                    out += FormatDigits(dt.year, 4);
                    i += 4;
                } else if (run >= 2) {
                    out += FormatDigits(dt.year % 100, 2);
                    i += 2;
                } else {
                    out += pattern[i++];
                    continue;
                }
                break;
            case 'm': number(afterHour ? dt.minute : dt.month, 2); break;
            case 'd': number(dt.day, 2); break;
            case 'h':
                number(dt.hour, 2);
                hour = true;
                break;
            case 'n': number(dt.minute, 2); break;
            case 's': number(dt.second, 2); break;
            case 'a':
                if (run < 3) {
                    out += pattern[i++];
                    continue;
                }
                out += kWeekdays[Weekday(dt)];
                i += 3;
                break;
            default: out += pattern[i++]; continue;
        }
        afterHour = hour;
    }
    return out;
}

std::string FormatDigits(long long value, int digits) {
    const unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const std::string text = digitsOf(magnitude);
    std::string out = value < 0 ? "-" : "";
    if (digits > 0 && text.size() < static_cast<std::size_t>(digits)) {
        out.append(static_cast<std::size_t>(digits) - text.size(), '0');
    }
    return out + text;
}

}  // namespace kq::vb
