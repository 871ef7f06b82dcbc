// Letter case as the runtime's collection keys ignore it, by the portable
// table (the Windows tests hold it against the system's own mapping).

#include "common/letter_case.h"

#include <gtest/gtest.h>

#include <string>

namespace kq {
namespace {

TEST(LetterCase, UpperCaseAsWindowsMapsIt) {
    struct Case {
        const char* text;
        const char* upper;
    };
    const Case cases[] = {
        {"abc xyz", "ABC XYZ"},
        {"ａｂｃｚ", "ＡＢＣＺ"},             // full-width Latin
        {"àéîõüÿ", "ÀÉÎÕÜŸ"},                 // Latin-1, ÿ's capital in Latin Extended-A
        {"ąčěłňőřšžǆ", "ĄČĚŁŇŐŘŠŽǄ"},        // Latin Extended-A and -B
        {"αβγωάέήίόύώ", "ΑΒΓΩΆΈΉΊΌΎΏ"},      // Greek, with tonos
        {"абвяёђџ", "АБВЯЁЂЏ"},              // Cyrillic
        {"ⅰⅹ", "ⅠⅩ"},                         // small Roman numerals, which code page 932 holds
        // No capital maps back to these: Windows leaves them.
        {"ςµıſ", "ςµıſ"},
        // Neither width nor kana changes: only letter case does.
        {"ABCＡＢＣあアｱ漢字123", "ABCＡＢＣあアｱ漢字123"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tableUpperCase(c.text), c.upper);
    }
}

TEST(LetterCase, TheTableMapsEachLetterOnceAndLeavesTheRest) {
    // Upper case of upper case is itself, and nothing outside the letters moves.
    for (unsigned c = 0; c < 0x10000; ++c) {
        const auto unit = static_cast<char16_t>(c);
        const char16_t upper = tableUpperCase(unit);
        EXPECT_EQ(tableUpperCase(upper), upper) << std::hex << c;
        const bool letterless = c < 'a' || (c > 'z' && c < 0xB5) || (c >= 0x3040 && c < 0xFF00);
        if (letterless) {
            EXPECT_EQ(upper, unit) << std::hex << c;
        }
    }
}

}  // namespace
}  // namespace kq
