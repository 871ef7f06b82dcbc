// The two ways of pointing out cells: the range picker's "..." button and a
// heading row's cell reference, both through the host's range input box, both
// for the sheet the dialog was opened for.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "addin/dialogs/title_model.h"
#include "addin/dialogs/xl_range_text_model.h"
#include "tests/addin/dialogs/dialog_test_world.h"

namespace kq::addin::dialogs {
namespace {

using test::DialogWorld;

struct Picker {
    explicit Picker(DialogWorld& w) : model(w.context()) {}
    XlRangeTextModel model;
    std::vector<std::string> visibility;
    int changes = 0;
    Connection onVisible =
        model.parentVisible.connect([this](bool shown) { visibility.push_back(shown ? "shown" : "hidden"); });
    Connection onChange = model.Change.connect([this] { ++changes; });
};

struct Answer {
    std::optional<std::string> address;  // none: the user cancels
};

void script(DialogWorld& w, const Answer& a) {
    if (a.address) {
        w.sim.app->answerInputBox(*a.address);
    } else {
        w.sim.app->cancelInputBox();
    }
}

TEST(RangePicker, TakesWhatIsPointedOutOnItsSheetAndRefusesOtherSheets) {
    struct Case {
        const char* what;
        Answer answer;
        std::string text;
        int changes;
        std::size_t messages;
    };
    const Case cases[] = {
        {"a range", {"B2:D10"}, "$B$2:$D$10", 1, 0},
        {"several areas", {"B2,D4:E5"}, "$B$2,$D$4:$E$5", 1, 0},
        {"the same range again", {"A1"}, "$A$1", 0, 0},
        {"cancelled", {}, "$A$1", 0, 0},
        {"another sheet", {"Sheet2!C3"}, "$A$1", 0, 1},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        Picker p(w);
        p.model.Text("$A$1");
        p.changes = 0;
        script(w, c.answer);
        p.model.pick();
        EXPECT_EQ(p.model.Text(), c.text) << c.what;
        EXPECT_EQ(p.changes, c.changes) << c.what;
        ASSERT_EQ(w.prompts.messages.size(), c.messages) << c.what;
        if (c.messages) {
            EXPECT_EQ(w.prompts.messages[0], w.critical("指定したセル範囲が不正です。"));
        }
        // The dialog hides for the box and comes back however it closed, with
        // its own sheet active again.
        EXPECT_EQ(p.visibility, (std::vector<std::string>{"hidden", "shown"})) << c.what;
        EXPECT_EQ(w.sim.app->ActiveSheet()->Name(), "Sheet1") << c.what;
    }
}

TEST(RangePicker, AsksWithItsOwnTextsAndOffersThePresentText) {
    DialogWorld w;
    Picker p(w);
    p.model.Text("B2");
    w.sim.app->cancelInputBox();
    p.model.pick();
    ASSERT_EQ(w.sim.app->inputBoxCalls().size(), 1u);
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].prompt, "セル範囲を指定してください");
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].title, "セル範囲の指定");
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].defaultText, "B2");
}

TEST(RangePicker, ColoursSurviveDisablingAsTheBoxShowsThem) {
    DialogWorld w;
    Picker p(w);
    p.model.BackColor(0x00FFEEDD);
    p.model.Enabled(false);
    EXPECT_EQ(p.model.shownBackColor(), kOleButtonFace);
    p.model.BackColor(0x00112233);
    p.model.ForeColor(0x000000FF);
    EXPECT_EQ(p.model.ForeColor(), 0x000000FFu);
    EXPECT_EQ(p.model.shownForeColor(), kOleWindowText);  // reaches the box only when set while enabled
    p.model.Enabled(true);
    EXPECT_EQ(p.model.shownBackColor(), 0x00112233u);
    EXPECT_EQ(p.model.shownForeColor(), kOleWindowText);
    p.model.ForeColor(0x000000FF);
    EXPECT_EQ(p.model.shownForeColor(), 0x000000FFu);
}

struct Row {
    explicit Row(DialogWorld& w) : model(w.context(), w.listServices()) {}
    TitleModel model;
    int changes = 0;
    std::vector<std::string> links;
    Connection onChange = model.Change.connect([this] { ++changes; });
    Connection onStart = model.StartRangeLink.connect([this] { links.push_back("start"); });
    Connection onEnd = model.EndRangeLink.connect([this] { links.push_back("end"); });
};

TEST(HeadingRowPick, ValueComesFromTheBoxOnItsSheetOnly) {
    struct Case {
        const char* what;
        Answer answer;
        std::string value;
        std::size_t messages;
    };
    const Case cases[] = {
        {"a cell", {"B2"}, "$B$2", 0},
        {"two areas joined", {"B2,D4:E5"}, "$B$2,$D$4:$E$5", 0},
        {"cancelled keeps the value", {}, "前の値", 0},
        {"another sheet is refused", {"Sheet2!B2"}, "前の値", 1},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        Row r(w);
        r.model.TitleText("日付");
        r.model.ValueText("前の値");
        script(w, c.answer);
        r.model.valueMenuChosen(value_menu::kCellReference);
        EXPECT_EQ(r.model.ValueText(), c.value) << c.what;
        EXPECT_EQ(w.prompts.messages.size(), c.messages) << c.what;
        EXPECT_EQ(r.links, (std::vector<std::string>{"start", "end"})) << c.what;
        EXPECT_EQ(w.sim.app->ActiveSheet()->Name(), "Sheet1") << c.what;
    }
}

TEST(HeadingRowPick, AsksForAtMostTenCellsOfferingThePresentValue) {
    DialogWorld w;
    Row r(w);
    r.model.TitleText("日付");
    r.model.ValueText("C3");
    w.sim.app->cancelInputBox();
    r.model.valueMenuChosen(value_menu::kCellReference);
    ASSERT_EQ(w.sim.app->inputBoxCalls().size(), 1u);
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].prompt,
              "セルを指定してください。\r\n※複数のセル範囲を指定すると、その範囲の文字列を結合します。（ただし10ケまで）");
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].title, "セル範囲の指定");
    EXPECT_EQ(w.sim.app->inputBoxCalls()[0].defaultText, "C3");
}

}  // namespace
}  // namespace kq::addin::dialogs
