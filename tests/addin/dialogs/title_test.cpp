#include "addin/dialogs/title_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/addin/dialogs/dialog_test_world.h"

namespace kq::addin::dialogs {
namespace {

using test::DialogWorld;

struct Row {
    explicit Row(DialogWorld& w) : model(std::make_unique<TitleModel>(w.context(), w.listServices())) {}
    std::unique_ptr<TitleModel> model;
    int changes = 0;
    Connection onChange = model->Change.connect([this] { ++changes; });
};

TEST(HeadingRow, ValueAndTypeAreOpenOnlyForATitleAndACellReferenceOnTheSheet) {
    struct Case {
        const char* title;
        const char* value;
        bool valueEnabled;
        bool typeEnabled;
    };
    const Case cases[] = {
        {"", "", false, false},
        {"日付", "", true, false},
        {"日付", "$B$2", true, true},
        {"日付", "A1:C3", true, true},
        {"日付", "Total", true, true},  // a name the sheet resolves
        {"日付", "plain words", true, false},
        {"日付", "Sheet2!A1", true, false},
        {"  ", "B2", true, true},  // spaces are a title
        {"", "B2", false, false},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        w.sim.book->defineName("Total", "Sheet1!$D$4");
        Row r(w);
        r.model->TitleText(c.title);
        r.model->ValueText(c.value);
        EXPECT_EQ(r.model->valueEnabled(), c.valueEnabled) << c.title << " / " << c.value;
        EXPECT_EQ(r.model->typeEnabled(), c.typeEnabled) << c.title << " / " << c.value;
    }
}

TEST(HeadingRow, ResolvesOnTheDialogsSheetWhicheverSheetIsActive) {
    DialogWorld w;
    w.sim.book->defineName("Total", "Sheet1!$D$4");
    Row r(w);
    w.sim.sheet2->activate();
    r.model->TitleText("合計");
    r.model->ValueText("Total");
    EXPECT_TRUE(r.model->typeEnabled());
}

TEST(HeadingRow, EmptyingTheTitleDisablesButKeepsValueAndType) {
    DialogWorld w;
    Row r(w);
    r.model->TitleText("日付");
    r.model->ValueText("B2");
    r.model->CellLinkValueType(1);
    r.model->TitleText("");
    EXPECT_FALSE(r.model->valueEnabled());
    EXPECT_FALSE(r.model->typeEnabled());
    EXPECT_EQ(r.model->ValueText(), "B2");
    EXPECT_EQ(r.model->CellLinkValueType(), 1);
}

TEST(HeadingRow, SeparatorsNeverLeaveTheRowAndLeavingABoxTakesThemOut) {
    DialogWorld w;
    Row r(w);
    r.model->TitleText("a/b|c");
    r.model->ValueText("1/2");
    EXPECT_EQ(r.model->TitleText(), "abc");
    EXPECT_EQ(r.model->ValueText(), "12");
    EXPECT_EQ(r.model->valueBox(), "1/2");

    r.model->valueLeft();
    EXPECT_EQ(r.model->valueBox(), "12");
    r.model->titleLeft();
    EXPECT_EQ(r.model->titleBox().boxText(), "abc");
    const kq::test::ShownMessage refusal =
        w.critical("タイトルおよび値に、| および / は指定できません。\r\nOKを押すと入力値を修正します。");
    EXPECT_EQ(w.prompts.messages, (std::vector<kq::test::ShownMessage>{refusal, refusal}));

    r.model->valueLeft();
    EXPECT_EQ(w.prompts.messages.size(), 2u);  // nothing to take out: no message
}

TEST(HeadingRow, ChangeFollowsTitleAndValueButNotTheType) {
    DialogWorld w;
    Row r(w);
    r.model->TitleText("日付");
    EXPECT_EQ(r.changes, 1);
    r.model->ValueText("x");
    r.model->ValueText("x");
    EXPECT_EQ(r.changes, 2);
    r.model->CellLinkValueType(1);
    EXPECT_EQ(r.changes, 2);
    r.model->valueMenuChosen(value_menu::kClear);
    EXPECT_EQ(r.model->ValueText(), "");
    EXPECT_EQ(r.model->CellLinkValueType(), 1);
    EXPECT_EQ(r.changes, 3);
    r.model->valueMenuChosen(value_menu::kDirectInput);
    EXPECT_EQ(r.changes, 3);
    ASSERT_EQ(w.prompts.messages.size(), 1u);
    EXPECT_EQ(w.prompts.messages[0].text, "左のテキストボックスに任意の文字列を直接入力してください。");
    EXPECT_EQ(w.prompts.messages[0].style, mb::kIconInformation);
}

TEST(HeadingRow, ARowThatGoesRemembersItsNewTitle) {
    DialogWorld w;
    w.lists.set("LIST", "TITLE", "日付");
    Row(w).model->TitleText("日付");
    Row(w).model->TitleText("担当者");
    Row empty(w);
    empty.model.reset();
    EXPECT_EQ(w.list("TITLE"), "日付\t担当者");
}

TEST(HeadingRow, ValueMenuOffersItsThreeCommands) {
    DialogWorld w;
    Row r(w);
    const PopupMenu menu = r.model->ShowValueMenu();
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[0], MenuItem::command(10, "セル参照(&L)"));
    EXPECT_EQ(menu[1].kind, MenuItem::Kind::separator);
    EXPECT_EQ(menu[2], MenuItem::command(30, "直接入力(&D)"));
    EXPECT_EQ(menu[4], MenuItem::command(99, "クリア(&C)"));
}

}  // namespace
}  // namespace kq::addin::dialogs
