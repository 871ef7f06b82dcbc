#include "common/msgbox_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace kq {

void PrintTo(const TwipsRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

namespace {

using Lines = std::vector<std::string>;
using namespace msgbox;

TEST(MsgBoxExButtons, FlagBitsChooseTheSet) {
    struct Case {
        std::int32_t flags;
        std::vector<std::string> captions;
        std::vector<std::int32_t> values;
        std::size_t cancelIndex;
        std::int32_t closeValue;
    };
    const std::vector<Case> cases = {
        {0x1, {"OK(&K)"}, {1}, 0, 1},
        {0x2, {"OK(&K)", "キャンセル(&C)"}, {1, 2}, 1, 2},
        {0x4, {"中止(&A)", "再試行(&R)", "無視(&I)"}, {4, 8, 16}, 2, 8},
        {0x8, {"はい(&Y)", "いいえ(&N)", "キャンセル(&C)"}, {32, 64, 2}, 2, 2},
        {0x10, {"はい(&Y)", "いいえ(&N)"}, {32, 64}, 1, 64},
        {0x20, {"再試行(&R)", "キャンセル(&C)"}, {8, 2}, 1, 2},
        // The lowest set bit wins.
        {0x2 | 0x8, {"OK(&K)", "キャンセル(&C)"}, {1, 2}, 1, 2},
        {0x10 | 0x20, {"はい(&Y)", "いいえ(&N)"}, {32, 64}, 1, 64},
        // The callers' values; kind bits and topmost do not choose a set.
        {0x2082, {"OK(&K)", "キャンセル(&C)"}, {1, 2}, 1, 2},
        {0x2201, {"OK(&K)"}, {1}, 0, 1},
        // No set bit: an OK box, and its close box answers OK too.
        {0x2040, {"OK(&K)"}, {1}, 0, 1},
        {0, {"OK(&K)"}, {1}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const MsgBoxButtonSet set = buttonSetFor(c.flags);
        std::vector<std::string> captions;
        std::vector<std::int32_t> values;
        for (const MsgBoxButton& b : set.buttons) {
            captions.emplace_back(b.caption);
            values.push_back(b.value);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(set.cancelIndex, c.cancelIndex);
        EXPECT_EQ(set.closeValue, c.closeValue);
    }
}

TEST(MsgBoxExButtons, DefaultButtonFallsBackToTheFirst) {
    struct Case {
        std::int32_t flags;
        std::size_t count;
        std::size_t expected;
    };
    for (const Case c : {
             Case{0x0, 3, 0},
             Case{0x400, 3, 0},
             Case{0x800, 3, 1},
             Case{0x1000, 3, 2},
             Case{0x400 | 0x1000, 3, 0},  // first in order wins
             Case{0x800 | 0x1000, 3, 1},
             Case{0x1001, 1, 0},  // third named, only one there
             Case{0x1000, 2, 0},
             Case{0x800, 1, 0},
         }) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(defaultButtonIndex(c.flags, c.count), c.expected);
    }
}

TEST(MsgBoxExAnswers, PressAndCloseCarryTheTick) {
    enum class Act { Press0, Press1, Cancel, Close };
    struct Case {
        std::int32_t flags;
        bool showCheck;
        bool ticked;
        Act act;
        std::int32_t expected;
    };
    for (const Case c : {
             Case{0x2082, true, true, Act::Press0, 129},
             Case{0x2082, true, false, Act::Press0, 1},
             Case{0x2082, true, true, Act::Press1, 130},
             Case{0x2082, false, true, Act::Press0, 1},  // a hidden box's tick doesn't count
             Case{0x4, false, false, Act::Cancel, 16},
             Case{0x4, false, false, Act::Close, 8},
             Case{0x10, true, true, Act::Cancel, 64 + 128},
             Case{0x2082, true, true, Act::Close, 2 + 128},  // the close box keeps the tick
             Case{0x2082, true, false, Act::Close, 2},
             Case{0x2040, false, false, Act::Close, 1},  // never 0
             Case{0x2040, true, true, Act::Close, 129},
             Case{0x2040, false, false, Act::Cancel, 1},
         }) {
        SCOPED_TRACE(testing::Message() << c.flags << " act " << static_cast<int>(c.act));
        MsgBoxExModel model({.Prompt = "p", .Buttons = c.flags, .ShowCheck = c.showCheck, .CheckValue = true});
        EXPECT_FALSE(model.answered());
        switch (c.act) {
            case Act::Press0: model.press(0, c.ticked); break;
            case Act::Press1: model.press(1, c.ticked); break;
            case Act::Cancel: model.pressCancel(c.ticked); break;
            case Act::Close: model.close(c.ticked); break;
        }
        EXPECT_EQ(model.MsgBoxExResult, c.expected);
    }
}

// Every ASCII character 100 twips wide, every other character 200, "W" 1500.
int fakeWidth(std::string_view s) {
    int w = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 'W') {
            w += 1500;
            ++i;
        } else if (c < 0x80) {
            w += 100;
            ++i;
        } else {
            w += 200;
            i += c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        }
    }
    return w;
}

Lines breakAt1000(std::string_view prompt) { return breakLines(prompt, 1000, fakeWidth); }

TEST(MsgBoxExLineBreak, LinesFitTheWrapWidth) {
    struct Case {
        const char* name;
        std::string prompt;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"CR LF", "first\r\nsecond", {"first", "second"}},
        {"LF", "first\nsecond", {"first", "second"}},
        {"CR", "first\rsecond", {"first", "second"}},
        {"blank line kept", "a\r\n\r\nb", {"a", "", "b"}},
        {"trailing line end", "a\n", {"a", ""}},
        {"empty", "", {""}},
        {"exactly the wrap width", "0123456789", {"0123456789"}},
        {"one over", "0123456789A", {"0123456789", "A"}},
        {"no regard for spaces", "aaaa bbbbbbb cc", {"aaaa bbbbb", "bb cc"}},
        {"double-width characters", "あいうえおかきくけこさ", {"あいうえお", "かきくけこ", "さ"}},
        {"mixed widths", "abcあいうえおx", {"abcあいう", "えおx"}},
        // A character wider than the wrap width still moves on, one per line.
        {"too-wide character", "WWab", {"W", "W", "ab"}},
        {"too-wide after others", "abW", {"ab", "W"}},
        // Breaking one line leaves other lines that merely contain it alone.
        {"repeated text", "0123456789AB\nzz0123456789AB", {"0123456789", "AB", "zz01234567", "89AB"}},
        // A stray byte is one character; nothing is split inside a character.
        {"stray byte", std::string("0123456789\xff"), {"0123456789", "\xff"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(breakAt1000(c.prompt), c.expected);
    }
}

TEST(MsgBoxExLayout, DesignedBoxInTwips) {
    // A 32-pixel icon at 15 twips per pixel, the designed button and check box.
    struct Case {
        const char* name;
        MsgBoxLayoutInput in;
        MsgBoxLayout expected;
    };
    const std::vector<Case> cases = {
        {"short message, two buttons and check box",
         {.iconWidth = 480, .iconHeight = 480, .textWidth = 1500, .textHeight = 180, .buttonCount = 2,
          .showCheck = true, .checkCaptionWidth = 1620},
         {.picIcon = {300, 300, 480, 480},
          .lblText = {880, 300, 1500, 180},
          .cmdButton = {{1715, 1180, 1215, 495}, {3030, 1180, 1215, 495}},
          .chkCheck = TwipsRect{100, 1775, 2120, 300},
          .lblBack = {0, 1080, 4445, 1095},
          .clientWidth = 4445,
          .clientHeight = 2175}},
        {"short message, three buttons centred, no check box",
         {.iconWidth = 480, .iconHeight = 480, .textWidth = 1500, .textHeight = 180, .buttonCount = 3},
         {.picIcon = {300, 300, 480, 480},
          .lblText = {880, 300, 1500, 180},
          .cmdButton = {{300, 1180, 1215, 495}, {1615, 1180, 1215, 495}, {2930, 1180, 1215, 495}},
          .chkCheck = std::nullopt,
          .lblBack = {0, 1080, 4445, 695},
          .clientWidth = 4445,
          .clientHeight = 1775}},
        {"wide tall message, one button",
         {.iconWidth = 480, .iconHeight = 480, .textWidth = 6615, .textHeight = 1800, .buttonCount = 1},
         {.picIcon = {300, 300, 480, 480},
          .lblText = {880, 300, 6615, 1800},
          .cmdButton = {{6280, 2500, 1215, 495}},
          .chkCheck = std::nullopt,
          .lblBack = {0, 2400, 7695, 695},
          .clientWidth = 7695,
          .clientHeight = 3095}},
        {"wide message, three buttons centred on the wider box",
         {.iconWidth = 480, .iconHeight = 480, .textWidth = 6615, .textHeight = 180, .buttonCount = 3},
         {.picIcon = {300, 300, 480, 480},
          .lblText = {880, 300, 6615, 180},
          .cmdButton = {{1925, 1180, 1215, 495}, {3240, 1180, 1215, 495}, {4555, 1180, 1215, 495}},
          .chkCheck = std::nullopt,
          .lblBack = {0, 1080, 7695, 695},
          .clientWidth = 7695,
          .clientHeight = 1775}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MsgBoxLayout got = layOutMsgBox(c.in);
        EXPECT_EQ(got.picIcon, c.expected.picIcon);
        EXPECT_EQ(got.lblText, c.expected.lblText);
        EXPECT_EQ(got.cmdButton, c.expected.cmdButton);
        EXPECT_EQ(got.chkCheck, c.expected.chkCheck);
        EXPECT_EQ(got.lblBack, c.expected.lblBack);
        EXPECT_EQ(got.clientWidth, c.expected.clientWidth);
        EXPECT_EQ(got.clientHeight, c.expected.clientHeight);
    }
}

TEST(MsgBoxExLayout, SpacingHoldsForAnyMessage) {
    for (const int textWidth : {0, 2000, 3365, 3366, 6615, 9000}) {
        for (const int textHeight : {180, 480, 481, 2700}) {
            for (const std::size_t count : {1U, 2U, 3U}) {
                SCOPED_TRACE(testing::Message() << textWidth << "x" << textHeight << " buttons " << count);
                const MsgBoxLayout l = layOutMsgBox({.iconWidth = 480, .iconHeight = 480, .textWidth = textWidth,
                                                     .textHeight = textHeight, .buttonCount = count});
                EXPECT_GE(l.clientWidth, l.lblText.left + l.lblText.width + 200);
                // 300 of white between the message (or icon) and the band.
                EXPECT_EQ(l.lblBack.top - std::max(300 + 480, 300 + textHeight), 300);
                EXPECT_EQ(l.lblBack.top + l.lblBack.height, l.clientHeight);
                for (std::size_t i = 1; i < count; ++i) {
                    EXPECT_EQ(l.cmdButton[i].left - (l.cmdButton[i - 1].left + 1215), 100);
                }
                const int rightGap = l.clientWidth - (l.cmdButton.back().left + 1215);
                if (count == 3) {
                    EXPECT_LE(std::abs(rightGap - l.cmdButton.front().left), 1);
                } else {
                    EXPECT_EQ(rightGap, 200);
                }
            }
        }
    }
}

}  // namespace
}  // namespace kq
