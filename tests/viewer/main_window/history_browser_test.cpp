#include "viewer/main_window/history_browser.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/history_bytes.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/threaded_work.h"
#include "viewer/search/search_query.h"

namespace kq::viewer {
namespace {

struct Widths final : TextWidths {
    double textWidth(std::string_view text) override { return 90.0 * static_cast<double>(text.size()); }
};

// A history folder D:\H with histories of two sheets; the newest is written last.
struct World {
    World() { folder.files.addDirectory("D:\\H"); }
    void add(const std::string& name, const char* sheet, int pages, const char* category = "") {
        HistoryRecords r;
        r.header.strSheetId = sheet;
        r.header.strVersionId = "V";
        r.header.strCategory = category;
        r.header.datPrintDate = 40000 + minute;
        for (int i = 0; i < pages; ++i) r.pageTexts.push_back({"t"});
        std::vector<std::vector<std::uint8_t>> images(static_cast<std::size_t>(pages), std::vector<std::uint8_t>{1, 2});
        folder.files.addFile(std::string("D:\\H\\") + name, test::historyBytes(r, images));
        folder.files.setLastWrite(std::string("D:\\H\\") + name, {2024, 4, 1, 9, minute++, 0});
    }
    HistoryBrowser& open(std::function<SearchFilter()> search = {}) {
        view.emplace(store);
        browser.emplace(BrowserServices{folder.files,
                                        systemAnsiCodec(),
                                        folder.prompts,
                                        store,
                                        folder.services(test::kViewerTitle),
                                        widths,
                                        std::move(search),
                                        order,
                                        work},
                        *view, start);
        browser->layout().pass(12915, 7335, view->ViewStyle);
        browser->load();
        return *browser;
    }
    std::string selectedKey() const {
        const Card* card = browser->cards().SelectedItem();
        return card ? card->Key() : "<none>";
    }
    std::string currentFile() const {
        const auto row = browser->currentRow();
        return row ? browser->list().rows()[*row].key.substr(5) : "<none>";
    }

    test::HistoryFolderWorld folder;
    MemorySettingsStore store;
    StartValues start{0, false, "D:\\H", ""};
    Widths widths;
    WorkRunner* work = nullptr;  // at once when null
    TextOrder order = compareIgnoringCase;
    std::optional<c_Setting_View> view;
    std::optional<HistoryBrowser> browser;
    int minute = 0;
};

TEST(HistoryBrowser, StartSelectsTheNewestCardListsItAndShowsItsNewestHistory) {
    World w;
    w.add("a1.tvk", "A", 2);
    w.add("b1.tvk", "B", 3);
    w.add("a2.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    EXPECT_EQ(b.cards().Count(), 2u);
    EXPECT_EQ(w.selectedKey(), "A");
    EXPECT_EQ(w.currentFile(), "a2.tvk");
    EXPECT_TRUE(b.page().loaded);
    EXPECT_EQ(b.page().number.label, "1 / 1 ページ");
    EXPECT_EQ(b.layout().current().picSousa.height, 570);
}

TEST(HistoryBrowser, RequestedCardIsUsedOnceAndAnAbsentOneGivesTheFirst) {
    World w;
    w.add("a.tvk", "A", 1);
    w.add("b.tvk", "B", 1);
    w.start.gShowCardKey = "A";
    HistoryBrowser& b = w.open();
    EXPECT_EQ(w.selectedKey(), "A");
    EXPECT_EQ(w.start.gShowCardKey, "");

    World absent;
    absent.add("a.tvk", "A", 1);
    absent.add("b.tvk", "B", 1);
    absent.start.gShowCardKey = "Z";
    absent.open();
    EXPECT_EQ(absent.selectedKey(), "B");
    EXPECT_EQ(absent.start.gShowCardKey, "");
    (void)b;
}

TEST(HistoryBrowser, EmptyFolderGivesNoCardTheRowNothingAndTheCross) {
    World w;
    HistoryBrowser& b = w.open();
    EXPECT_EQ(b.cards().Count(), 0u);
    EXPECT_EQ(b.list().placeholder(), FileList::Placeholder::noCard);
    EXPECT_FALSE(b.page().loaded);
    EXPECT_EQ(b.drawing(5000, 5000, std::pair{1000.0, 1000.0}).kind, PageDrawing::Kind::cross);
    EXPECT_EQ(w.folder.prompts.beeps, 0);
}

TEST(HistoryBrowser, RefreshKeepsTheCardAndTheHistoryWhileTheyExist) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    w.add("b1.tvk", "B", 1);
    HistoryBrowser& b = w.open();
    ASSERT_EQ(w.selectedKey(), "B");
    b.cardReleased(2, MouseButton::left);
    ASSERT_EQ(w.selectedKey(), "A");
    b.setListSelection({1}, 1);
    EXPECT_EQ(w.currentFile(), "a1.tvk");
    w.add("b2.tvk", "B", 1);  // B moves to the end, A to the second place
    b.RefreshKeepingSelection();
    EXPECT_EQ(w.selectedKey(), "A");
    EXPECT_EQ(w.currentFile(), "a1.tvk");

    w.folder.files.removeFile("D:\\H\\a1.tvk");
    b.RefreshKeepingSelection();
    EXPECT_EQ(w.selectedKey(), "A");
    EXPECT_EQ(w.currentFile(), "<none>");
    EXPECT_TRUE(b.selectedRows().empty());
}

TEST(HistoryBrowser, AHandedOverLineShowsTheFolderAnewAndSelectsItsCardInEachGrouping) {
    const struct {
        const char* grouping;
        const char* line;
        const char* selected;  // after the line
    } cases[] = {
        {"2", "ParentHwnd=7\tShowId=A_V\tShowCategory=", "A"},
        {"2", "showid=A_V", "A"},                             // keys in any letter case
        {"2", "ShowId=Z_V", "B"},                             // no such card
        {"2", "ShowCategory=X", "B"},                         // not this grouping's item
        {"3", "ShowId=A_V", "A_V"},
        {"1", "ShowId=A_V", "ALL"},
        {"4", "ShowId=B_V\tShowCategory=X", "CATEGORY_X"},  // the category, never the id
        {"4", "ShowCategory=", "CATEGORY_Y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.grouping) + " " + c.line);
        World w;
        w.store.write("View", "CardsCategoryType", c.grouping);
        w.add("a1.tvk", "A", 1, "X");
        w.add("b1.tvk", "B", 1, "Y");
        HistoryBrowser& b = w.open();
        w.add("a2.tvk", "A", 1, "X");  // written while the viewer ran
        b.CallCommand(c.line);
        EXPECT_EQ(w.selectedKey(), c.selected);
        std::size_t listed = 0;
        for (std::size_t card = 1; card <= b.cards().Count(); ++card) listed += b.cards().Item(card)->files().size();
        EXPECT_EQ(listed, 3u) << "the folder is read anew";
    }
}

TEST(HistoryBrowser, AHandedOverLineForTheSelectedCardKeepsTheHistoryAndTheFolder) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("b1.tvk", "B", 1);
    w.add("b2.tvk", "B", 1);
    HistoryBrowser& b = w.open();
    b.setListSelection({1}, 1);
    ASSERT_EQ(w.currentFile(), "b1.tvk");
    w.folder.files.addDirectory("D:\\Other");
    b.CallCommand("SaveFolder=D:\\Other\tShowId=B_V");
    EXPECT_EQ(w.selectedKey(), "B");
    EXPECT_EQ(w.currentFile(), "b1.tvk");
    EXPECT_EQ(w.start.gSaveFolder, "D:\\H");
    EXPECT_EQ(b.cards().Count(), 2u);
}

TEST(HistoryBrowser, GroupingButtonsReloadAndStyleButtonsRelayout) {
    World w;
    w.add("a.tvk", "A", 1, "X");
    w.add("b.tvk", "B", 1, "Y");
    HistoryBrowser& b = w.open();
    EXPECT_FALSE(b.buttonVisible(ToolbarButton::ID2));
    EXPECT_FALSE(b.buttonVisible(ToolbarButton::ID3));
    EXPECT_TRUE(b.buttonPressed(ToolbarButton::ID2));  // hidden, yet pressed
    EXPECT_FALSE(b.buttonPressed(ToolbarButton::ID1));
    b.cardReleased(2, MouseButton::left);
    b.toolbarClick(ToolbarButton::ID4);
    EXPECT_EQ(w.view->CardsCategoryType, Grouping::category);
    EXPECT_TRUE(b.buttonPressed(ToolbarButton::ID4));
    EXPECT_EQ(w.selectedKey(), "CATEGORY_Y");  // the old key is gone: the first card
    b.toolbarClick(ToolbarButton::ID1);
    EXPECT_EQ(w.selectedKey(), "ALL");
    EXPECT_EQ(b.list().rows().size(), 2u);

    b.toolbarClick(ToolbarButton::STYLE2);
    EXPECT_EQ(w.view->ViewStyle, kTwoColumns);
    EXPECT_TRUE(b.layout().current().splitterVisible[5]);
    EXPECT_TRUE(b.buttonPressed(ToolbarButton::STYLE2));
    EXPECT_FALSE(b.buttonPressed(ToolbarButton::STYLE1));
}

TEST(HistoryBrowser, PageKeysTurnPagesWithinTheHistory) {
    World w;
    w.add("a.tvk", "A", 3);
    HistoryBrowser& b = w.open();
    b.previousPage();
    EXPECT_EQ(b.currentPage(), 1);
    b.nextPage();
    b.nextPage();
    EXPECT_EQ(b.page().number.label, "3 / 3 ページ");
    b.nextPage();
    EXPECT_EQ(b.currentPage(), 3);
    b.previousPage();
    EXPECT_EQ(b.page().number.label, "2 / 3 ページ");
    b.itemClick(0);
    EXPECT_EQ(b.currentPage(), 1);
}

TEST(HistoryBrowser, SeveralSelectedRowsShowNoPage) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    b.setListSelection({0, 1}, 0);
    b.LoadHistoryPage();
    EXPECT_FALSE(b.page().loaded);
    EXPECT_EQ(w.folder.prompts.beeps, 0);
    w.folder.files.removeFile("D:\\H\\a2.tvk");
    b.itemClick(0);  // gone since the list was built
    EXPECT_EQ(w.folder.prompts.beeps, 1);
}

TEST(HistoryBrowser, WithoutASingleSelectedRowThePageNumberKeepsItsCaptionGreyed) {
    World empty;
    const PageNumber first = empty.open().page().number;
    EXPECT_EQ(first.label, "1 / 1 ページ");
    EXPECT_FALSE(first.labelEnabled);

    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 3);
    HistoryBrowser& b = w.open();
    b.nextPage();
    for (const std::set<std::size_t>& rows : {std::set<std::size_t>{}, std::set<std::size_t>{0, 1}}) {
        b.setListSelection(rows, 0);
        b.LoadHistoryPage();
        const PageNumber n = b.page().number;
        EXPECT_EQ(n.label, "2 / 3 ページ") << rows.size() << " rows";
        EXPECT_FALSE(n.labelEnabled || n.previousEnabled || n.nextEnabled) << rows.size() << " rows";
    }
}

TEST(HistoryBrowser, SortingKeepsTheSelectionOnTheSameHistories) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    w.add("a3.tvk", "A", 1);
    HistoryBrowser& b = w.open();  // newest first: a3, a2, a1
    b.setListSelection({1, 2}, 2);
    const std::size_t date = b.list().columns().size() - 2;
    b.columnClick(date);  // ascending: a1, a2, a3
    ASSERT_EQ(b.list().rows()[0].key, "D:\\H\\a1.tvk");
    EXPECT_EQ(b.selectedRows(), (std::set<std::size_t>{0, 1}));
    EXPECT_EQ(w.currentFile(), "a1.tvk");

    b.setListSelection({}, std::nullopt);
    b.columnClick(date);
    EXPECT_TRUE(b.selectedRows().empty());
    EXPECT_EQ(b.currentRow(), std::nullopt);
}

TEST(HistoryBrowser, TheListIsBuiltAndSortedInTheOrderItIsGiven) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    w.add("a3.tvk", "A", 1);
    w.order = [](std::string_view a, std::string_view b) { return compareIgnoringCase(b, a); };
    HistoryBrowser& b = w.open();
    const auto files = [&] {
        std::string out;
        for (const FileListRow& row : b.list().rows()) out += row.key.substr(5, 2);
        return out;
    };
    EXPECT_EQ(files(), "a1a2a3") << "the dates descending, in the order turned round";
    b.columnClick(b.list().columns().size() - 2);
    EXPECT_EQ(files(), "a3a2a1");
}

// A window shows a new list's own columns: it hears of each list built, and
// of none when the list is only sorted, selected in, turned through or
// stood in for by the searching row.
TEST(HistoryBrowser, SignalsEachListBuiltAndNoneForTheSameListShownOtherwise) {
    const struct {
        const char* command;
        void (*run)(HistoryBrowser&);
        int built;
    } commands[] = {
        {"a card chosen", [](HistoryBrowser& b) { b.cardReleased(2, MouseButton::left); }, 1},
        {"the folder anew", [](HistoryBrowser& b) { b.RefreshKeepingSelection(); }, 1},
        {"a grouping", [](HistoryBrowser& b) { b.toolbarClick(ToolbarButton::ID4); }, 1},
        {"a column chosen", [](HistoryBrowser& b) { b.columnChosen(static_cast<int>(ColumnSwitch::FileName)); }, 1},
        {"a search", [](HistoryBrowser& b) { b.searchChanged(); }, 1},
        {"a sort", [](HistoryBrowser& b) { b.columnClick(0); }, 0},
        {"a row clicked", [](HistoryBrowser& b) { b.itemClick(1); }, 0},
        {"a selection", [](HistoryBrowser& b) { b.setListSelection({0, 1}, 0); }, 0},
        {"all selected", [](HistoryBrowser& b) { b.selectAll(); }, 0},
        {"the next page", [](HistoryBrowser& b) { b.nextPage(); }, 0},
        {"a style", [](HistoryBrowser& b) { b.toolbarClick(ToolbarButton::STYLE2); }, 0},
        {"the searching row", [](HistoryBrowser& b) { b.showSearching(); }, 0},
    };
    for (const auto& c : commands) {
        World w;
        w.add("a1.tvk", "A", 2);
        w.add("a2.tvk", "A", 2);
        w.add("b1.tvk", "B", 1);
        HistoryBrowser& b = w.open();
        int built = 0;
        const Connection heard = b.listBuilt.connect([&] { ++built; });
        c.run(b);
        EXPECT_EQ(built, c.built) << c.command;
    }
}

TEST(HistoryBrowser, DrawingFitsThePageAndKeepsTheScaleWhenThereIsNoRoom) {
    World w;
    w.add("a.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    const PageDrawing drawn = b.drawing(10600, 5600, std::pair{20000.0, 10000.0});
    EXPECT_EQ(drawn.kind, PageDrawing::Kind::page);
    EXPECT_EQ(b.viewScale(), 0.5);
    EXPECT_EQ(b.drawing(600, 5000, std::pair{20000.0, 10000.0}).kind, PageDrawing::Kind::nothing);
    EXPECT_EQ(b.viewScale(), 0.5);
    EXPECT_EQ(b.drawing(10600, 5600, std::pair{0.0, 10000.0}).kind, PageDrawing::Kind::cross);
    EXPECT_EQ(b.drawing(10600, 5600, std::nullopt).kind, PageDrawing::Kind::cross);
}

std::vector<bool> grayed(const PopupMenu& menu) {
    std::vector<bool> out;
    for (const MenuItem& item : menu) out.push_back(item.grayed);
    return out;
}

TEST(HistoryMenus, FileMenuFollowsTheCurrentRowAndTheSelection) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    EXPECT_EQ(grayed(b.fileMenu()), (std::vector<bool>{false, false, false}));
    b.setListSelection({0, 1}, 0);
    EXPECT_EQ(grayed(b.fileMenu()), (std::vector<bool>{false, true, true})) << "several rows: delete only";
    b.setListSelection({}, std::nullopt);
    EXPECT_EQ(grayed(b.fileMenu()), (std::vector<bool>{true, true, true}));

    World empty;
    HistoryBrowser& none = empty.open();  // the row "なし"
    EXPECT_EQ(none.currentHistory(), std::nullopt);
    EXPECT_EQ(grayed(none.fileMenu()), (std::vector<bool>{true, true, true}));
    none.DeleteSelectedFiles();
    EXPECT_TRUE(empty.folder.prompts.messages.empty()) << "nothing to delete asks nothing";
}

TEST(HistoryMenus, ColumnChooserTicksTheSettingsAndAChoiceTogglesItsColumn) {
    World w;
    w.add("a.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    const PopupMenu menu = b.columnMenu();
    ASSERT_EQ(menu.size(), 22u);
    EXPECT_EQ(menu[0].text, "ユーザー設定の見出し(&A)");
    EXPECT_TRUE(menu[0].checked);
    EXPECT_EQ(menu[1].kind, MenuItem::Kind::separator);
    EXPECT_FALSE(menu[2].checked);
    EXPECT_EQ(menu[21].text, "日付(&U)");
    EXPECT_TRUE(menu[21].checked && menu[21].grayed);

    const std::size_t before = b.list().columns().size();
    b.columnChosen(static_cast<int>(ColumnSwitch::FileName));
    EXPECT_TRUE(w.view->column(ColumnSwitch::FileName));
    EXPECT_EQ(b.list().columns().size(), before + 1);
    EXPECT_TRUE(b.columnMenu()[19].checked);
    EXPECT_EQ(w.currentFile(), "a.tvk") << "the rebuilt list shows its first history";
    b.columnChosen(kColumnMenuDateId);
    b.columnChosen(0);
    EXPECT_EQ(b.list().columns().size(), before + 1);
}

TEST(HistoryDelete, SelectedRowsAreDeletedAfterYesAndWhatStaysIsNamed) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    w.add("a3.tvk", "A", 1);
    w.add("b.tvk", "B", 1);
    HistoryBrowser& b = w.open();
    b.cardReleased(2, MouseButton::left);  // sheet A: a3, a2, a1
    ASSERT_EQ(w.selectedKey(), "A");
    b.setListSelection({0, 1, 2}, 1);

    w.folder.prompts.answers = {mb::kIdNo};
    b.DeleteSelectedFiles();
    ASSERT_EQ(w.folder.prompts.messages.size(), 1u);
    EXPECT_EQ(w.folder.prompts.messages[0],
              (test::ShownMessage{"選択ファイルを削除しますか？\r\n（元に戻せません。）", test::kViewerTitle,
                                  mb::kYesNo | mb::kIconQuestion}));
    EXPECT_EQ(b.list().rows().size(), 3u) << "No changes nothing";

    w.folder.files.setFlags("D:\\H\\a2.tvk", {.readOnly = true});
    w.folder.prompts.answers = {mb::kIdYes};
    b.DeleteSelectedFiles();
    EXPECT_EQ(w.folder.files.kind("D:\\H\\a1.tvk"), PathKind::missing);
    EXPECT_EQ(w.folder.files.kind("D:\\H\\a3.tvk"), PathKind::missing);
    ASSERT_EQ(w.folder.prompts.messages.size(), 3u);
    EXPECT_EQ(w.folder.prompts.messages[2].text, "次のファイルは削除できませんでした：1件\r\nD:\\H\\a2.tvk");
    EXPECT_EQ(w.selectedKey(), "A");
    ASSERT_EQ(b.list().rows().size(), 1u) << "the one that stayed is listed";
    EXPECT_EQ(w.currentFile(), "a2.tvk");
    EXPECT_TRUE(b.page().loaded);
}

TEST(HistoryDelete, AHistoryRemovedElsewhereMeanwhileCountsAsDeleted) {
    World w;
    w.add("a1.tvk", "A", 1);
    w.add("a2.tvk", "A", 1);
    HistoryBrowser& b = w.open();
    b.setListSelection({0, 1}, 0);
    ASSERT_TRUE(w.folder.files.removeFile("D:\\H\\a1.tvk"));
    w.folder.prompts.answers = {mb::kIdYes};
    b.DeleteSelectedFiles();
    EXPECT_EQ(w.folder.files.kind("D:\\H\\a2.tvk"), PathKind::missing);
    EXPECT_EQ(w.folder.prompts.messages.size(), 1u) << "the question alone: nothing is named";
    EXPECT_EQ(b.cards().Count(), 0u);
}

TEST(HistoryDelete, CardDeleteAsksTwiceAndTheNextCardTakesItsPlace) {
    World w;
    w.add("c.tvk", "C", 1);
    w.add("b1.tvk", "B", 1);
    w.add("b2.tvk", "B", 1);
    w.add("a.tvk", "A", 1);
    HistoryBrowser& b = w.open();  // cards A, B, C
    b.cardReleased(2, MouseButton::right);
    ASSERT_EQ(w.selectedKey(), "B");

    for (const auto& answers : {std::deque<int>{mb::kIdCancel}, std::deque<int>{mb::kIdOk, mb::kIdNo}}) {
        w.folder.prompts.answers = answers;
        b.deleteCardHistories(2);
        EXPECT_EQ(b.cards().Count(), 3u);
    }
    EXPECT_EQ(w.folder.prompts.messages[0],
              (test::ShownMessage{"この履歴を全て削除しますか？", test::kViewerTitle,
                                  mb::kOkCancel | mb::kIconQuestion | mb::kDefaultButton2}));
    EXPECT_EQ(w.folder.prompts.messages[2],
              (test::ShownMessage{"削除した履歴は元に戻せません。\r\n続けてよろしいですか？", test::kViewerTitle,
                                  mb::kYesNo | mb::kIconExclamation | mb::kDefaultButton2}));

    w.folder.prompts.answers = {mb::kIdOk, mb::kIdYes};
    b.deleteCardHistories(2);
    EXPECT_EQ(b.cards().Count(), 2u);
    EXPECT_EQ(w.selectedKey(), "C") << "the card after it moved into its place";
    EXPECT_EQ(w.currentFile(), "c.tvk");

    w.folder.prompts.answers = {mb::kIdOk, mb::kIdYes};
    b.deleteCardHistories(2);  // the last card: the one before it
    EXPECT_EQ(w.selectedKey(), "A");
    w.folder.prompts.answers = {mb::kIdOk, mb::kIdYes};
    b.deleteCardHistories(1);
    EXPECT_EQ(b.cards().Count(), 0u);
    EXPECT_EQ(b.list().placeholder(), FileList::Placeholder::noCard);
    EXPECT_FALSE(b.page().loaded);
}

TEST(HistoryKeys, SelectAllShowsTheCurrentHistorysFirstPage) {
    World w;
    w.add("a1.tvk", "A", 2);
    w.add("a2.tvk", "A", 2);
    HistoryBrowser& b = w.open();
    b.nextPage();
    b.selectAll();
    EXPECT_EQ(b.selectedRows(), (std::set<std::size_t>{0, 1}));
    EXPECT_EQ(b.page().number.label, "1 / 2 ページ");
    EXPECT_FALSE(b.page().metafile.empty());
}

}  // namespace
}  // namespace kq::viewer

namespace kq::viewer {
namespace {

TEST(HistorySearch, TheSearchingRowStandsUntilTheListIsRebuiltUnderTheSearch) {
    World w;
    w.add("a1.tvk", "A", 2, "東");
    w.add("a2.tvk", "A", 3, "西");
    w.add("a3.tvk", "A", 1, "南");
    SearchBox box(tableUpperCase);
    HistoryBrowser& b = w.open([&] { return box.filter(w.folder.files, systemAnsiCodec()); });
    ASSERT_EQ(b.list().rows().size(), 3u);
    const auto columns = b.list().columns();

    box.buttonClick("東 OR 西");
    b.nextPage();
    b.showSearching();
    EXPECT_EQ(b.list().placeholder(), FileList::Placeholder::searching);
    ASSERT_EQ(b.list().rows().size(), 1u);
    EXPECT_EQ(b.list().rows()[0].cells, std::vector<std::string>{"検索中"});
    EXPECT_EQ(b.list().columns(), columns);
    EXPECT_EQ(b.currentHistory(), std::nullopt);

    b.searchChanged();
    EXPECT_EQ(b.list().rows().size(), 2u);
    EXPECT_EQ(w.currentFile(), "a2.tvk");
    EXPECT_EQ(b.currentPage(), 1);
    EXPECT_TRUE(b.page().loaded);

    box.buttonClick("");  // ends it
    box.buttonClick("北");
    b.searchChanged();
    EXPECT_EQ(b.list().placeholder(), FileList::Placeholder::noResults);
    EXPECT_FALSE(b.page().loaded);
}

// What the user sees of the browser, at the end of a command.
struct Seen {
    std::vector<std::string> cards;
    std::size_t selectedCard = 0;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    std::set<std::size_t> selectedRows;
    std::optional<std::size_t> currentRow;
    std::string pageLabel;
    bool pageLoaded = false;
    std::size_t messages = 0;
    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen seen(World& w) {
    const HistoryBrowser& b = *w.browser;
    Seen s;
    for (std::size_t p = 1; p <= b.cards().Count(); ++p) s.cards.push_back(b.cards().Item(p)->Key());
    s.selectedCard = b.cards().selectedPosition();
    for (const FileListColumn& c : b.list().columns()) s.columns.push_back(c.caption);
    for (const FileListRow& row : b.list().rows()) {
        s.rows.push_back(row.cells);
        s.rows.back().push_back(row.key);
    }
    s.selectedRows = b.selectedRows();
    s.currentRow = b.currentRow();
    s.pageLabel = b.page().number.label;
    s.pageLoaded = b.page().loaded;
    s.messages = w.folder.prompts.messages.size();
    return s;
}

// Every command shows the same whether its walks over the folder run on a
// thread of their own, the window going on meanwhile, or right away.
TEST(HistoryBrowserWork, EveryCommandEndsAsWhenItsWorkIsDoneAtOnce) {
    struct Run {
        World world;
        test::ThreadedWork thread;
        SearchBox box{tableUpperCase};
        void search(std::string_view text) {
            box.buttonClick(text);
            world.browser->showSearching();
            world.browser->searchChanged();
        }
    };
    Run here;
    Run threaded;
    threaded.world.work = &threaded.thread;
    for (Run* run : {&here, &threaded}) {
        World& w = run->world;
        w.add("a1.tvk", "A", 2, "東");
        w.add("b1.tvk", "B", 1, "西");
        w.add("a2.tvk", "A", 3, "西");
        w.add("c1.tvk", "C", 1, "");
        w.add("b2.tvk", "B", 2, "東");
        w.open([run] { return run->box.filter(run->world.folder.files, systemAnsiCodec()); });
    }
    EXPECT_TRUE(threaded.world.browser->working()) << "the first reload runs on its thread";
    threaded.thread.settle();
    EXPECT_EQ(seen(threaded.world), seen(here.world));

    const struct {
        const char* what;
        std::function<void(Run&)> command;
        std::deque<int> answers;
    } script[] = {
        {"a card clicked", [](Run& r) { r.world.browser->cardReleased(2, MouseButton::left); }, {}},
        {"grouping by category", [](Run& r) { r.world.browser->toolbarClick(ToolbarButton::ID4); }, {}},
        {"a search", [](Run& r) { r.search("東"); }, {}},
        {"grouping by sheet under the search", [](Run& r) { r.world.browser->toolbarClick(ToolbarButton::ID2); }, {}},
        {"the search ended", [](Run& r) { r.search("東"); }, {}},
        {"a column shown",
         [](Run& r) { r.world.browser->columnChosen(static_cast<int>(ColumnSwitch::FileName)); },
         {}},
        {"a column clicked twice",
         [](Run& r) {
             r.world.browser->columnClick(1);
             r.world.browser->columnClick(1);
         },
         {}},
        {"F5", [](Run& r) { r.world.browser->RefreshKeepingSelection(); }, {}},
        {"a handed-over line", [](Run& r) { r.world.browser->CallCommand("ShowId=C_V"); }, {}},
        // Given one after another: each waits for the work of the one before.
        {"a card's every row deleted",
         [](Run& r) {
             r.world.browser->cardReleased(1, MouseButton::left);
             r.world.browser->selectAll();
             r.world.browser->DeleteSelectedFiles();
         },
         {mb::kIdYes}},
        {"a card deleted", [](Run& r) { r.world.browser->deleteCardHistories(1); }, {mb::kIdOk, mb::kIdYes}},
    };
    for (const auto& step : script) {
        SCOPED_TRACE(step.what);
        for (Run* run : {&here, &threaded}) {
            run->world.folder.prompts.answers = step.answers;
            step.command(*run);
            run->thread.settle();
            EXPECT_FALSE(run->world.browser->busy());
        }
        EXPECT_EQ(seen(threaded.world), seen(here.world));
    }
    EXPECT_EQ(threaded.world.browser->cards().Count(), 1u) << "one card of three is left";
}

// While the folder is read anew, the cards, the list and the page stay what
// they were, whole, until the new ones are made.
TEST(HistoryBrowserWork, WhileWorkRunsTheOldStateStandsWhole) {
    World w;
    test::ThreadedWork thread;
    w.work = &thread;
    w.add("a1.tvk", "A", 1);
    w.add("b1.tvk", "B", 1);
    HistoryBrowser& b = w.open();
    thread.settle();
    b.cardReleased(2, MouseButton::left);
    thread.settle();
    const Seen before = seen(w);
    w.add("c1.tvk", "C", 1);
    b.RefreshKeepingSelection();
    ASSERT_TRUE(b.working());
    EXPECT_EQ(seen(w), before);
    thread.settle();
    EXPECT_EQ(b.cards().Count(), 3u);
    EXPECT_EQ(w.selectedKey(), "A") << "kept by the reload";
    EXPECT_EQ(w.currentFile(), "a1.tvk");
}

}  // namespace
}  // namespace kq::viewer
