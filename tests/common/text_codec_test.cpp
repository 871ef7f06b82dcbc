#include "common/text_codec.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

// Bytes as Japanese Windows writes them (code page 932).
struct AnsiCase {
    const char* utf8;
    const char* ansi;
};

const AnsiCase kAnsiCases[] = {
    {"", ""},
    {"Sheet1!$A$1", "Sheet1!$A$1"},
    {"印刷履歴", "\x88\xf3\x8d\xfc\x97\x9a\x97\xf0"},
    // A trail byte of 0x5C ("\") must not be taken for a path separator.
    {"ソ表", "\x83\x5c\x95\x5c"},
    {"ｱｲｳ", "\xb1\xb2\xb3"},  // half-width katakana are single bytes
    {"<分類なし>", "<\x95\xaa\x97\xde\x82\xc8\x82\xb5>"},
    {"\r\n\t", "\r\n\t"},
    {"C:\\履歴\\", "C:\\\x97\x9a\x97\xf0\\"},
    // Where code page 932 differs from plain Shift_JIS, as sheets typed on
    // Japanese Windows hold them.
    {"～∥－￢", "\x81\x60\x81\x61\x81\x7c\x81\xca"},
    {"―", "\x81\x5c"},
    {"①Ⅰ㈱", "\x87\x40\x87\x54\x87\x8a"},  // NEC special characters
    {"纊", "\xfa\x5c"},                      // IBM extensions
    {"\xEE\x80\x80", "\xf0\x40"},            // user-defined area
    // Single bytes the code page gives characters of their own.
    {"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", "\x80\xa0\xfd\xfe\xff"},
};

// Characters with two codes in the code page are read from either and written
// with the one Windows prefers.
struct DoubledCase {
    const char* utf8;
    const char* other;
    const char* preferred;
};

const DoubledCase kDoubledCases[] = {
    {"≒", "\x87\x90", "\x81\xe0"},
    {"∵", "\x87\x9a", "\x81\xe6"},
    {"纊", "\xed\x40", "\xfa\x5c"},
    {"￢", "\xee\xf9", "\x81\xca"},
};

TEST(AnsiCodec, ConvertsBothWaysWithTheBytesOfCodePage932) {
    const AnsiCodec& codec = systemAnsiCodec();
    for (const auto& c : kAnsiCases) {
        EXPECT_EQ(codec.toAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(codec.fromAnsi(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(AnsiCodec, ReadsEitherCodeOfADoubledCharacter) {
    const AnsiCodec& codec = systemAnsiCodec();
    for (const auto& c : kDoubledCases) {
        EXPECT_EQ(codec.fromAnsi(c.other), c.utf8) << c.utf8;
        EXPECT_EQ(codec.fromAnsi(c.preferred), c.utf8) << c.utf8;
        EXPECT_EQ(codec.toAnsi(c.utf8), c.preferred) << c.utf8;
    }
}

// Characters the code page lacks, written as the system writes them: as their
// best-fit forms, or "?" where they have none. A history file must hold what
// Windows itself would, natively as under Wine.
const AnsiCase kLackingCases[] = {
    // The yen sign is 0x5C, which Japanese fonts show as the yen sign.
    {"¥1,500", "\\1,500"},
    {"¢£¬¦", "\x81\x91\x81\x92\x81\xca|"},
    {"Café À Ñ ß ø", "Cafe A N s o"},
    {"©®ª º ¹²³", "cRa o 123"},
    {"«»¯µ·¸", "\x81\xe1\x81\xe2\x81\x50\x83\xca\x81\x45\x81\x43"},
    {"¡\u00AD", "!-"},
    {"ゔ", "\x83\x94"},  // hiragana vu as katakana vu
    // No best-fit form: the JIS dashes, double bar, overline, minus and wave
    // are not taken for the Windows forms they look like.
    {"—‖‾−〜", "?????"},
    {"a\u2215b", "a?b"},  // division slash: no "/" the user did not type
    {"\u00A0", "?"},
};

TEST(AnsiCodec, WritesWhatTheSystemWritesForACharacterTheCodePageLacks) {
    const AnsiCodec& codec = systemAnsiCodec();
    for (const auto& c : kLackingCases) {
        EXPECT_EQ(codec.toAnsi(c.utf8), c.ansi) << c.utf8;
    }
}

TEST(AnsiCodec, KeepsNulsInside) {
    const AnsiCodec& codec = systemAnsiCodec();
    const std::string utf8("\0a\0印\0", 7);
    const std::string ansi("\0a\0\x88\xf3\0", 6);
    EXPECT_EQ(codec.toAnsi(utf8), ansi);
    EXPECT_EQ(codec.fromAnsi(ansi), utf8);
}

TEST(AnsiCodec, ConvertsLongTextsWhole) {
    // An odd-length piece, so that double-byte characters straddle every
    // internal buffer boundary somewhere in the text.
    const std::string pieceUtf8 = "印刷履歴 Sheet1!$A$1 ｱｲｳ ソ表\r\n";
    const std::string pieceAnsi = systemAnsiCodec().toAnsi(pieceUtf8);
    ASSERT_EQ(pieceAnsi.size() % 2, 1u);
    std::string utf8;
    std::string ansi;
    while (ansi.size() < 100 * 1024) {
        utf8 += pieceUtf8;
        ansi += pieceAnsi;
    }
    const AnsiCodec& codec = systemAnsiCodec();
    EXPECT_EQ(codec.toAnsi(utf8), ansi);
    EXPECT_EQ(codec.fromAnsi(ansi), utf8);
    // A replacement far into the text does not lose what surrounds it.
    const std::string withEmoji = utf8 + "\xF0\x9F\x98\x80" + utf8;
    EXPECT_EQ(codec.toAnsi(withEmoji), ansi + "?" + ansi);
}

TEST(AnsiCodec, KnowsTheLeadBytesOfCodePage932) {
    const AnsiCodec& codec = systemAnsiCodec();
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
        EXPECT_EQ(codec.isLeadByte(static_cast<unsigned char>(b)), lead) << std::hex << b;
    }
}

TEST(AnsiCodec, ReplacesWhatTheCodePageCannotHold) {
    const AnsiCodec& codec = systemAnsiCodec();
    EXPECT_EQ(codec.toAnsi("a\xF0\x9F\x98\x80z"), "a?z");  // an emoji
    // Damaged input never fails and never swallows what follows.
    const std::string back = codec.fromAnsi("a\x83");  // lead byte cut off at the end
    EXPECT_EQ(back.substr(0, 1), "a");
    EXPECT_GT(back.size(), 1u);
    const std::string afterBadPair = codec.fromAnsi("\x83\nabc");  // 0x0A is no trail byte
    EXPECT_EQ(afterBadPair.substr(afterBadPair.size() - 3), "abc");
    // A well-formed pair without a character is one bad character: its trail
    // byte 0x5C must not come back as a "\".
    const std::string unmapped = codec.fromAnsi("\x82\x5c" "a");
    EXPECT_EQ(unmapped.find('\\'), std::string::npos);
    EXPECT_EQ(unmapped.back(), 'a');
}

TEST(AnsiCodec, ReadsTheLastSecondBytesOfAPairAsTheSystemDoes) {
    // 0xFC is the last second byte of a pair: a character where the code
    // page has one there, else the default one. A lead byte before 0xFD, 0xFE
    // or 0xFF makes one default character of both bytes.
    const AnsiCase cases[] = {
        {"◯a", "\x81\xfc" "a"},
        {"髙a", "\xfb\xfc" "a"},
        {"・a", "\x82\xfc" "a"},
        {"・a", "\xfc\xfc" "a"},
        {"・a", "\x81\xfd" "a"},
        {"・a", "\x9f\xfd" "a"},
        {"・a", "\xe0\xfe" "a"},
        {"・a", "\xfc\xfd" "a"},
        {"・a", "\xfc\xff" "a"},
    };
    const AnsiCodec& codec = systemAnsiCodec();
    for (const auto& c : cases) EXPECT_EQ(codec.fromAnsi(c.ansi), c.utf8) << c.utf8;
}

TEST(AnsiCodec, CutsNeverSplitADoubleByteCharacter) {
    const AnsiCodec& codec = systemAnsiCodec();
    const std::string ansi = codec.toAnsi("aソ表b");  // 61 83 5C 95 5C 62
    EXPECT_EQ(cutAtCharacter(ansi, 6, codec), ansi);
    EXPECT_EQ(cutAtCharacter(ansi, 5, codec), ansi.substr(0, 5));
    EXPECT_EQ(cutAtCharacter(ansi, 4, codec), ansi.substr(0, 3));
    EXPECT_EQ(cutAtCharacter(ansi, 2, codec), "a");
    EXPECT_EQ(cutAtCharacter(ansi, 1, codec), "a");
    EXPECT_EQ(cutAtCharacter(ansi, 0, codec), "");
    // Half-width katakana are single bytes above 0x7F: any of them may end a cut.
    const std::string kana = codec.toAnsi("ｱｲｳ印");  // B1 B2 B3 88 F3
    EXPECT_EQ(cutAtCharacter(kana, 2, codec), kana.substr(0, 2));
    EXPECT_EQ(cutAtCharacter(kana, 4, codec), kana.substr(0, 3));
}

TEST(Utf16, RoundTripsAndRepairsIllFormedInput) {
    EXPECT_EQ(utf8ToUtf16("aé印\xF0\x9F\x98\x80"), (std::u16string{u'a', u'é', u'印', 0xD83D, 0xDE00}));
    EXPECT_EQ(utf16ToUtf8(u"aé印\U0001F600"), "aé印\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8(std::u16string{u'a', 0xD800, u'b'}), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf8ToUtf16("a\xC0\xAF" "b"), (std::u16string{u'a', 0xFFFD, 0xFFFD, u'b'}));  // overlong
    EXPECT_EQ(utf8ToUtf16("a\xE3\x81"), (std::u16string{u'a', 0xFFFD, 0xFFFD}));        // truncated
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), (std::u16string{0xFFFD, 0xFFFD, 0xFFFD}));   // surrogate
}

}  // namespace
}  // namespace kq
