// The portable letter-case table against the system's own mapping, letter by
// letter: what the native tests check is what Windows does.

#include "common/win32/letter_case_win32.h"

#include <gtest/gtest.h>

#include "common/letter_case.h"
#include "common/text_codec.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {
namespace {

struct Block {
    unsigned first;
    unsigned last;
};
// The blocks the table covers.
constexpr Block kBlocks[] = {{0x0000, 0x024F}, {0x0370, 0x052F}, {0x2160, 0x218F}, {0xFF00, 0xFFEF}};

std::string utf8(unsigned c) { return utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c))); }

bool equalIgnoringCase(wchar_t a, wchar_t b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, &a, 1, &b, 1) == CSTR_EQUAL;
}

// Whether code page 932, which the history files store titles in, holds the character as it is.
bool inCodePage932(wchar_t c) {
    char bytes[4] = {};
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, 4, nullptr, &defaulted);
    return length > 0 && !defaulted;
}

TEST(LetterCaseTable, AgreesWithTheSystemOnEveryCharacterOfItsBlocks) {
    int mapped = 0;
    int compared = 0;
    for (const Block& block : kBlocks) {
        for (unsigned c = block.first; c <= block.last; ++c) {
            const auto unit = static_cast<wchar_t>(c);
            const auto upper = static_cast<wchar_t>(tableUpperCase(static_cast<char16_t>(c)));
            ASSERT_EQ(utf8(upper), systemUpperCase(utf8(c))) << std::hex << c;
            if (upper == unit) continue;
            ++mapped;
            // The system's comparison, which the runtime's collection keys
            // use, knows every pair a stored title can hold.
            if (!inCodePage932(unit) || !inCodePage932(upper)) continue;
            ++compared;
            EXPECT_TRUE(equalIgnoringCase(unit, upper)) << std::hex << c;
        }
    }
    // Latin, Greek, Cyrillic, Roman numerals and full-width letters: hundreds
    // of pairs, of which code page 932 holds the ASCII, full-width, basic
    // Greek and Cyrillic letters and the Roman numerals.
    EXPECT_GT(mapped, 400);
    EXPECT_EQ(compared, 26 + 26 + 24 + 33 + 10);
}

TEST(LetterCaseTable, TheSystemTakesFullWidthTitlesForOneKey) {
    EXPECT_EQ(systemUpperCase("ａｂｃ"), systemUpperCase("ＡＢＣ"));
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"ａｂｃ", -1, L"ＡＢＣ", -1), CSTR_EQUAL);
}

}  // namespace
}  // namespace kq::win32
