// The main window's context menus and deletes, by real clicks and keys: the
// column chooser on the list's header, a history's menu with its greyed
// items, the Delete key and Ctrl+A on the list, and a card's delete-all,
// each message box answered as a user would.

#include "viewer/main_window/win32/history_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "common/win32/wide.h"
#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32/window_driver.h"
#include "tests/viewer/main_window/win32/opened_history_window.h"

namespace kq::viewer::win32 {
namespace {

using fixture::Opened;
using test::Key;
using test::Step;

// Histories of sheet A (`countA`, the newest) and of sheet B (`countB`),
// each of `pages` pages.
std::function<void(const std::string&)> sheets(int countA, int countB = 0, int pages = 0) {
    return [=](const std::string& folder) {
        int age = 0;
        const auto write = [&](const char* sheet, int count) {
            for (int i = 0; i < count; ++i) {
                HistoryRecords r;
                r.header.strSheetId = sheet;
                r.header.strVersionId = "V";
                r.header.strBookName = "月次.xls";
                r.header.datPrintDate = 45000 - age;
                ++age;
                r.pageTexts.resize(static_cast<std::size_t>(pages), {"t"});
                const std::vector<std::vector<std::uint8_t>> images(static_cast<std::size_t>(pages), {1, 2, 3});
                const std::string name = std::string(sheet) + std::to_string(age) + ".tvk";
                ASSERT_TRUE(test::writeHistoryFile(folder + "\\" + name, r, age, images));
            }
        };
        write("A", countA);
        write("B", countB);
    };
}

bool exists(const std::string& path) { return GetFileAttributesW(kq::win32::wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

int columns(HWND list) { return Header_GetItemCount(ListView_GetHeader(list)); }

RECT rowPixels(HWND list, int row) {
    RECT r{};
    ListView_GetItemRect(list, row, &r, LVIR_LABEL);
    return r;
}

// Runs `open` (a click that opens a menu or a question) while the steps act;
// the run ends once `done` holds.
bool driven(const std::function<void()>& open, std::vector<Step> steps, const std::function<bool()>& done,
            std::vector<std::string>* boxes = nullptr) {
    const test::ModalRun run = test::runModal(
        [&] {
            open();
            test::waitUntil(done);
        },
        std::move(steps));
    if (boxes) *boxes = run.boxes;
    return run.finished && done();
}

// The items of the popup menu on the screen, greyed ones marked "(grey)".
std::vector<std::string> menuShown() {
    const HWND shown = test::openMenu();
    const HMENU menu = shown ? reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0)) : nullptr;
    std::vector<std::string> items = menu ? test::itemsOf(menu) : std::vector<std::string>{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != "-" && GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) items[i] += " (grey)";
    }
    return items;
}

Step onMenu(std::function<void()> act) {
    return test::onClass(L"#32768", [act = std::move(act)](HWND) { act(); });
}

TEST(HistoryActions, TheColumnChooserAddsAColumnThatIsKeptAndEscChangesNothing) {
    Opened opened({}, sheets(1));
    const HWND list = opened.window->fileList();
    const HWND header = ListView_GetHeader(list);
    const int before = columns(list);
    std::vector<std::string> shown;
    EXPECT_TRUE(driven([&] { test::clickAt(header, {20, 8}, test::MouseButton::right); },
                       {onMenu([&] {
                           shown = menuShown();
                           test::screenshot(test::openMenu(), "column_menu.png");
                           EXPECT_TRUE(test::pickFromMenu({"ファイル名"}));
                       })},
                       [&] { return columns(list) == before + 1; }));
    ASSERT_EQ(shown.size(), 22u);
    EXPECT_EQ(shown[1], "-");
    EXPECT_EQ(shown[21], "日付(&U) (grey)");

    bool escaped = false;
    EXPECT_TRUE(driven([&] { test::clickAt(header, {20, 8}, test::MouseButton::right); },
                       {onMenu([&] {
                           test::pressKeys(nullptr, {Key{VK_ESCAPE}});
                           escaped = true;
                       })},
                       [&] { return escaped && !test::openMenu(); }));
    EXPECT_EQ(columns(list), before + 1);

    opened.window->end(0);  // closing writes the view settings
    EXPECT_EQ(opened.store.read("View", "FileName"), std::optional<std::string>("1"));
}

// The greying for one row is the browser's (natively tested); here the
// list's own right click with every row selected by Ctrl+A.
TEST(HistoryActions, AHistorysMenuGreysWhatSeveralSelectedRowsDoNotAllow) {
    Opened opened({}, sheets(2));
    const HWND list = opened.window->fileList();
    test::pressKeys(list, {Key{'A', false, true}});
    test::waitUntil([&] { return opened.window->browser().selectedRows().size() == 2; });
    ASSERT_EQ(opened.window->browser().selectedRows().size(), 2u);
    EXPECT_TRUE(opened.window->browser().page().loaded) << "ctrl+A still shows the current history";
    const RECT first = rowPixels(list, 0);
    std::vector<std::string> several;
    bool done = false;
    EXPECT_TRUE(driven([&] { test::clickAt(list, {first.left + 5, first.top + 3}, test::MouseButton::right); },
                       {onMenu([&] {
                           several = menuShown();
                           test::screenshot(test::openMenu(), "file_menu_several.png");
                           test::pressKeys(nullptr, {Key{VK_ESCAPE}});
                           done = true;
                       })},
                       [&] { return done && !test::openMenu(); }));
    EXPECT_EQ(several, (std::vector<std::string>{"削除(&D)", "プロパティ(&R) (grey)", "エクスポート(&E) (grey)"}));
    EXPECT_EQ(opened.window->browser().selectedRows().size(), 2u);
}

TEST(HistoryActions, LeftAndRightOnTheListTurnPagesAndLeaveTheSelection) {
    Opened opened({}, sheets(2, 0, 3));
    const HWND list = opened.window->fileList();
    const HWND number = opened.window->pagePanel().pageNumber();
    const auto turned = [&](UINT key, const char* label) {
        test::pressKeys(list, {Key{key}});
        return test::waitUntil([&] { return test::textOf(number) == label; });
    };
    EXPECT_TRUE(turned(VK_RIGHT, "2 / 3 ページ"));
    EXPECT_TRUE(turned(VK_RIGHT, "3 / 3 ページ"));
    EXPECT_TRUE(turned(VK_RIGHT, "3 / 3 ページ")) << "the last page stays";
    EXPECT_TRUE(turned(VK_LEFT, "2 / 3 ページ"));
    EXPECT_EQ(opened.window->browser().selectedRows(), (std::set<std::size_t>{0}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
}

TEST(HistoryActions, TheDeleteKeyDeletesEverySelectedHistoryAndNamesTheOneThatStays) {
    Opened opened({}, sheets(3));
    const std::string kept = opened.folder.path("A2.tvk");
    SetFileAttributesW(kq::win32::wide(kept).c_str(), FILE_ATTRIBUTE_READONLY);
    const HWND list = opened.window->fileList();
    test::pressKeys(list, {Key{'A', false, true}});
    std::vector<std::string> boxes;
    std::vector<std::vector<std::string>> rowsUnderTheMessage;
    EXPECT_TRUE(driven([&] { test::pressKeys(list, {Key{VK_DELETE}}); },
                       {test::onClass(L"#32770",
                                      [](HWND box) {
                                          test::screenshot(box, "delete_selected.png");
                                          test::answer(box, IDYES);
                                      }),
                        test::onClass(L"#32770",
                                      [&](HWND box) {
                                          boxes.push_back(test::messageOf(box));
                                          rowsUnderTheMessage = test::rowsOf(list);
                                          test::answer(box, IDOK);
                                      })},
                       [&] { return !exists(opened.folder.path("A1.tvk")) && ListView_GetItemCount(list) == 1; }));
    EXPECT_FALSE(exists(opened.folder.path("A3.tvk")));
    EXPECT_TRUE(exists(kept));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "次のファイルは削除できませんでした：1件\r\n" + kept);
    // The list under the message is the folder shown anew: the one history that stayed.
    ASSERT_EQ(rowsUnderTheMessage.size(), 1u);
    EXPECT_EQ(rowsUnderTheMessage[0], test::rowsOf(list)[0]);
    EXPECT_FALSE(rowsUnderTheMessage[0].front().empty());
    SetFileAttributesW(kq::win32::wide(kept).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(HistoryActions, ACardsDeleteAllAsksTwiceThenTheCardGoes) {
    Opened opened({}, sheets(1, 2));
    CardBarWindow& bar = opened.window->cardBar();
    ASSERT_EQ(opened.window->browser().cards().Count(), 2u);
    const RECT second = bar.cardPixels(2);
    const POINT at{(second.left + second.right) / 2, (second.top + second.bottom) / 2};
    EXPECT_TRUE(driven([&] { test::clickAt(bar.hwnd(), at, test::MouseButton::right); },
                       {onMenu([] { EXPECT_TRUE(test::pickFromMenu({"削除"})); }),
                        test::onClass(L"#32770", [](HWND box) { test::answer(box, IDOK); }),
                        test::onClass(L"#32770",
                                      [](HWND box) {
                                          test::screenshot(box, "delete_card_again.png");
                                          test::answer(box, IDYES);
                                      })},
                       [&] { return opened.window->browser().cards().Count() == 1; }));
    EXPECT_FALSE(exists(opened.folder.path("B2.tvk")));
    EXPECT_FALSE(exists(opened.folder.path("B3.tvk")));
    EXPECT_TRUE(exists(opened.folder.path("A1.tvk")));
    EXPECT_EQ(opened.window->browser().cards().SelectedItem()->Key(), "A");
    EXPECT_EQ(ListView_GetItemCount(opened.window->fileList()), 1);
}

// The card menu's properties are the card's: its histories are read, then listed.
TEST(HistoryActions, ACardsPropertiesListItsHistories) {
    Opened opened({}, sheets(1, 2));
    CardBarWindow& bar = opened.window->cardBar();
    const RECT second = bar.cardPixels(2);
    std::vector<std::vector<std::string>> rows;
    EXPECT_TRUE(driven([&] { test::clickAt(bar.hwnd(), {(second.left + second.right) / 2, second.top + 5}, test::MouseButton::right); },
                       {onMenu([] { EXPECT_TRUE(test::pickFromMenu({"プロパティ"})); }),
                        test::onClass(L"KqForm",
                                      [&](HWND form) {
                                          const HWND list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
                                          rows = test::rowsOf(list);
                                          test::pressKeys(list, {Key{VK_ESCAPE}});
                                      })},
                       [&] { return !rows.empty() && test::findWindows({.windowClass = L"KqForm"}).empty(); }));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], "　　ファイル数");
    EXPECT_EQ(rows[1][1], "2");
}

// A window of another program, in front until it goes.
class OtherProgramsWindow {
public:
    OtherProgramsWindow() {
        thread_ = std::thread([this] {
            threadId_ = GetCurrentThreadId();
            window_ = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr);
            made_ = true;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            DestroyWindow(window_);
        });
        test::waitUntil([&] { return made_.load(); });
        SetForegroundWindow(window_);
    }
    ~OtherProgramsWindow() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND hwnd() const { return window_; }

private:
    std::atomic<bool> made_ = false;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    std::thread thread_;
};

// Choosing a card, and coming back to the window from another program, give
// the list the focus: the arrow keys then move in the list.
TEST(HistoryActions, ACardChosenOrTheWindowActivatedGivesTheListTheFocus) {
    Opened opened({}, sheets(2, 3));
    const HWND list = opened.window->fileList();
    CardBarWindow& bar = opened.window->cardBar();
    SetFocus(opened.window->filterBox());
    const RECT second = bar.cardPixels(2);
    test::clickAt(bar.hwnd(), {(second.left + second.right) / 2, (second.top + second.bottom) / 2});
    EXPECT_TRUE(test::waitUntil([&] { return GetFocus() == list; })) << "a card chosen";
    test::pressKeys(list, {Key{VK_DOWN}});
    EXPECT_TRUE(test::waitUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) == 1; }));

    SetFocus(opened.window->filterBox());
    {
        const OtherProgramsWindow other;
        EXPECT_TRUE(test::waitUntil([&] { return GetForegroundWindow() == other.hwnd(); }));
        SetForegroundWindow(opened.window->hwnd());
        EXPECT_TRUE(test::waitUntil([&] { return GetForegroundWindow() == opened.window->hwnd(); }));
    }
    EXPECT_TRUE(test::waitUntil([&] { return GetFocus() == list; })) << "the window activated";
}

}  // namespace
}  // namespace kq::viewer::win32
