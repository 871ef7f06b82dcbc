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
};

TEST(AnsiCodec, ConvertsBothWaysWithTheBytesOfCodePage932) {
    const AnsiCodec& codec = systemAnsiCodec();
    for (const auto& c : kAnsiCases) {
        EXPECT_EQ(codec.toAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(codec.fromAnsi(c.ansi), c.utf8) << c.utf8;
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
