// The Windows side of the codec unit. The byte tables of the portable codec test
// run against the Windows codec too (common_tests links it in the Windows
// build); here: what they take for granted, and the UTF-16 conversions at the W
// functions, checked against the system's own converter.

#include "common/text_codec.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kq {
namespace {

std::wstring systemWide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// The codec of native builds reads its own tables: every entry of them, both
// ways, is what the system's conversion of code page 932 gives.
TEST(Cp932Codec, AgreesWithTheSystemOnEveryCharacterAndEveryBytePair) {
    const AnsiCodec& table = cp932Codec();
    int differences = 0;
    const auto differ = [&](const std::string& what) {
        if (++differences <= 10) ADD_FAILURE() << what;
    };
    const auto hex = [](const std::string& bytes) {
        std::string out;
        char digits[4];
        for (const char b : bytes) {
            std::snprintf(digits, sizeof digits, "%02X ", static_cast<unsigned char>(b));
            out += digits;
        }
        return out;
    };
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const wchar_t unit = static_cast<wchar_t>(c);
        char bytes[8];
        const int n = WideCharToMultiByte(932, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr);
        const std::string ours = table.toAnsi(utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c))));
        if (ours != std::string(bytes, static_cast<std::size_t>(n))) {
            differ("U+" + hex(std::string{static_cast<char>(c >> 8), static_cast<char>(c)}) + "written " + hex(ours) +
                   "by the table, " + hex(std::string(bytes, static_cast<std::size_t>(n))) + "by the system");
        }
    }
    const auto compareRead = [&](const std::string& bytes) {
        wchar_t units[4];
        const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), units, 4);
        const std::string system = win32::narrow(std::wstring_view(units, static_cast<std::size_t>(n)));
        if (table.fromAnsi(bytes) != system) differ(hex(bytes) + "read otherwise by the table");
    };
    for (unsigned b = 0; b <= 0xFF; ++b) compareRead(std::string(1, static_cast<char>(b)));
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            compareRead(std::string{static_cast<char>(lead), static_cast<char>(second)});
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(AnsiCodecWin32, RunsOnCodePage932) {
    // Every stored byte in the history files assumes it.
    ASSERT_EQ(GetACP(), 932u);
    EXPECT_EQ(systemAnsiCodec().toAnsi("印"), "\x88\xf3");
}

struct WideCase {
    std::string utf8;
    std::wstring utf16;
};

TEST(Wide, ConvertsAtTheWFunctions) {
    const WideCase cases[] = {
        {"", L""},
        {"C:\\履歴\\Sheet1", L"C:\\履歴\\Sheet1"},
        {std::string("a\0印\0", 6), std::wstring(L"a\0印\0", 4)},
        {"\xF0\x9F\x98\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(win32::wide(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(win32::narrow(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Wide, RepairsWhatTheOtherSideCannotHold) {
    EXPECT_EQ(win32::wide("a\xFF" "b"), (std::wstring{L'a', wchar_t(0xFFFD), L'b'}));
    EXPECT_EQ(win32::narrow(std::wstring{L'a', wchar_t(0xDC00)}), "a\xEF\xBF\xBD");
}

TEST(Wide, AgreesWithTheSystemOnLongTexts) {
    std::string utf8;
    while (utf8.size() < 100 * 1024) {
        utf8 += "印刷履歴 Sheet1!$A$1 ｱｲｳ \xF0\x9F\x98\x80 é";
        utf8 += '\0';
    }
    const std::wstring utf16 = win32::wide(utf8);
    EXPECT_EQ(utf16, systemWide(utf8));
    EXPECT_EQ(win32::narrow(utf16), utf8);
}

}  // namespace
}  // namespace kq
