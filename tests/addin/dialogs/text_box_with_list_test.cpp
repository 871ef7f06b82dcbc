#include "addin/dialogs/text_box_with_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/addin/dialogs/dialog_test_world.h"

namespace kq::addin::dialogs {
namespace {

using test::DialogWorld;

struct Box {
    explicit Box(DialogWorld& w, std::string_view placeholder = "<分類なし>")
        : model(w.listServices(), "CATEGORY", placeholder) {
    }
    TextBoxWithListModel model;
    Connection onChange = model.Change.connect([this] { ++changes; });
    int changes = 0;
};

TEST(TextBoxWithList, TextShowsTheValueOrTheGreyPlaceholderAndTellsOnlyRealChanges) {
    struct Step {
        const char* assign;
        std::string box;
        bool grey;
        std::string text;
        int changes;  // so far
    };
    struct Case {
        const char* what;
        const char* placeholder;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"placeholder, then a text twice, then cleared",
         "<分類なし>",
         {{"", "<分類なし>", true, "", 0},
          {"請求書", "請求書", false, "請求書", 1},
          {"請求書", "請求書", false, "請求書", 1},
          {"", "<分類なし>", true, "", 2}}},
        {"the placeholder's own text is the placeholder",
         "<分類なし>",
         {{"a", "a", false, "a", 1}, {"<分類なし>", "<分類なし>", true, "", 2}}},
        {"without a placeholder an empty box is just empty",
         "",
         {{"", "", true, "", 0}, {"x", "x", false, "x", 1}, {"", "", true, "", 2}}},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        Box b(w, c.placeholder);
        int step = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(std::string(c.what) + ", step " + std::to_string(++step));
            b.model.Text(s.assign);
            EXPECT_EQ(b.model.boxText(), s.box);
            EXPECT_EQ(b.model.grey(), s.grey);
            EXPECT_EQ(b.model.Text(), s.text);
            EXPECT_EQ(b.changes, s.changes);
        }
    }
}

TEST(TextBoxWithList, ANewBoxIsEmptyUntilTheFocusLeavesIt) {
    DialogWorld w;
    Box b(w);
    EXPECT_EQ(b.model.boxText(), "");
    b.model.focusLost();
    EXPECT_EQ(b.model.boxText(), "<分類なし>");
    EXPECT_TRUE(b.model.grey());
    EXPECT_EQ(b.changes, 0);
}

TEST(TextBoxWithList, TypingShowsBlackAndTypingThePlaceholderTurnsIntoItOnLeaving) {
    DialogWorld w;
    Box b(w);
    b.model.Text("");
    b.model.edited("納");
    EXPECT_FALSE(b.model.grey());
    EXPECT_EQ(b.model.Text(), "納");
    EXPECT_EQ(b.changes, 1);

    b.model.edited("<分類なし>");
    EXPECT_EQ(b.model.Text(), "");
    b.model.focusLost();
    EXPECT_TRUE(b.model.grey());

    b.model.edited("");
    b.model.focusLost();
    EXPECT_EQ(b.model.boxText(), "<分類なし>");
    EXPECT_TRUE(b.model.grey());
}

TEST(TextBoxWithList, RemembersWhatItShowsButNeverThePlaceholder) {
    DialogWorld w;
    Box b(w);
    b.model.Text("");
    b.model.CheckAndSaveTextToList();
    EXPECT_EQ(w.list("CATEGORY"), "<missing>");
    b.model.Text("請求書");
    b.model.CheckAndSaveTextToList();
    b.model.CheckAndSaveTextToList();
    EXPECT_EQ(w.list("CATEGORY"), "請求書");
}

std::vector<std::string> texts(const PopupMenu& items) {
    std::vector<std::string> shown;
    for (const MenuItem& item : items) shown.push_back(item.kind == MenuItem::Kind::separator ? "-" : item.text);
    return shown;
}

TEST(TextBoxWithList, MenuOffersTheEntriesUnderTheirIdsWithItsCommands) {
    DialogWorld w;
    Box b(w);
    PopupMenu menu = b.model.ShowListMenu();
    ASSERT_EQ(texts(menu), (std::vector<std::string>{"入力済みリスト(&L)", "-", "直接入力(&D)", "-", "クリア(&C)"}));
    EXPECT_TRUE(menu[0].grayed);
    EXPECT_EQ(texts(menu[0].items), (std::vector<std::string>{"-", "リストの編集(&E)"}));

    w.lists.set("LIST", "CATEGORY", "A&B\t\t納品書");
    menu = b.model.ShowListMenu();
    EXPECT_FALSE(menu[0].grayed);
    EXPECT_EQ(texts(menu[0].items), (std::vector<std::string>{"A&&B", "納品書", "-", "リストの編集(&E)"}));
    EXPECT_EQ(menu[0].items[0].id, 101);
    EXPECT_EQ(menu[0].items[1].id, 102);
    EXPECT_EQ(menu[0].items[3].id, 999);
    EXPECT_EQ(menu[2].id, 1000);
    EXPECT_EQ(menu[4].id, 9999);
}

TEST(TextBoxWithList, EachMenuCommandDoesItsOneThing) {
    struct Case {
        const char* what;
        int id;
        std::string text;
        int changes;
        std::size_t messages;
        std::size_t editorOpenings;
    };
    const Case cases[] = {
        {"an entry becomes the text, as stored", 102, " 納品書 ", 1, 0, 0},
        {"clear shows the placeholder", 9999, "", 1, 0, 0},
        {"the hint changes nothing", 1000, "請求書", 0, 1, 0},
        {"the editor opens for this list", 999, "請求書", 0, 0, 1},
        {"a dismissed menu changes nothing", 0, "請求書", 0, 0, 0},
        {"an id past the entries changes nothing", 103, "請求書", 0, 0, 0},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        w.lists.set("LIST", "CATEGORY", "請求書\t 納品書 ");
        Box b(w);
        b.model.Text("請求書");
        b.changes = 0;
        b.model.ShowListMenu();
        b.model.menuChosen(c.id);
        EXPECT_EQ(b.model.Text(), c.text) << c.what;
        EXPECT_EQ(b.changes, c.changes) << c.what;
        EXPECT_EQ(w.prompts.messages.size(), c.messages) << c.what;
        EXPECT_EQ(w.editorOpenedFor.size(), c.editorOpenings) << c.what;
    }
}

TEST(TextBoxWithList, HintIsAnInformationMessageWithTheAddinsTitle) {
    DialogWorld w;
    Box b(w);
    b.model.ShowListMenu();
    b.model.menuChosen(1000);
    ASSERT_EQ(w.prompts.messages.size(), 1u);
    EXPECT_EQ(w.prompts.messages[0],
              (kq::test::ShownMessage{"左のテキストボックスに任意の文字列を直接入力してください。", test::kTitle,
                                      mb::kIconInformation}));
    b.model.menuChosen(999);
    EXPECT_EQ(w.editorOpenedFor, std::vector<std::string>{"CATEGORY"});
}

TEST(TextBoxWithList, TheLastListedEntryOfAnOverfullListIsItsNewest) {
    DialogWorld w;
    std::string many;
    for (int n = 1; n <= 900; ++n) {
        if (n > 1) many += '\t';
        many += std::to_string(n);
    }
    w.lists.set("LIST", "CATEGORY", many);
    Box b(w);
    b.model.ShowListMenu();
    b.model.menuChosen(998);
    EXPECT_EQ(b.model.Text(), "900");
}

}  // namespace
}  // namespace kq::addin::dialogs
