#include "addin/dialogs/numeric_box.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kq::addin::dialogs {
namespace {

// What the box asked of its window.
struct RecordingView final : NumericBoxView {
    std::vector<std::string> shown;
    int selected = 0;
    int focused = 0;
    int movedOn = 0;
    int beeps = 0;
    void showText(const std::string& text) override { shown.push_back(text); }
    void selectAll() override { ++selected; }
    void focusEntry() override { ++focused; }
    void focusNext() override { ++movedOn; }
    void beep() override { ++beeps; }
};

struct Limits {
    double min = 0;
    double max = 0;
    double step = 1;
    bool rotate = false;
    int decimals = 0;
    bool sum = false;
};

const NumberCharacters kDot{};
const NumberCharacters kComma{.decimal = ",", .thousands = ".", .negative = "-"};

// A box with those limits holding `text` as the user left it.
struct Box {
    RecordingView view;
    NumericBox box;
    int changes = 0;
    Connection onChange;
    Box(const Limits& l, const std::string& text, const NumberCharacters& chars = kDot) : box(chars, view) {
        box.Min(l.min);
        box.Max(l.max);
        box.ChangeOrder(l.step);
        box.MaxMinRotate(l.rotate);
        box.NumberOfDecimals(l.decimals);
        box.PossibleSumValue(l.sum);
        // As typed: an assignment while the box has the focus keeps the text
        // unformatted once its number differs from the formatted one.
        box.Text(text, false);
        box.Text(text, true);
        view = RecordingView{};
        onChange = box.Change.connect([this] { ++changes; });
    }
};

TEST(NumericBoxNumbers, ReadWithTheUsersCharacters) {
    struct Case {
        const char* text;
        const NumberCharacters* chars;
        double expected;
    };
    const Case cases[] = {
        {"1,234.5", &kDot, 1234.5},  {"1.234,5", &kComma, 1234.5}, {"", &kDot, 0},
        {"12a3", &kDot, 12},         {"-3", &kDot, -3},            {"7.6", &kComma, 76},
        {"秒", &kDot, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLocaleNumber(c.text, *c.chars), c.expected) << c.text;
}

TEST(NumericBoxNumbers, FormattedWithHalvesAwayFromZero) {
    struct Case {
        double value;
        int decimals;
        const NumberCharacters* chars;
        const char* expected;
    };
    const Case cases[] = {
        {2.5, 0, &kDot, "3"},        {-2.5, 0, &kDot, "-3"},         {3.5, 0, &kDot, "4"},
        {7.6, 0, &kDot, "8"},        {0.3, 0, &kDot, "0"},           {-0.3, 0, &kDot, "0"},
        {2.675, 2, &kDot, "2.68"},   {1.25, 2, &kComma, "1,25"},     {9.99995, 4, &kDot, "10.0000"},
        {0.00001, 4, &kDot, "0.0000"}, {60, 0, &kDot, "60"},         {1e20, 0, &kDot, "100000000000000000000"},
        {5, 9, &kDot, "5.0000"},     {0.05, 1, &kDot, "0.1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDecimals(c.value, c.decimals, *c.chars), c.expected) << c.value << " " << c.decimals;
    }
}

TEST(NumericBoxNumbers, StoredValuesAsTheUserWritesThem) {
    EXPECT_EQ(LocaleNumberText(2, kDot), "2");
    EXPECT_EQ(LocaleNumberText(2.5, kDot), "2.5");
    EXPECT_EQ(LocaleNumberText(2.5, kComma), "2,5");
    EXPECT_EQ(LocaleNumberText(-0.125, kComma), "-0,125");
    EXPECT_EQ(ParseLocaleNumber(LocaleNumberText(7.25, kComma), kComma), 7.25);
}

TEST(NumericBoxSpin, StepsWithinTheLimits) {
    struct Case {
        const char* name;
        Limits limits;
        const char* text;
        Spin direction;
        const char* expected;
        const NumberCharacters* chars = &kDot;
    };
    const Case cases[] = {
        {"default limits give 0", {}, "5", Spin::up, "0"},
        {"default limits, empty", {}, "", Spin::down, "0"},
        {"up at Max stays", {1, 60}, "60", Spin::up, "60"},
        {"down at Min stays", {1, 60}, "1", Spin::down, "1"},
        {"plain step", {1, 60}, "7", Spin::up, "8"},
        {"empty box up shows the step", {0, 60, 5}, "", Spin::up, "5"},
        {"empty box up, step clamped to Min", {1, 60}, "", Spin::up, "1"},
        {"rotation 58 up", {0, 59, 1, true}, "58", Spin::up, "59"},
        {"rotation 59 up", {0, 59, 1, true}, "59", Spin::up, "0"},
        {"rotation 0 down", {0, 59, 1, true}, "0", Spin::down, "59"},
        {"rotation 1 down", {1, 12, 1, true}, "1", Spin::down, "12"},
        {"rotation 12 up", {1, 12, 1, true}, "12", Spin::up, "1"},
        {"quarters", {0, 10, 0.25, false, 2}, "1", Spin::up, "1.25"},
        {"quarters, decimal comma", {0, 10, 0.25, false, 2}, "1", Spin::up, "1,25", &kComma},
        // A decimal comma is no list sign outside sum-value mode: the box spins on.
        {"again, decimal comma", {0, 10, 0.25, false, 2}, "1,25", Spin::up, "1,50", &kComma},
        {"tenths stay tenths", {0, 1, 0.1, false, 1}, "0.2", Spin::up, "0.3"},
        {"negative range", {-5, 5}, "-5", Spin::up, "-4"},
        // A number no single-precision value holds is brought within the limits first.
        {"huge text", {1, 60}, "99999999999999999999999999999999999999999999", Spin::up, "60"},
        {"huge text down", {1, 60}, "99999999999999999999999999999999999999999999", Spin::down, "59"},
        // A typed value outside the range spins from the limit, so rotation stays in range.
        {"out of range, rotating", {0, 59, 1, true}, "200", Spin::up, "0"},
        {"step larger than the range", {1, 10, 1000}, "5", Spin::up, "10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, c.text, *c.chars);
        b.box.spin(c.direction);
        EXPECT_EQ(b.box.Text(), c.expected);
        ASSERT_EQ(b.view.shown.size(), 1u);
        EXPECT_EQ(b.view.shown.back(), c.expected);
        EXPECT_EQ(b.changes, 1);
        EXPECT_EQ(b.view.selected, 1);
        EXPECT_EQ(b.view.focused, 1);
    }
}

TEST(NumericBoxSpin, AListCannotBeSpun) {
    Box b({0, 10, 1, false, 0, true}, "1,3:5");
    b.box.spin(Spin::up);
    EXPECT_EQ(b.box.Text(), "1,3:5");
    EXPECT_EQ(b.view.beeps, 1);
    EXPECT_EQ(b.view.focused, 1);
    EXPECT_TRUE(b.view.shown.empty());
    EXPECT_EQ(b.changes, 0);
}

TEST(NumericBoxKeys, CharactersByTheRules) {
    struct Case {
        const char* name;
        Limits limits;
        const NumberCharacters* chars;
        char32_t character;
        KeyPressAnswer expected;
    };
    using A = KeyPressAnswer;
    const Case cases[] = {
        {"digit", {}, &kDot, U'7', A::accepted},
        {"backspace", {}, &kDot, 8, A::accepted},
        {"letter", {}, &kDot, U'a', A::swallowed},
        {"full-width digit", {}, &kDot, U'７', A::swallowed},
        {"decimal point without decimals", {}, &kDot, U'.', A::swallowed},
        {"decimal point with decimals", {0, 9, 1, false, 2}, &kDot, U'.', A::accepted},
        {"minus when Min is 0", {0, 9}, &kDot, U'-', A::swallowed},
        {"minus when Min is below 0", {-1, 9}, &kDot, U'-', A::accepted},
        {"comma outside sum-value mode", {}, &kDot, U',', A::swallowed},
        {"colon in sum-value mode", {0, 9, 1, false, 0, true}, &kDot, U':', A::accepted},
        {"decimal comma is a list sign", {0, 9, 1, false, 2}, &kComma, U',', A::swallowed},
        {"paste key", {}, &kDot, 0x16, A::editing},
        {"copy key", {}, &kDot, 0x03, A::editing},
        {"enter", {}, &kDot, 13, A::swallowed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, "", *c.chars);
        EXPECT_EQ(b.box.keyPress(c.character), c.expected);
    }
}

TEST(NumericBoxKeys, KeysDownByTheRules) {
    struct Case {
        const char* name;
        int key;
        int shift;
        bool swallowed;
        const char* text;  // after the key
        int movedOn;
    };
    const Case cases[] = {
        {"enter moves on", keys::kEnter, 0, true, "5", 1},
        {"up spins", keys::kUp, 0, true, "6", 0},
        {"down spins", keys::kDown, 0, true, "4", 0},
        {"shift+insert pastes nothing", keys::kInsert, keys::kShift, true, "5", 0},
        {"shift+F10 opens no menu", keys::kF10, keys::kShift, true, "5", 0},
        {"a letter", 'A', 0, false, "5", 0},
        {"shift+up", keys::kUp, keys::kShift, false, "5", 0},
        {"ctrl+V", 'V', 2, false, "5", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b({0, 10}, "5");
        EXPECT_EQ(b.box.keyDown(c.key, c.shift), c.swallowed);
        EXPECT_EQ(b.box.Text(), c.text);
        EXPECT_EQ(b.view.movedOn, c.movedOn);
    }
}

// A paste is held to the rules of typing: what could not have been typed is
// dropped with one beep each, and the corrected text is a change of its own.
TEST(NumericBoxEdits, PastedTextKeepsWhatCouldBeTyped) {
    struct Case {
        const char* name;
        Limits limits;
        const char* pasted;
        const char* kept;
        int beeps;
        int changes;
    };
    const Case cases[] = {
        {"letter", {}, "12a3", "123", 1, 2},
        {"clean", {}, "123", "123", 0, 1},
        {"empty", {}, "", "", 0, 1},
        {"decimal point without decimals", {0, 60}, "1.5", "15", 1, 2},
        {"decimal point with decimals", {0, 60, 1, false, 1}, "1.5", "1.5", 0, 1},
        {"minus when Min is 0", {0, 60}, "-4", "4", 1, 2},
        {"thousands separator", {0, 9999}, "1,000", "1000", 1, 2},
        {"list in sum-value mode", {0, 9, 1, false, 0, true}, "1,3:5", "1,3:5", 0, 1},
        {"full-width digits and a unit", {0, 60}, "１２秒", "", 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, "");
        std::optional<std::string> textAtChange;
        const Connection seeText = b.box.Change.connect([&] { textAtChange = b.box.Text(); });
        b.box.edited(c.pasted);
        EXPECT_EQ(b.box.Text(), c.kept);
        EXPECT_EQ(b.view.beeps, c.beeps);
        EXPECT_EQ(b.changes, c.changes);
        EXPECT_EQ(textAtChange, std::optional<std::string>(c.kept));
        EXPECT_EQ(b.view.shown.size(), c.beeps > 0 ? 1u : 0u);
    }
}

TEST(NumericBoxEdits, LeavingTheBoxBringsTheNumberWithinTheLimits) {
    struct Case {
        const char* name;
        Limits limits;
        const char* text;
        const char* after;
        int changes;
        const NumberCharacters* chars = &kDot;
    };
    const Case cases[] = {
        {"above Max", {1, 60}, "75", "60", 1},
        {"below Min", {1, 60}, "0", "1", 1},
        {"within", {1, 60}, "7", "7", 0},
        {"rounded", {1, 60}, "7.6", "8", 1},
        {"decimals shown", {0, 60, 1, false, 2}, "7", "7.00", 0},
        {"empty", {1, 60}, "", "", 0},
        {"list", {0, 9, 1, false, 0, true}, "1,3", "1,3", 0},
        {"decimal comma", {0, 60, 1, false, 2}, "75,5", "60,00", 1, &kComma},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, c.text, *c.chars);
        b.box.focusLost();
        EXPECT_EQ(b.box.Text(), c.after);
        EXPECT_EQ(b.changes, c.changes);
    }
}

TEST(NumericBoxText, AssignmentFormatsAndRaisesNoChange) {
    struct Case {
        const char* name;
        Limits limits;
        const char* before;
        const char* assigned;
        bool focus;
        const char* after;
        bool written;
    };
    const Case cases[] = {
        {"formatted", {1, 60}, "", "2.5", false, "3", true},
        {"with decimals", {0, 60, 1, false, 1}, "", "2", false, "2.0", true},
        {"empty stays empty", {1, 60}, "5", "", false, "", true},
        {"not clamped", {1, 10}, "", "60", false, "60", true},
        {"list kept", {0, 9, 1, false, 0, true}, "", "1,3:5", false, "1,3:5", true},
        {"same number while typing", {0, 60}, "5", "5.0", true, "5", false},
        {"other number while typing", {0, 60}, "5", "6.5", true, "6.5", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, c.before);
        b.box.Text(c.assigned, c.focus);
        EXPECT_EQ(b.box.Text(), c.after);
        EXPECT_EQ(b.view.shown.size(), c.written ? 1u : 0u);
        EXPECT_EQ(b.changes, 0);
    }
}

TEST(NumericBoxText, ValueIsWithinTheLimitsAndAnEmptyBoxGivesTheMinimum) {
    struct Case {
        const char* name;
        Limits limits;
        const char* text;
        NumTextValue expected;
    };
    const Case cases[] = {
        {"number", {1, 10}, "5", 5.0},
        {"empty", {1, 10}, "", 1.0},
        {"above Max", {1, 10}, "75", 10.0},
        {"below Min", {1, 10}, "0", 1.0},
        {"decimal comma", {0, 10, 1, false, 2}, "2.5", 2.5},
        {"list", {0, 9, 1, false, 0, true}, "1,3:5", std::vector<std::string>{"1", "3:5"}},
        {"number in sum-value mode", {0, 9, 1, false, 0, true}, "4", 4.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Box b(c.limits, c.text);
        EXPECT_EQ(b.box.NumText(), c.expected);
    }
}

TEST(NumericBoxText, DecimalsStayWithinWhatCanBeShown) {
    RecordingView view;
    NumericBox box(kDot, view);
    for (const auto& [given, kept] : {std::pair{-1, 0}, {2, 2}, {9, 4}}) {
        box.NumberOfDecimals(given);
        EXPECT_EQ(box.NumberOfDecimals(), kept) << given;
    }
    box.Max(1e300);
    EXPECT_GT(box.Max(), 3e38f);
}

TEST(NumericBoxLayout, EntryCaptionAndSpinButtons) {
    // The settings dialog's box, 855 x 255 twips, inside a 2-pixel border at 15 twips a pixel.
    const NumericBoxLayout with = layOutNumericBox(
        {.width = 795, .height = 195, .entryHeight = 180, .captionWidth = 165, .captionHeight = 165, .buttonWidth = 255});
    EXPECT_EQ(with.entry, (TwipsRect{0, 7, 375, 180}));
    EXPECT_EQ(with.caption, (TwipsRect{375, 30, 165, 165}));
    EXPECT_EQ(with.up, (TwipsRect{540, 0, 255, 97}));
    EXPECT_EQ(with.down, (TwipsRect{540, 97, 255, 97}));

    const NumericBoxLayout without = layOutNumericBox({.width = 795, .height = 195, .entryHeight = 180});
    EXPECT_EQ(without.entry.width, 540);
    EXPECT_EQ(without.caption, TwipsRect{});
    // Too narrow for anything but the buttons.
    EXPECT_EQ(layOutNumericBox({.width = 200, .height = 195, .entryHeight = 180}).entry.width, 0);
}

}  // namespace
}  // namespace kq::addin::dialogs
