#pragma once
// Conversions that behave as the classic Basic runtime's do, where stored values
// and texts depend on them: Val, the rounding integer conversions, number texts,
// OLE Automation dates and the Format patterns the program uses.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq::vb {

// The leading number of a text. Blanks, tabs and line feeds are ignored wherever
// they stand; the number ends at the first character that cannot continue it;
// "." is the decimal sign whatever the locale; "&H"/"&O" prefixes read hex and
// octal; an exponent may be written with E or D; no number gives 0.
double Val(std::string_view text);

// Conversions to 16- and 32-bit integers: nearest, halves to the even neighbour.
// Empty when the value does not fit (or is not a number).
std::optional<std::int16_t> CInt(double value);
std::optional<std::int32_t> CLng(double value);

// The text of a Double for storing: up to 15 significant digits, "." as decimal
// sign, no trailing zeros ("2", "2.5", "-0.125"), the exponent form below 0.0001
// and from 1E+15 on ("1E-05", "1E+20"), reading back with Val. Infinities and
// NaN give the runtime's "1.#INF", "-1.#INF", "-1.#IND" or "1.#QNAN".
std::string NumberText(double value);

// The shortest plain decimal text (no exponent) of a single-precision value that
// reads back as the same value through Val and a narrowing ("3000", "2437.5").
std::string SingleText(float value);

// A local calendar date and time.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // Earlier before later: the fields compare from the year down.
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// OLE Automation dates: days since 1899-12-30 as a Double, the time of day as
// the fraction (for negative dates the fraction still counts forward from
// midnight). Valid from 100-01-01 to 9999-12-31 23:59:59 in the proleptic
// Gregorian calendar; anything else (out of range, a field outside its range
// such as February 30 or 24:00, NaN, infinite) is empty. Times round to the
// nearest second.
std::optional<double> ToOleDate(const DateTime& dt);
std::optional<DateTime> FromOleDate(double oleDate);

// 0 Sunday ... 6 Saturday.
int Weekday(const DateTime& dt);

// Formats a date and time with the patterns the program uses: yyyy (four digits,
// zero-padded, so ids keep their width), yy, m, mm (month, or minutes when the
// token before, literals skipped, is h or hh), d, dd, h, hh (0 to 23), n, nn, s,
// ss and aaa (the Japanese day of the week, such as 月). Letters match in either
// case. Other characters are copied.
std::string FormatDate(const DateTime& dt, std::string_view pattern);

// Formats an integer with at least `digits` digits ("00", "000" patterns).
std::string FormatDigits(long long value, int digits);

}  // namespace kq::vb
