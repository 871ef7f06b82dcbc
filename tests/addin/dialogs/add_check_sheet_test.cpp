#include "addin/dialogs/add_check_sheet_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/addin/dialogs/registration_test_world.h"

namespace kq::addin::dialogs {
namespace {

using test::Input;
using test::RegistrationWorld;

std::vector<std::string> fields(const std::string& value) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = value.find('\t', start);
        parts.push_back(value.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

constexpr char kStarted[] =
    "このシートの印刷の監視を開始します。\r\n\r\n[監視フラグ]をこのブックの[ドキュメントプロパティ]に追加しました。\r\n"
    "本アドインは、印刷またはプレビューを行なうごとに、ブックの[ドキュメントプロパティ]をチェックし、[監視フラグ]が"
    "あるシートの印刷履歴を保存します。\r\n[ドキュメントプロパティ]への追加を保存するには、ブックの保存を行って下さい。\r\n";
constexpr char kUpdated[] =
    "このシートの印刷の監視内容が更新されました。\r\n更新された監視を永続化するには、ブックを保存する必要があります。\r\n";
constexpr char kUnchanged[] = "このシートの印刷の監視内容に変化はありません。\r\n引き続き監視を継続します。";

const Input kInvoice = {"請求書",
                        "B2:D10",
                        {{"日付", "B2", 0}, {"明細", "C3:D4", 1}, {"区分", "固定の文字", 0}}};

TEST(Registration, ANewWatchStoresCategoryRangeAndHeadingsAndSaysSo) {
    RegistrationWorld w;
    {
        auto dialog = w.open();
        EXPECT_EQ(dialog->Caption(), "Brelmont for Excel - 履歴監視の追加");
        kInvoice.into(*dialog);
        EXPECT_TRUE(dialog->okEnabled());
        dialog->cmdOK_Click();
        EXPECT_EQ(dialog->exit(), RegistrationExit::registered);
    }
    const std::vector<std::string> stored = fields(w.property());
    ASSERT_EQ(stored.size(), 6u) << w.property();
    EXPECT_EQ(stored[0], "0");
    EXPECT_EQ(stored[1], "請求書");
    EXPECT_EQ(stored[2].size(), 17u);
    EXPECT_EQ(stored[3], stored[2]);  // sheet and version start as one id
    EXPECT_EQ(stored[4], "$B$2:$D$10");
    EXPECT_EQ(stored[5], "日付/$B$2/0|明細/$C$3:$D$4/1|区分/固定の文字/0");
    EXPECT_EQ(w.boxes, std::vector<std::string>{kStarted});
    EXPECT_EQ(w.boxFlags, std::vector<std::int32_t>{0x2201});
    EXPECT_EQ(w.list("CATEGORY"), "請求書");
    EXPECT_EQ(w.list("TITLE"), "日付\t明細\t区分");
    EXPECT_TRUE(w.prompts.messages.empty());
}

TEST(Registration, EachCheckOfOkRefusesWithItsMessageAndFocusAndStoresNothing) {
    struct Case {
        const char* what;
        Input input;
        std::string message;
        std::vector<std::string> focus;
    };
    std::string longCategory(250, 'x');
    const Case cases[] = {
        {"a range on another sheet", {"", "Sheet2!A1", {}}, "指定したセル範囲が不正です。", {"range"}},
        {"a range that is no range", {"", "どこか", {}}, "指定したセル範囲が不正です。", {"range"}},
        {"titles differing in case only", {"", "", {{"abc", "1"}, {"ABC", "2"}}},
         "タイトルが重複しています。同じタイトルの見出しは指定できません。", {"row 2"}},
        {"full-width titles differing in case only", {"", "", {{"日付", "1"}, {"ＡＢＣ", "2"}, {"ａｂｃ", "3"}}},
         "タイトルが重複しています。同じタイトルの見出しは指定できません。", {"row 3"}},
        {"Greek titles differing in case only", {"", "", {{"Σίγμα", "1"}, {"ΣΊΓΜΑ", "2"}}},
         "タイトルが重複しています。同じタイトルの見出しは指定できません。", {"row 2"}},
        {"Cyrillic titles differing in case only", {"", "", {{"ёлка", "1"}, {"ЁЛКА", "2"}}},
         "タイトルが重複しています。同じタイトルの見出しは指定できません。", {"row 2"}},
        {"eleven cells", {"", "", {{"日付", "B2"}, {"明細", "A1:A5,C1:C6"}}},
         "見出しの値のセル範囲が多すぎます。(>10)", {"row 2"}},
        {"cells that were deleted", {"", "", {{"日付", "#REF"}}},
         "見出しの値のセルが削除されています。セル参照を指定し直してください。", {"row 1"}},
        {"more than a property holds", {longCategory, "", {{"日付", "B2"}}},
         "監視の設定が長すぎます。ドキュメントプロパティに保存できるのは255文字までです。分類名や見出しを短くしてください。",
         {}},
    };
    for (const Case& c : cases) {
        RegistrationWorld w;
        auto dialog = w.open();
        c.input.into(*dialog);
        dialog->cmdOK_Click();
        ASSERT_EQ(w.prompts.messages.size(), 1u) << c.what;
        EXPECT_EQ(w.prompts.messages[0], w.critical(c.message + "\r\n処理を中断します。")) << c.what;
        EXPECT_EQ(w.focus, c.focus) << c.what;
        EXPECT_EQ(dialog->exit(), std::nullopt) << c.what;
        EXPECT_EQ(w.property(), "<none>") << c.what;
        EXPECT_EQ(w.record(), nullptr) << c.what;
        EXPECT_TRUE(w.boxes.empty()) << c.what;
    }
}

TEST(Registration, WhatIsStoredOfTheRangeAndTheHeadings) {
    struct Case {
        const char* what;
        Input input;
        std::string saveRange;
        std::string headings;
    };
    const Case cases[] = {
        {"automatic ignores the range box", {"", "", {}}, "", ""},
        {"a relative range is stored absolute", {"", "b2:c3", {}}, "$B$2:$C$3", ""},
        {"a name is stored as the cells it names", {"", "Area", {}}, "$D$4:$E$5", ""},
        {"ten cells in two areas pass", {"", "", {{"明細", "A1:A5,C1:C5", 1}}}, "", "明細/$A$1:$A$5,$C$1:$C$5/1"},
        {"rows lacking a title or a value are left out",
         {"", "", {{"", "B2"}, {"日付", "B2"}, {"空", ""}}}, "", "日付/$B$2/0"},
        {"a literal keeps its text and takes type 0", {"", "", {{"担当", "山田", 1}}}, "", "担当/山田/0"},
        // Only letter case makes titles one: width, and kana against kana, do not.
        {"titles differing in width are two", {"", "", {{"ABC", "1"}, {"ＡＢＣ", "2"}, {"あ", "3"}, {"ア", "4"}}},
         "", "ABC/1/0|ＡＢＣ/2/0|あ/3/0|ア/4/0"},
    };
    for (const Case& c : cases) {
        RegistrationWorld w;
        w.sim.book->defineName("Area", "Sheet1!$D$4:$E$5");
        auto dialog = w.open();
        c.input.into(*dialog);
        dialog->cmdOK_Click();
        const std::vector<std::string> stored = fields(w.property());
        ASSERT_EQ(stored.size(), 6u) << c.what << ": " << w.property();
        EXPECT_EQ(stored[4], c.saveRange) << c.what;
        EXPECT_EQ(stored[5], c.headings) << c.what;
    }
}

TEST(Registration, AutomaticRangeIsStoredEvenWhenTheBoxHoldsNonsense) {
    RegistrationWorld w;
    auto dialog = w.open();
    dialog->txtSaveRange().edited("nonsense");
    EXPECT_EQ(dialog->optSaveType(), 1);  // typing chose the fixed range
    EXPECT_FALSE(dialog->okEnabled());
    dialog->optSaveType_Click(0);
    EXPECT_TRUE(dialog->okEnabled());
    dialog->cmdOK_Click();
    EXPECT_EQ(fields(w.property())[4], "");
}

TEST(Registration, OkFollowsTheRangeAndTheTitledRows) {
    struct Case {
        const char* what;
        Input input;
        bool enabled;
    };
    const Case cases[] = {
        {"nothing given", {"", "", {}}, true},
        {"a fixed range that resolves", {"", "B2", {}}, true},
        {"a fixed range that does not", {"", "Sheet2!B2", {}}, false},
        {"a title without a value", {"", "", {{"日付", ""}}}, false},
        {"a value without a title", {"", "", {{"", "B2"}}}, true},
        {"the first titled row without a value decides", {"", "", {{"日付", "B2"}, {"明細", ""}}}, false},
    };
    for (const Case& c : cases) {
        RegistrationWorld w;
        auto dialog = w.open();
        c.input.into(*dialog);
        EXPECT_EQ(dialog->okEnabled(), c.enabled) << c.what;
    }
}

// Registers kInvoice, then opens the dialog again on the stored record.
std::unique_ptr<AddCheckSheetModel> reopened(RegistrationWorld& w) {
    auto first = w.open();
    kInvoice.into(*first);
    first->cmdOK_Click();
    first.reset();
    w.boxes.clear();
    return w.open();
}

TEST(Registration, ReopeningShowsTheStoredWatch) {
    RegistrationWorld w;
    auto dialog = reopened(w);
    EXPECT_EQ(dialog->useCategory().Text(), "請求書");
    EXPECT_EQ(dialog->optSaveType(), 1);
    EXPECT_EQ(dialog->txtSaveRange().Text(), "$B$2:$D$10");
    ASSERT_EQ(dialog->useTitles().TitleCount(), 3);
    EXPECT_EQ(dialog->useTitles().Item(2)->TitleText(), "明細");
    EXPECT_EQ(dialog->useTitles().Item(2)->ValueText(), "$C$3:$D$4");
    EXPECT_EQ(dialog->useTitles().Item(2)->CellLinkValueType(), 1);
    EXPECT_EQ(dialog->useTitles().Item(3)->ValueText(), "固定の文字");
}

TEST(Registration, EditingTellsWhatChangedAndKeepsOrRenewsTheVersion) {
    struct Case {
        const char* what;
        std::function<void(AddCheckSheetModel&)> edit;
        std::string message;
        bool newVersion;
    };
    const Case cases[] = {
        {"nothing", [](AddCheckSheetModel&) {}, kUnchanged, false},
        {"only the save range: it still needs saving", [](AddCheckSheetModel& d) { d.txtSaveRange().edited("A1"); },
         kUpdated, false},
        {"a heading's value", [](AddCheckSheetModel& d) { d.useTitles().Item(1)->ValueText("B3"); }, kUpdated, false},
        {"a heading's type", [](AddCheckSheetModel& d) { d.useTitles().Item(2)->CellLinkValueType(0); }, kUpdated,
         true},
        {"the category", [](AddCheckSheetModel& d) { d.useCategory().Text("納品書"); }, kUpdated, true},
    };
    for (const Case& c : cases) {
        RegistrationWorld w;
        auto dialog = reopened(w);
        const std::string version = fields(w.property())[3];
        c.edit(*dialog);
        dialog->cmdOK_Click();
        EXPECT_EQ(dialog->exit(), RegistrationExit::registered) << c.what;
        EXPECT_EQ(w.boxes, std::vector<std::string>{c.message}) << c.what;
        EXPECT_EQ(fields(w.property())[3] != version, c.newVersion) << c.what;
    }
}

TEST(Registration, TheResultMessageCanBeSwitchedOffForLaterRegistrations) {
    RegistrationWorld w;
    w.boxAnswers = {msgbox::kOk};  // "次回も表示起動する" cleared
    auto dialog = w.open();
    kInvoice.into(*dialog);
    dialog->cmdOK_Click();
    EXPECT_EQ(w.boxes.size(), 1u);
    EXPECT_FALSE(w.state.g_Setting->ShowMessageWhenAdd());

    dialog = w.open();
    dialog->cmdOK_Click();
    EXPECT_EQ(w.boxes.size(), 1u);
    EXPECT_FALSE(w.state.g_Setting->ShowMessageWhenAdd());
    EXPECT_TRUE(w.settings.writes().empty());  // written at disconnection only
}

TEST(Registration, CancelRemembersTheTitlesTypedButNotTheCategory) {
    RegistrationWorld w;
    {
        auto dialog = w.open();
        kInvoice.into(*dialog);
        dialog->cmdCancel_Click();
        EXPECT_EQ(dialog->exit(), RegistrationExit::cancelled);
    }
    EXPECT_EQ(w.list("CATEGORY"), "<missing>");
    EXPECT_EQ(w.list("TITLE"), "日付\t明細\t区分");
    EXPECT_EQ(w.property(), "<none>");
}

TEST(Registration, AReleasedWatchOpensAsStoredAndOkWatchesAgain) {
    RegistrationWorld w;
    reopened(w).reset();
    w.state.g_DocPros().Release(w.sim.sheet1);
    w.state.g_DocPros().SaveToDocProps(w.sim.book, w.sim.sheet1);
    ASSERT_EQ(fields(w.property())[0], "1");

    auto dialog = w.open();
    EXPECT_EQ(dialog->useCategory().Text(), "請求書");
    EXPECT_EQ(dialog->useTitles().TitleCount(), 3);
    dialog->cmdOK_Click();
    EXPECT_FALSE(w.record()->Released());
    EXPECT_EQ(fields(w.property())[0], "0");
    EXPECT_EQ(w.boxes, std::vector<std::string>{kUpdated});
}

TEST(Registration, AHeadingWhoseCellsWereDeletedIsRefusedOnItsRow) {
    RegistrationWorld w;
    reopened(w).reset();
    w.sim.sheet1->deleteRows(3, 2);  // the cells of 明細
    auto dialog = w.open();
    EXPECT_EQ(dialog->useTitles().Item(2)->ValueText(), "#REF");
    dialog->cmdOK_Click();
    ASSERT_EQ(w.prompts.messages.size(), 1u);
    EXPECT_EQ(w.focus, std::vector<std::string>{"row 2"});
    EXPECT_EQ(dialog->exit(), std::nullopt);
    EXPECT_EQ(fields(w.property())[5], "日付/$B$2/0|明細/$C$3:$D$4/1|区分/固定の文字/0");
}

TEST(Registration, AWorkbookThatRefusesThePropertyIsReportedAndNothingIsRegistered) {
    RegistrationWorld w;
    w.sim.book->properties()->setLocked(true);
    auto dialog = w.open();
    kInvoice.into(*dialog);
    dialog->cmdOK_Click();
    ASSERT_EQ(w.prompts.messages.size(), 1u);
    EXPECT_EQ(w.prompts.messages[0], w.critical("err(-2147467259) The property cannot be added"));
    EXPECT_EQ(dialog->exit(), std::nullopt);
    EXPECT_EQ(w.record(), nullptr);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(w.list("CATEGORY"), "<missing>");

    // Once the workbook lets it, the same dialog registers.
    w.sim.book->properties()->setLocked(false);
    dialog->cmdOK_Click();
    EXPECT_EQ(dialog->exit(), RegistrationExit::registered);
    EXPECT_NE(w.record(), nullptr);
}

TEST(Registration, AFailedUpdateLeavesTheWatchAsItWas) {
    RegistrationWorld w;
    auto dialog = reopened(w);
    const std::string before = w.property();
    w.sim.book->properties()->setLocked(true);
    dialog->useCategory().Text("納品書");
    dialog->cmdOK_Click();
    EXPECT_EQ(dialog->exit(), std::nullopt);
    EXPECT_EQ(w.record()->Category(), "請求書");
    EXPECT_EQ(w.property(), before);
}

TEST(Registration, WorksOnItsOwnSheetWhicheverSheetTheHostShows) {
    RegistrationWorld w;
    auto dialog = w.open();
    dialog->useCategory().Text("請求書");
    // The user points at a cell of Sheet2 for a heading: refused, and Sheet1 is back.
    dialog->useTitles().Item(1)->TitleText("日付");
    w.sim.app->answerInputBox("Sheet2!B2");
    dialog->useTitles().Item(1)->valueMenuChosen(value_menu::kCellReference);
    EXPECT_EQ(w.sim.app->ActiveSheet()->Name(), "Sheet1");
    w.sim.sheet2->activate();
    dialog->useTitles().Item(1)->ValueText("B2");
    dialog->cmdOK_Click();
    EXPECT_EQ(fields(w.property("Sheet1"))[5], "日付/$B$2/0");
    EXPECT_EQ(w.property("Sheet2"), "<none>");
    EXPECT_EQ(w.state.g_DocPros().Find(w.sim.sheet2), nullptr);
}

TEST(Registration, LinksLeaveWithoutSavingAndF1AndTheHomePageStay) {
    struct Case {
        const char* what;
        std::function<void(AddCheckSheetModel&)> act;
        std::optional<RegistrationExit> exit;
    };
    const Case cases[] = {
        {"settings link", [](AddCheckSheetModel& d) { d.settingLink(); }, RegistrationExit::openSettings},
        {"version panel", [](AddCheckSheetModel& d) { d.versionPanel(); }, RegistrationExit::openAbout},
        {"F1", [](AddCheckSheetModel& d) { d.helpKey(); }, std::nullopt},
        {"home page panel", [](AddCheckSheetModel& d) { d.homePagePanel(); }, std::nullopt},
    };
    for (const Case& c : cases) {
        RegistrationWorld w;
        auto dialog = w.open();
        kInvoice.into(*dialog);
        c.act(*dialog);
        EXPECT_EQ(dialog->exit(), c.exit) << c.what;
        EXPECT_EQ(w.property(), "<none>") << c.what;
    }
    RegistrationWorld w;
    auto dialog = w.open();
    dialog->helpKey();
    dialog->homePagePanel();
    EXPECT_EQ(w.helps, 1);
    EXPECT_EQ(w.homePages, 1);
}

TEST(Registration, StatusBarVersionText) {
    EXPECT_EQ(StatusVersionText("1.05.0.03", {2024, 1, 31}), "Version=1.05.0.03 Update=2024/1/31");
    EXPECT_EQ(StatusVersionText("12.10.0.11", {2009, 12, 5}), "Version=12.10.0.11 Update=2009/12/5");
}

}  // namespace
}  // namespace kq::addin::dialogs
