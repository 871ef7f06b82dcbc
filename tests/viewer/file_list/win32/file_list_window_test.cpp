// The file list as the user sees and uses it: what the list view shows of the
// browser's list, and the clicks, keys and header clicks that reach it.

#include "viewer/file_list/win32/file_list_window.h"

#include <fstream>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/win32/window_driver.h"
#include "tests/support/win32_scratch.h"
#include "viewer/main_window/win32/history_window.h"
#include "viewer/file_list/win32/list_text_order.h"

namespace kq::viewer::win32 {
namespace {

using kq::win32::narrow;

// What the list signalled of the browser.
struct Changes {
    std::vector<BrowserChange> seen;
};

// Which menus the list asked for.
struct Menus {
    int fileMenus = 0;
    int columnMenus = 0;
};

// A history folder D:\H whose histories all lie on one card (one sheet), the
// newest written last; a file list window showing it on a frame.
struct ListWorld {
    ListWorld() { folder.files.addDirectory("D:\\H"); }

    void add(const std::string& name, int pages, std::vector<UserHeadingRecord> headings = {}, int errors = 0) {
        HistoryRecords r;
        r.header.strSheetId = "A";
        r.header.strVersionId = "V";
        r.header.datPrintDate = 45366 + 0.01 * written;
        r.headings = std::move(headings);
        for (int i = 0; i < pages; ++i) r.pageTexts.push_back({"t"});
        for (int i = 0; i < errors; ++i) r.errorLines.push_back({"e"});
        const std::vector<std::vector<std::uint8_t>> images(static_cast<std::size_t>(pages), {1, 2});
        addBytes(name, test::historyBytes(r, images));
    }
    void addBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        folder.files.addFile("D:\\H\\" + name, bytes);
        folder.files.setLastWrite("D:\\H\\" + name, {2024, 4, 1, 9, written % 60, written / 60 % 60});
        ++written;
    }

    // Opens the browser and the window; `search` lets only some histories through.
    FileListWindow& open(SearchFilter search = {}) {
        view.emplace(store);
        view->setColumn(ColumnSwitch::FileName, true);
        browser.emplace(BrowserServices{folder.files, systemAnsiCodec(), folder.prompts, store,
                                        folder.services(test::kViewerTitle), widths,
                                        [search = std::move(search)] { return search; }},
                        *view, start);
        browser->layout().pass(12915, 7335, view->ViewStyle);
        browser->load();
        window.emplace(*browser, pictures.imlList);
        heard.push_back(window->changed.connect([this](BrowserChange what) { changes.seen.push_back(what); }));
        heard.push_back(window->fileMenuAsked.connect([this] { ++menus.fileMenus; }));
        heard.push_back(window->columnMenuAsked.connect([this] { ++menus.columnMenus; }));
        EXPECT_TRUE(window->create(frame.get(), 7));
        window->place({0, 0, 760, 300});
        window->update();
        test::waitUntil([] { return true; });
        return *window;
    }

    HWND list() const { return window->list(); }
    HWND header() const { return ListView_GetHeader(window->list()); }
    std::string file(std::size_t row) const {
        const std::string& key = browser->list().rows()[row].key;
        return key.substr(key.rfind('\\') + 1);
    }
    std::string currentFile() const {
        return browser->currentRow() ? file(*browser->currentRow()) : std::string("<none>");
    }
    std::set<int> selectedInList() const {
        std::set<int> rows;
        for (int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(list(), row, LVNI_SELECTED)) {
            rows.insert(row);
        }
        return rows;
    }
    // A point in a row's first cell; clicks in turn land at points far enough
    // apart not to make a double click.
    POINT pointIn(int row) {
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageW(list(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return {r.left + (r.right - r.left) * (1 + clicks++ % 2) / 3, (r.top + r.bottom) / 2};
    }
    void clickHeader(int column) {
        RECT r{};
        Header_GetItemRect(header(), column, &r);
        test::clickAt(header(), {r.left + (r.right - r.left) * (1 + clicks++ % 2) / 3, (r.top + r.bottom) / 2});
    }

    test::HistoryFolderWorld folder;
    MemorySettingsStore store;
    StartValues start{0, false, "D:\\H", ""};
    kq::win32::Font font = kq::win32::createFormFont();
    FontWidths widths{font.get(), kq::win32::screenTwips().perPixelX()};
    ViewerPictures pictures = loadViewerPictures();
    kq::win32::OwnedWindow frame = test::plainWindow(L"files", {40, 40, 820, 400});
    Changes changes;
    Menus menus;
    std::optional<c_Setting_View> view;
    std::optional<HistoryBrowser> browser;
    std::optional<FileListWindow> window;
    std::vector<Connection> heard;
    int written = 0;
    int clicks = 0;
};

struct HeaderItem {
    std::string caption;
    bool picture = false;
    int image = -1;
};

HeaderItem headerItem(HWND header, int column) {
    wchar_t text[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 256;
    Header_GetItem(header, column, &item);
    return {narrow(text), (item.fmt & HDF_IMAGE) != 0, item.iImage};
}

int rowImage(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list, &item);
    return item.iImage;
}

// The darkest pixel of a row's first cell, as the list paints it: black text
// or grey.
int darkestIn(HWND list, int row) {
    const test::Picture shown = test::printClient(list);
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    int darkest = 255;
    for (int y = std::max(0, static_cast<int>(r.top)); y < std::min(shown.height, static_cast<int>(r.bottom)); ++y) {
        for (int x = std::max(0, static_cast<int>(r.left)); x < std::min(shown.width, static_cast<int>(r.right)); ++x) {
            const std::uint32_t p = shown.at(x, y);
            darkest = std::min(darkest, static_cast<int>(std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF})));
        }
    }
    return darkest;
}

// The list's order of texts is the system's for the user's locale: pairs that
// byte by byte would come the other way round.
TEST(ListTextOrder, IsTheSystemsOrderOfTheUsersLocaleLetterCaseAside) {
    const struct {
        const char* before;
        const char* after;
    } pairs[] = {
        {"_b", "a"},   // marks before letters
        {"Ａ", "b"},   // a full-width letter with its half-width one
        {"ｱ", "イ"},   // half-width kana by their sounds
        {"a", "B"},
        {"", "a"},
    };
    for (const auto& p : pairs) {
        EXPECT_LT(systemTextOrder(p.before, p.after), 0) << p.before << " " << p.after;
        EXPECT_GT(systemTextOrder(p.after, p.before), 0) << p.after << " " << p.before;
    }
    EXPECT_EQ(systemTextOrder("ＡＢＣ.tvk", "ａｂｃ.TVK"), 0);
}

TEST(FileListWindow, ShowsTheBrowsersRowsColumnsWidthsAndMarks) {
    ListWorld w;
    w.add("a1.tvk", 1, {{"品名", "", "りんご", 0}}, 2);
    w.add("a2.tvk", 1, {{"担当", "", "山田", 0}, {"品名", "", "とても長い品名の値がここに入ります", 0}});
    w.add("a3.tvk", 1);
    FileListWindow& window = w.open();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window.list(), GWL_STYLE));
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_FALSE(style & LVS_SINGLESEL);

    // Heading columns in the order their titles first come, newest history first.
    EXPECT_EQ(test::rowsOf(window.list()),
              (std::vector<std::vector<std::string>>{
                  {"---", "---", "a3.tvk", "2024/03/15(金) 00:28:48", ""},
                  {"山田", "とても長い品名の値がここに入ります", "a2.tvk", "2024/03/15(金) 00:14:24", ""},
                  {"---", "りんご", "a1.tvk", "2024/03/15(金) 00:00:00", ""},
              }));
    const std::vector<FileListColumn>& columns = w.browser->list().columns();
    ASSERT_EQ(Header_GetItemCount(w.header()), static_cast<int>(columns.size()));
    const kq::Twips twips = kq::win32::screenTwips();
    const int user = w.pictures.imlList.index("USER");
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const FileListColumn& column = columns[static_cast<std::size_t>(c)];
        const HeaderItem shown = headerItem(w.header(), c);
        EXPECT_EQ(shown.caption, column.caption) << c;
        // The list's widths in pixels, the first column's marks within them.
        EXPECT_EQ(ListView_GetColumnWidth(window.list(), c), twips.x(column.width)) << c;
        EXPECT_EQ(shown.picture, column.userPicture()) << c;
        if (column.userPicture()) {
            EXPECT_EQ(shown.image, user) << c;
        }
    }
    // The long heading value widened its column beyond the starting width.
    EXPECT_GT(ListView_GetColumnWidth(window.list(), 1), twips.x(300) * 4);

    EXPECT_LT(rowImage(window.list(), 0), 0);
    EXPECT_LT(rowImage(window.list(), 1), 0);
    EXPECT_EQ(rowImage(window.list(), 2), w.pictures.imlList.index("ERROR"));

    // The rebuild selected the newest and showed it.
    EXPECT_EQ(w.selectedInList(), (std::set<int>{0}));
    EXPECT_EQ(ListView_GetNextItem(window.list(), -1, LVNI_FOCUSED), 0);
    EXPECT_TRUE(test::screenshot(w.frame.get(), "file_list.png"));
}

TEST(FileListWindow, EmptyStatesShowTheirOneRow) {
    {
        ListWorld noCard;
        FileListWindow& window = noCard.open();
        EXPECT_EQ(test::rowsOf(window.list()), (std::vector<std::vector<std::string>>{{"なし"}}));
        EXPECT_EQ(headerItem(noCard.header(), 0).caption, "");
        EXPECT_EQ(ListView_GetColumnWidth(window.list(), 0),
                  kq::win32::screenTwips().x(noCard.widths.textWidth("なし") + 300));
        EXPECT_LT(darkestIn(window.list(), 0), 80);  // black text
    }
    {
        ListWorld noResults;
        noResults.add("a1.tvk", 1);
        noResults.add("a2.tvk", 1);
        FileListWindow& window = noResults.open([](const std::string&) { return false; });
        EXPECT_EQ(test::rowsOf(window.list()), (std::vector<std::vector<std::string>>{{"検索結果なし"}}));
        EXPECT_EQ(ListView_GetColumnWidth(window.list(), 0), kq::win32::screenTwips().x(3000));
        EXPECT_TRUE(noResults.selectedInList().empty());
        const int darkest = darkestIn(window.list(), 0);
        EXPECT_GT(darkest, 90);  // grey, not black
        EXPECT_LT(darkest, 170);
        EXPECT_TRUE(test::screenshot(noResults.frame.get(), "file_list_no_results.png"));
        // A click on the placeholder finds no history: the beep, no page.
        test::clickAt(window.list(), noResults.pointIn(0));
        EXPECT_TRUE(test::waitUntil([&] { return noResults.folder.prompts.beeps == 1; }));
        EXPECT_FALSE(noResults.browser->page().loaded);
    }
}

TEST(FileListWindow, AFirstColumnAtTheLimitIsTenThousandTwipsWideMarksIncluded) {
    ListWorld w;
    w.add("a1.tvk", 1, {{"品名", "", std::string(400, 'x'), 0}}, 1);
    FileListWindow& window = w.open();
    EXPECT_EQ(ListView_GetColumnWidth(window.list(), 0), kq::win32::screenTwips().x(10000));
}

TEST(FileListWindow, ClicksAndKeysSelectAndShowTheirRow) {
    ListWorld w;
    w.add("a1.tvk", 1);
    w.add("a2.tvk", 2);
    w.add("a3.tvk", 3);
    FileListWindow& window = w.open();
    ASSERT_EQ(w.currentFile(), "a3.tvk");
    ASSERT_EQ(w.browser->page().number.label, "1 / 3 ページ");

    test::clickAt(window.list(), w.pointIn(2));
    ASSERT_TRUE(test::waitUntil([&] { return w.browser->page().number.label == "1 / 1 ページ"; }));
    EXPECT_EQ(w.currentFile(), "a1.tvk");
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{2}));
    EXPECT_EQ(w.changes.seen, (std::vector<BrowserChange>{BrowserChange::list, BrowserChange::page}));

    // A click on the row already shown shows it again; the selection stays.
    w.changes.seen.clear();
    test::clickAt(window.list(), w.pointIn(2));
    ASSERT_TRUE(test::waitUntil([&] { return !w.changes.seen.empty(); }));
    EXPECT_EQ(w.changes.seen, (std::vector<BrowserChange>{BrowserChange::page}));

    test::pressKeys(window.list(), {{VK_UP}});
    ASSERT_TRUE(test::waitUntil([&] { return w.browser->page().number.label == "1 / 2 ページ"; }));
    EXPECT_EQ(w.currentFile(), "a2.tvk");
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{1}));

    test::pressKeys(window.list(), {{.vk = VK_UP, .shift = true}});
    ASSERT_TRUE(test::waitUntil([&] { return w.browser->selectedRows().size() == 2; }));
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{0, 1}));
    EXPECT_EQ(w.currentFile(), "a3.tvk");

    // Ctrl with an arrow moves the focus alone: the page stays.
    w.changes.seen.clear();
    test::pressKeys(window.list(), {{.vk = VK_DOWN, .ctrl = true}});
    ASSERT_TRUE(test::waitUntil([&] { return w.currentFile() == "a2.tvk"; }));
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{0, 1}));
    EXPECT_EQ(w.changes.seen, (std::vector<BrowserChange>{BrowserChange::list}));
}

TEST(FileListWindow, HeaderClicksSortKeepingTheSelectionAndTypingFindsARow) {
    ListWorld w;
    w.add("b.tvk", 1);
    w.add("c.tvk", 1);
    w.add("a.tvk", 1);
    FileListWindow& window = w.open();  // newest first: a, c, b
    const auto names = [&] {
        std::vector<std::string> out;
        for (const auto& row : test::rowsOf(window.list())) out.push_back(row[0]);
        return out;
    };
    ASSERT_EQ(names(), (std::vector<std::string>{"a.tvk", "c.tvk", "b.tvk"}));
    test::clickAt(window.list(), w.pointIn(1));
    ASSERT_TRUE(test::waitUntil([&] { return w.currentFile() == "c.tvk"; }));

    const struct {
        int column;
        std::vector<std::string> rows;
    } clicks[] = {
        {1, {"b.tvk", "c.tvk", "a.tvk"}},  // the date column: ascending
        {1, {"a.tvk", "c.tvk", "b.tvk"}},  // again: descending
        {0, {"c.tvk", "b.tvk", "a.tvk"}},  // another column: descending
        {0, {"a.tvk", "b.tvk", "c.tvk"}},
    };
    for (const auto& click : clicks) {
        w.clickHeader(click.column);
        ASSERT_TRUE(test::waitUntil([&] { return names() == click.rows; })) << click.column;
        const auto c = static_cast<int>(std::find(click.rows.begin(), click.rows.end(), "c.tvk") - click.rows.begin());
        EXPECT_EQ(w.selectedInList(), (std::set<int>{c}));
        EXPECT_EQ(ListView_GetNextItem(window.list(), -1, LVNI_FOCUSED), c);
        EXPECT_EQ(w.currentFile(), "c.tvk");
    }

    // Typing finds the row by its first cell and shows it, as the arrow keys do.
    w.changes.seen.clear();
    test::typeText(window.list(), "B");
    ASSERT_TRUE(test::waitUntil([&] { return w.currentFile() == "b.tvk"; }));
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{1}));
    ASSERT_TRUE(test::waitUntil([&] { return w.changes.seen.size() == 2; }));
    EXPECT_EQ(w.changes.seen, (std::vector<BrowserChange>{BrowserChange::list, BrowserChange::page}));
}

TEST(FileListWindow, FiftyThousandRowsShowAndSelectAtOnce) {
    ListWorld w;
    HistoryRecords r;
    r.header.strSheetId = "A";
    r.header.datPrintDate = 45366;
    r.pageTexts.push_back({"t"});
    const std::vector<std::uint8_t> bytes = test::historyBytes(r, {{1, 2}});
    constexpr int kRows = 50000;
    for (int i = 0; i < kRows; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 1, 'h');  // not "h" + ...: a false -Wrestrict of i686 GCC 12
        w.addBytes(name.append(".tvk"), bytes);
    }
    const auto started = std::chrono::steady_clock::now();
    FileListWindow& window = w.open();
    ASSERT_EQ(ListView_GetItemCount(window.list()), kRows);

    test::pressKeys(window.list(), {{VK_END}});
    ASSERT_TRUE(test::waitUntil([&] { return w.browser->currentRow() == std::size_t{kRows - 1}; }));
    EXPECT_EQ(w.browser->selectedRows(), (std::set<std::size_t>{kRows - 1}));
    test::pressKeys(window.list(), {{.vk = VK_HOME, .shift = true}});
    ASSERT_TRUE(test::waitUntil([&] { return w.browser->selectedRows().size() == std::size_t{kRows}; }));
    EXPECT_EQ(w.currentFile(), w.file(0));
    std::cout << "[ note ] 50,000 rows listed and selected in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()
              << " ms\n";
}


// Histories written into a real folder, seen through the main window.
void writeHistory(const test::ScratchFolder& folder, const std::string& name, double printDate) {
    HistoryRecords r;
    r.header.strSheetId = "A";
    r.header.datPrintDate = printDate;
    r.pageTexts.push_back({"t"});
    const std::vector<std::uint8_t> bytes = test::historyBytes(r, {{1, 2}});
    std::ofstream(folder.path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The main window, its work on its own thread, over two histories written
// in this order, with the file name column.
struct MainWindowOver {
    MainWindowOver(const wchar_t* scratch, const char* older, const char* newer) : folder{scratch} {
        writeHistory(folder, older, 45366);
        writeHistory(folder, newer, 45367);
        store.write("View", "FileName", "1");
        run.start.gSaveFolder = folder.path();
    }
    test::ScratchFolder folder;
    MemorySettingsStore store;
    ViewerRun run{store};
    HistoryWindow window{run};
};

TEST(FileListWindow, TheMainWindowListsTheCardsHistoriesAndRefreshesThemWithF5) {
    MainWindowOver over(L"kq_file_list_main", "old.tvk", "new.tvk");
    HistoryWindow& window = over.window;
    ASSERT_TRUE(window.open());
    const HWND list = window.fileList();
    ASSERT_TRUE(list);
    ASSERT_TRUE(test::waitUntil([&] { return ListView_GetItemCount(list) == 2; }));
    EXPECT_EQ(test::rowsOf(list)[0][0], "new.tvk");
    EXPECT_TRUE(test::waitUntil([&] { return GetFocus() == list; }));
    EXPECT_TRUE(test::screenshot(window.hwnd(), "file_list_in_main_window.png"));

    // A column the user widened keeps its width through clicks on rows; the
    // refresh builds the list anew, with its own widths.
    const auto modelWidth = [&] {
        return kq::win32::screenTwips().x(static_cast<int>(std::lround(window.browser().list().columns()[0].width)));
    };
    const int built = ListView_GetColumnWidth(list, 0);
    const int builtModelWidth = modelWidth();
    ListView_SetColumnWidth(list, 0, built + 50);
    RECT row{};
    row.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    test::clickAt(list, {(row.left + row.right) / 2, (row.top + row.bottom) / 2});
    ASSERT_TRUE(test::waitUntil([&] { return window.browser().currentRow() == std::size_t{1}; }));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), built + 50);

    writeHistory(over.folder, "newest.tvk", 45368);
    test::pressKeys(list, {{VK_F5}});
    ASSERT_TRUE(test::waitUntil([&] { return ListView_GetItemCount(list) == 3; }));
    EXPECT_EQ(test::rowsOf(list)[0][0], "newest.tvk");
    EXPECT_EQ(ListView_GetColumnWidth(list, 0) - modelWidth(), built - builtModelWidth);
    // The history that was shown stays selected across the refresh.
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
    window.end(0);
}

TEST(FileListWindow, TheMainWindowSortsInTheSystemsOrder) {
    MainWindowOver over(L"kq_file_list_order", "a.tvk", "_b.tvk");
    HistoryWindow& window = over.window;
    ASSERT_TRUE(window.open());
    const auto names = [&] {
        std::vector<std::string> out;
        for (const FileListRow& row : window.browser().list().rows()) out.push_back(row.cells[0]);
        return out;
    };
    ASSERT_TRUE(test::waitUntil([&] { return names().size() == 2 && !window.browser().busy(); }));
    window.browser().columnClick(0);  // the file names, descending, sorted on the window's work thread
    ASSERT_TRUE(test::waitUntil([&] { return !window.browser().busy(); }));
    EXPECT_EQ(names(), (std::vector<std::string>{"a.tvk", "_b.tvk"}));
    window.end(0);
}

}  // namespace
}  // namespace kq::viewer::win32
