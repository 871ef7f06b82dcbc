#include "common/vb.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace kq::vb {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ValCase {
    std::string text;
    double value;
};

TEST(Val, ReadsTheLeadingNumberAsTheRuntimeDoes) {
    const ValCase cases[] = {
        // Stored settings: only a leading number of exactly 1 is true.
        {" 1", 1},
        {"1abc", 1},
        {"1.5", 1.5},
        {"True", 0},
        {"-1", -1},
        {"", 0},
        {"2", 2},
        // Blanks, tabs and line feeds are ignored anywhere, carriage returns are not.
        {"1 2 3", 123},
        {"\t\n7", 7},
        {"- 1", -1},
        {"1 . 5", 1.5},
        {"\r7", 0},
        // Where the number ends.
        {"1.2.3", 1.2},
        {".5", 0.5},
        {"-.5", -0.5},
        {"+3", 3},
        {"--1", 0},
        {"1,000", 1},
        {"$5", 0},
        {"\xEF\xBC\x91", 0},  // a full-width digit is no digit
        // Exponents, with E or D.
        {"1e3", 1000},
        {"1D2", 100},
        {"1.e3", 1000},
        {"2.5E-1", 0.25},
        {"1e", 1},
        {"1e+", 1},
        {"1E+20", 1e20},
        {"-1.5E-07", -1.5e-7},
        // Radix prefixes: up to 16 bits an Integer, beyond that a Long.
        {"&HFFFF", -1},
        {"&h7fff", 32767},
        {"&H8000", -32768},
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&H1G", 1},
        {"&H", 0},
        {"&O17", 15},
        {"&o177777", -1},
        {"&O8", 0},
        {"&X1", 0},
        {"-&H10", 0},
        // Beyond a Double.
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1e99999999999999999999", kInf},
        {"1e-400", 0},
        {"1e-99999999999999999999", 0},
        {"0." + std::string(400, '0') + "1", 0},
        {"1" + std::string(400, '0'), kInf},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Val(c.text), c.value) << '"' << c.text << '"';
    }
}

struct IntegerCase {
    double value;
    std::optional<std::int16_t> cint;
    std::optional<std::int32_t> clng;
};

TEST(VbIntegers, RoundHalvesToEvenAndRefuseWhatDoesNotFit) {
    const IntegerCase cases[] = {
        {2.5, 2, 2},
        {3.5, 4, 4},
        {-2.5, -2, -2},
        {-3.5, -4, -4},
        {0.5, 0, 0},
        {-0.5, 0, 0},
        {1.5, 2, 2},
        {3.4, 3, 3},
        {-3.6, -4, -4},
        {2.4999999999, 2, 2},
        {2.5000000001, 3, 3},
        // The largest Double below one half: adding 0.5 first would give 1.
        {0.49999999999999994, 0, 0},
        {32767.4, 32767, 32767},
        {32767.5, std::nullopt, 32768},
        {-32768.5, -32768, -32768},
        {-32768.6, std::nullopt, -32769},
        {2147483646.5, std::nullopt, 2147483646},
        {2147483647.5, std::nullopt, std::nullopt},
        {-2147483648.5, std::nullopt, INT32_MIN},
        {1e300, std::nullopt, std::nullopt},
        {kInf, std::nullopt, std::nullopt},
        {-kInf, std::nullopt, std::nullopt},
        {kNaN, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CInt(c.value), c.cint) << c.value;
        EXPECT_EQ(CLng(c.value), c.clng) << c.value;
    }
}

struct NumberTextCase {
    double value;
    const char* text;
};

TEST(NumberText, WritesFifteenDigitsWithAPointAndNoTrailingZeros) {
    const NumberTextCase cases[] = {
        {2, "2"},
        {2.5, "2.5"},
        {-0.125, "-0.125"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {100, "100"},
        {-1234.5, "-1234.5"},
        {0, "0"},
        {-0.0, "0"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        // Fifteen digits stay plain; beyond that the exponent form takes over.
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1234567890123456, "1.23456789012346E+15"},
        {999999999999999.9, "1E+15"},
        {1e20, "1E+20"},
        {1e100, "1E+100"},
        // Small numbers: plain down to the fourth decimal place.
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1E-05"},
        {-1.5e-7, "-1.5E-07"},
        {1e-100, "1E-100"},
        {5e-324, "4.94065645841247E-324"},
        {kInf, "1.#INF"},
        {-kInf, "-1.#INF"},
        {kNaN, "1.#QNAN"},
        {-kNaN, "-1.#IND"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberText(c.value), c.text) << c.value;
    }
}

TEST(NumberText, ReadsBackWithValToFifteenDigits) {
    std::mt19937_64 random(20240105);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const double value = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, exponent(random));
        const std::string text = NumberText(value);
        const double back = Val(text);
        ASSERT_LE(std::fabs(back - value), std::fabs(value) * 5e-15) << text;
        ASSERT_EQ(NumberText(back), text) << value;
    }
}

struct SingleTextCase {
    float value;
    const char* text;
};

TEST(SingleText, WritesTheShortestPlainDecimal) {
    const SingleTextCase cases[] = {
        {3000.f, "3000"},
        {6000.f, "6000"},
        {2437.5f, "2437.5"},
        {0.1f, "0.1"},
        {0.3f, "0.3"},
        {-1.5f, "-1.5"},
        {16777216.f, "16777216"},
        {1e20f, "100000002004087734272"},
        {1e-7f, "0.0000001"},
        {0.f, "0"},
        {-0.f, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SingleText(c.value), c.text) << c.value;
    }
}

TEST(SingleText, ReadsBackWithValAsTheSameSingle) {
    const auto readsBack = [](float value) {
        const std::string text = SingleText(value);
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        ASSERT_EQ(static_cast<float>(Val(text)), value) << text;
    };
    // The one positive single whose shortest text, read as a Double and
    // narrowed, lands on its neighbour.
    readsBack(0x1.5c87fap-84f);
    readsBack(-0x1.5c87fap-84f);
    std::mt19937 random(3000);
    for (int i = 0; i < 100000; ++i) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value)) readsBack(value);
    }
}

struct OleCase {
    DateTime dt;
    double ole;
};

TEST(OleDate, CountsDaysFrom1899AndTimeForwardFromMidnight) {
    const OleCase cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0},
        {{1899, 12, 30, 12, 0, 0}, 0.5},
        {{1899, 12, 31, 0, 0, 0}, 1.0},
        {{1900, 1, 1, 0, 0, 0}, 2.0},
        // No leap day in 1900.
        {{1900, 3, 1, 0, 0, 0}, 61.0},
        {{2000, 2, 29, 0, 0, 0}, 36585.0},
        {{2024, 1, 15, 13, 45, 30}, 45306.0 + 49530.0 / 86400},
        // Before the epoch the fraction still counts forward from the day's midnight.
        {{1899, 12, 29, 0, 0, 0}, -1.0},
        {{1899, 12, 29, 6, 0, 0}, -1.25},
        {{1899, 12, 28, 18, 0, 0}, -2.75},
        {{100, 1, 1, 0, 0, 0}, -657434.0},
        {{9999, 12, 31, 23, 59, 59}, 2958465.0 + 86399.0 / 86400},
    };
    for (const auto& c : cases) {
        const auto ole = ToOleDate(c.dt);
        ASSERT_TRUE(ole.has_value()) << c.ole;
        EXPECT_DOUBLE_EQ(*ole, c.ole);
        EXPECT_EQ(FromOleDate(c.ole), c.dt) << c.ole;
    }
}

struct FromOleCase {
    double ole;
    std::optional<DateTime> dt;
};

TEST(OleDate, RoundsToTheSecondAndKeepsToTheRange) {
    const FromOleCase cases[] = {
        {-0.5, DateTime{1899, 12, 30, 12, 0, 0}},
        {1 - 0.6 / 86400, DateTime{1899, 12, 30, 23, 59, 59}},
        // Just before midnight rounds up into the next day, on both sides of the epoch.
        {1 - 0.4 / 86400, DateTime{1899, 12, 31, 0, 0, 0}},
        {45306.9999999, DateTime{2024, 1, 16, 0, 0, 0}},
        {-1.9999999, DateTime{1899, 12, 30, 0, 0, 0}},
        {-0.9999999, DateTime{1899, 12, 31, 0, 0, 0}},
        {-657434.5, DateTime{100, 1, 1, 12, 0, 0}},
        {-657434.9999999, DateTime{100, 1, 2, 0, 0, 0}},
        {-657435.0, std::nullopt},
        {2958466.0, std::nullopt},
        {2958465.9999999, std::nullopt},  // would round into the year 10000
        {kNaN, std::nullopt},
        {kInf, std::nullopt},
        {-kInf, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromOleDate(c.ole), c.dt) << c.ole;
    }
}

TEST(OleDate, RefusesDatesThatDoNotExist) {
    const DateTime cases[] = {
        {99, 12, 31, 23, 59, 59}, {10000, 1, 1, 0, 0, 0}, {1900, 2, 29, 0, 0, 0}, {2023, 2, 29, 0, 0, 0},
        {2024, 2, 30, 0, 0, 0},   {2024, 4, 31, 0, 0, 0},  {2024, 13, 1, 0, 0, 0},  {2024, 0, 1, 0, 0, 0},
        {2024, 1, 0, 0, 0, 0},    {2024, 1, 1, 24, 0, 0},  {2024, 1, 1, 0, 60, 0},  {2024, 1, 1, 0, 0, 60},
        {2024, 1, 1, -1, 0, 0},
    };
    for (const auto& dt : cases) {
        EXPECT_EQ(ToOleDate(dt), std::nullopt) << dt.year << '-' << dt.month << '-' << dt.day << ' ' << dt.hour
                                               << ':' << dt.minute << ':' << dt.second;
    }
}

TEST(OleDate, RoundTripsEverySecondNearMidnightAndDaysAcrossTheRange) {
    for (long long day = -3; day <= 3; ++day) {
        for (int second = 0; second < 120; ++second) {
            for (const int s : {second, 86399 - second}) {
                const auto dt = FromOleDate(static_cast<double>(day));
                ASSERT_TRUE(dt.has_value());
                DateTime t = *dt;
                t.hour = s / 3600;
                t.minute = s / 60 % 60;
                t.second = s % 60;
                const auto ole = ToOleDate(t);
                ASSERT_TRUE(ole.has_value());
                ASSERT_EQ(FromOleDate(*ole), t) << *ole;
            }
        }
    }
    int previousWeekday = Weekday({100, 1, 1, 0, 0, 0});
    for (long long day = -657434; day <= 2958465; day += 1) {
        const auto dt = FromOleDate(static_cast<double>(day));
        ASSERT_TRUE(dt.has_value()) << day;
        ASSERT_EQ(ToOleDate(*dt), static_cast<double>(day));
        if (day > -657434) {
            ASSERT_EQ(Weekday(*dt), (previousWeekday + 1) % 7) << day;
        }
        previousWeekday = Weekday(*dt);
    }
}

struct WeekdayCase {
    DateTime dt;
    int weekday;
};

TEST(Weekday, CountsFromSunday) {
    const WeekdayCase cases[] = {
        {{1899, 12, 30}, 6}, {{1899, 12, 31}, 0}, {{1899, 12, 29}, 5},
        {{2024, 1, 15}, 1},  {{100, 1, 1}, 5},    {{9999, 12, 31}, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Weekday(c.dt), c.weekday) << c.dt.year << '-' << c.dt.month << '-' << c.dt.day;
    }
}

struct FormatCase {
    DateTime dt;
    const char* pattern;
    const char* text;
};

TEST(FormatDate, FormatsThePatternsOfIdsListsAndHeaders) {
    const DateTime friday{2024, 1, 5, 7, 8, 9};
    const FormatCase cases[] = {
        {friday, "yyyymmddhhmmss", "20240105070809"},
        {friday, "yyyy/mm/dd(aaa)hh:mm:ss", "2024/01/05(金)07:08:09"},
        {friday, "yyyy/mm/dd hh:mm:ss", "2024/01/05 07:08:09"},
        {friday, "yyyy/m/d", "2024/1/5"},
        {friday, "h:m", "7:8"},
        {friday, "yy", "24"},
        {friday, "hh:nn:ss", "07:08:09"},
        {friday, "h:n:s", "7:8:9"},
        // Only the token right after an hour is minutes; literals between do not matter.
        {friday, "hh dd mm", "07 05 01"},
        {friday, "mm/dd hh mm m", "01/05 07 08 1"},
        {friday, "YYYY/MM/DD HH:MM", "2024/01/05 07:08"},
        {friday, "yyyy年m月d日", "2024年1月5日"},
        {friday, "a aa", "a aa"},
        {{2024, 12, 31, 0, 0, 0}, "h:m", "0:0"},
        {{2024, 12, 31, 23, 59, 59}, "hh:mm:ss", "23:59:59"},
        {{100, 1, 1, 0, 0, 0}, "yyyy yy", "0100 00"},
        {{2009, 10, 11, 12, 13, 14}, "yyyymmddhhmmss", "20091011121314"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDate(c.dt, c.pattern), c.text) << c.pattern;
    }
}

TEST(FormatDate, NamesEachDayOfTheWeek) {
    const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        const DateTime sundayOnward{2024, 1, 7 + i, 0, 0, 0};
        EXPECT_EQ(FormatDate(sundayOnward, "(aaa)"), std::string("(") + names[i] + ")") << i;
    }
}

struct DigitsCase {
    long long value;
    int digits;
    const char* text;
};

TEST(FormatDigits, PadsWithZerosAfterTheSign) {
    const DigitsCase cases[] = {
        {3, 2, "03"},     {105, 2, "105"}, {0, 3, "000"},
        {-5, 2, "-05"},   {5, 0, "5"},     {LLONG_MIN, 1, "-9223372036854775808"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDigits(c.value, c.digits), c.text) << c.value;
    }
}

}  // namespace
}  // namespace kq::vb
