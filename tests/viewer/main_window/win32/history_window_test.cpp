// The main window in this process: its toolbar, its splitters driven by the
// mouse's messages, the keys it answers wherever the focus is, and the view
// settings it writes when it goes.

#include "viewer/main_window/win32/history_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <functional>

#include "common/prompts.h"
#include "common/win32/message_prompts.h"
#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32/window_driver.h"
#include "tests/viewer/main_window/win32/opened_history_window.h"

namespace kq::viewer::win32 {
namespace {

using fixture::Opened;

bool buttonState(HWND toolbar, int command, UINT state) {
    return (SendMessageW(toolbar, TB_GETSTATE, command, 0) & state) != 0;
}

TEST(HistoryWindow, HiddenGroupingsStillShowPressedAndAClickSwitchesTheLayout) {
    Opened opened;  // a fresh user: one card per sheet, three columns
    const HWND toolbar = opened.window->mainToolbar();
    // Commands 1 to 6: ID1 to ID4, STYLE1, STYLE2.
    EXPECT_TRUE(buttonState(toolbar, 2, TBSTATE_HIDDEN));
    EXPECT_TRUE(buttonState(toolbar, 3, TBSTATE_HIDDEN));
    EXPECT_TRUE(buttonState(toolbar, 2, TBSTATE_CHECKED));
    EXPECT_FALSE(buttonState(toolbar, 1, TBSTATE_CHECKED));
    EXPECT_FALSE(buttonState(toolbar, 4, TBSTATE_CHECKED));
    EXPECT_TRUE(buttonState(toolbar, 5, TBSTATE_CHECKED));

    SendMessageW(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    EXPECT_TRUE(buttonState(toolbar, 6, TBSTATE_CHECKED));
    EXPECT_FALSE(buttonState(toolbar, 5, TBSTATE_CHECKED));
    EXPECT_FALSE(IsWindowVisible(opened.window->splitterPart(3)));
    EXPECT_TRUE(IsWindowVisible(opened.window->splitterPart(5)));
    test::screenshot(opened.window->hwnd(), "history_window_two_columns.png");

    SendMessageW(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    EXPECT_TRUE(buttonState(toolbar, 1, TBSTATE_CHECKED));
    EXPECT_FALSE(buttonState(toolbar, 2, TBSTATE_CHECKED));
    EXPECT_EQ(opened.run.viewSetting().CardsCategoryType, Grouping::all);
}

TEST(HistoryWindow, ABarDragMovesTheGripOnlyAndTheBarFollowsAtTheRelease) {
    Opened opened({{"Positon1", "3000"}});
    const RECT bar = opened.part(1);
    ASSERT_EQ(bar.left, 200);
    opened.mouse(1, WM_LBUTTONDOWN, MK_LBUTTON, 2, 50);
    opened.mouse(1, WM_MOUSEMOVE, MK_LBUTTON, 42, 50);
    EXPECT_EQ(opened.part(0).left, 240) << "the grip follows";
    EXPECT_EQ(opened.part(1).left, 200) << "the bar stays until the release";
    opened.mouse(1, WM_LBUTTONUP, 0, 42, 50);
    EXPECT_EQ(opened.part(1).left, 240);
}

TEST(HistoryWindow, DragsAreClampedAndOnlyTheLeftButtonOnABarDrags) {
    Opened opened({{"Positon1", "3000"}});
    struct Case {
        const char* what;
        int index;
        UINT down;
        WPARAM held;
        int toX;
        LONG gripLeft;
    };
    const Case cases[] = {
        {"far left stops 1000 twips from the edge", 1, WM_LBUTTONDOWN, MK_LBUTTON, -500, 67},
        {"the right button starts nothing", 1, WM_RBUTTONDOWN, MK_RBUTTON, 40, 200},
        {"a grip starts nothing", 0, WM_LBUTTONDOWN, MK_LBUTTON, 40, 200},
    };
    for (const Case& c : cases) {
        opened.mouse(c.index, c.down, c.held, 2, 50);
        opened.mouse(c.index, WM_MOUSEMOVE, c.held, c.toX, 50);
        EXPECT_EQ(opened.part(0).left, c.gripLeft) << c.what;
        opened.mouse(c.index, c.down + 1, 0, c.toX, 50);
        // Back where it started.
        opened.mouse(1, WM_LBUTTONDOWN, MK_LBUTTON, 0, 50);
        opened.mouse(1, WM_MOUSEMOVE, MK_LBUTTON, 200 - opened.part(1).left, 50);
        opened.mouse(1, WM_LBUTTONUP, 0, 0, 50);
    }
}

TEST(HistoryWindow, ADragWhoseHoldIsTakenEndsAsAtARelease) {
    Opened opened({{"Positon1", "3000"}});
    opened.mouse(1, WM_LBUTTONDOWN, MK_LBUTTON, 2, 50);
    opened.mouse(1, WM_MOUSEMOVE, MK_LBUTTON, 32, 50);
    ASSERT_EQ(GetCapture(), opened.window->splitterPart(1));
    ReleaseCapture();
    EXPECT_EQ(opened.part(1).left, 230) << "the bar lines up with the grip";
    opened.mouse(1, WM_MOUSEMOVE, MK_LBUTTON, 80, 50);
    EXPECT_EQ(opened.part(0).left, 230) << "no drag goes on";
}

// The main toolbar and the search button hold their buttons whole.
TEST(HistoryWindow, EachToolbarHoldsItsButtons) {
    Opened opened;
    for (const HWND toolbar : {opened.window->mainToolbar(), opened.window->filterButton()}) {
        RECT client{};
        GetClientRect(toolbar, &client);
        const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            RECT button{};
            SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button));
            if (button.right == button.left) continue;  // hidden
            EXPECT_LE(button.bottom, client.bottom) << "button " << i;
            EXPECT_LE(button.right, client.right) << "button " << i;
        }
    }
}

// F1 and F5 reach the window from its filter box, each once: a key typed
// after them shows they have been handled.
TEST(HistoryWindow, F1AndF5FromTheFilterBoxAreTheWindowsEachOnce) {
    Opened opened;
    const HWND box = opened.window->filterBox();
    const int listings = opened.files.listings;
    test::pressKeys(box, {{VK_F1}, {VK_F5}, {'A'}});
    ASSERT_TRUE(test::waitUntil([&] { return test::textOf(box) == "a"; }));
    EXPECT_EQ(opened.helps, 1);
    EXPECT_EQ(opened.files.listings - listings, 1) << "one reload";
}

TEST(HistoryWindow, ClosingWritesTheViewSettings) {
    Opened opened({{"Positon1", "3000"}, {"ViewStyle", "1"}});
    opened.mouse(1, WM_LBUTTONDOWN, MK_LBUTTON, 0, 50);
    opened.mouse(1, WM_MOUSEMOVE, MK_LBUTTON, 20, 50);
    opened.mouse(1, WM_LBUTTONUP, 0, 20, 50);
    SendMessageW(opened.window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(opened.window->hwnd(), nullptr);
    EXPECT_EQ(opened.store.read("View", "Positon1").value_or(""), "3300");
    EXPECT_EQ(opened.store.read("View", "ViewStyle").value_or(""), "1");
    EXPECT_EQ(opened.store.read("View", "CardsCategoryType").value_or(""), "2");
}

// Histories of sheets A and B, one minute apart, each of one page.
void twentyHistories(const std::string& folder) {
    for (int age = 1; age <= 20; ++age) {
        HistoryRecords r;
        r.header.strSheetId = age % 3 == 0 ? "B" : "A";
        r.header.datPrintDate = 45000 - age;
        r.pageTexts.push_back({"t"});
        ASSERT_TRUE(test::writeHistoryFile(folder + "\\h" + std::to_string(age) + ".tvk", r, age, {{1, 2, 3}}));
    }
}

// The window's work on its own thread: until what it found is taken in, the
// window holds back what the work replaces and shows the pointer of work in
// the background; F5 meanwhile reads the folder once more, afterwards; what
// it shows in the end is what the window that waits for its work shows. A
// close meanwhile stops the work and closes.
TEST(HistoryWindow, WhileItsWorkRunsItHoldsBackWhatItReplacesAndEndsAsAWindowThatWaits) {
    Opened waits({}, twentyHistories);
    Opened opened({}, twentyHistories, true);
    HistoryWindow& window = *opened.window;
    const HWND toolbar = window.mainToolbar();
    // Nothing the work found is taken in before the window's messages are.
    ASSERT_TRUE(window.browser().working());
    EXPECT_FALSE(IsWindowEnabled(window.fileList()));
    EXPECT_FALSE(IsWindowEnabled(window.cardBar().hwnd()));
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 4, 0)) << "a grouping";
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 6, 0)) << "a layout";
    SendMessageW(window.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_APPSTARTING));
    for (int twice = 0; twice < 2; ++twice) {
        PostMessageW(window.filterBox(), WM_KEYDOWN, VK_F5, 1);
        PostMessageW(window.filterBox(), WM_KEYUP, VK_F5, 0xC0000001);
    }

    ASSERT_TRUE(test::waitUntil([&] { return !window.browser().busy(); }));
    EXPECT_EQ(opened.files.listings, 2) << "the start's reading and one for F5";
    EXPECT_TRUE(IsWindowEnabled(window.fileList()));
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 4, 0));
    EXPECT_TRUE(test::waitUntil([&] { return GetFocus() == window.fileList(); }));
    EXPECT_EQ(test::rowsOf(window.fileList()), test::rowsOf(waits.window->fileList()));
    EXPECT_EQ(test::textOf(window.pagePanel().pageNumber()), test::textOf(waits.window->pagePanel().pageNumber()));

    window.browser().RefreshKeepingSelection();
    ASSERT_TRUE(window.browser().working());
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_NE(window.hwnd(), nullptr) << "closed once the work has stopped";
    EXPECT_TRUE(test::waitUntil([&] { return window.hwnd() == nullptr; }));
    EXPECT_EQ(opened.store.read("View", "CardsCategoryType").value_or(""), "2") << "the settings are written";
}

// A line of a later start and a close that come while a message over the
// window waits for its answer wait too; the answer lets them run.
TEST(HistoryWindow, ALineOrACloseThatComesUnderAMessageOfTheWindowWaitsForItsAnswer) {
    const struct {
        const char* name;
        std::function<void(HistoryWindow&)> comes;
        std::function<bool(const Opened&, int listings)> carriedOut;
    } cases[] = {
        {"a line", [](HistoryWindow& w) { EXPECT_TRUE(w.handOver("ShowId=\tShowCategory=")); },
         [](const Opened& o, int listings) { return o.files.listings > listings; }},
        {"a close", [](HistoryWindow& w) { SendMessageW(w.hwnd(), WM_CLOSE, 0, 0); },
         [](const Opened& o, int) { return o.window->hwnd() == nullptr; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Opened opened;
        HistoryWindow& window = *opened.window;
        const int listings = opened.files.listings;
        bool carriedOutUnderTheBox = true;
        const test::ModalRun run = test::runModal(
            [&] { kq::win32::MessagePrompts(window.hwnd()).message("m", "t", mb::kOkOnly); },
            {test::onClass(L"#32770", [&](HWND box) {
                c.comes(window);
                // The loop turns under the box, its idle turns included.
                test::waitUntil([] { return false; }, std::chrono::milliseconds(100));
                carriedOutUnderTheBox = c.carriedOut(opened, listings);
                test::answer(box, IDOK);
            })});
        EXPECT_TRUE(run.finished);
        EXPECT_FALSE(carriedOutUnderTheBox);
        EXPECT_TRUE(test::waitUntil([&] { return c.carriedOut(opened, listings); }));
    }
}

}  // namespace
}  // namespace kq::viewer::win32
