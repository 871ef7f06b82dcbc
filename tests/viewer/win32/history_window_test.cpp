// The main window in this process: its toolbar, its splitters driven by the
// mouse's messages, the keys it answers wherever the focus is, and the view
// settings it writes when it goes.

#include "viewer/main/win32/history_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "common/settings_store.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/win32/window_driver.h"
#include "tests/support/win32_scratch.h"

namespace kq::viewer::win32 {
namespace {

// The system's files, with the folder listings counted: a reload lists the
// (empty) history folder once.
class CountedFiles final : public FileSystem {
public:
    int listings = 0;

    PathKind kind(const std::string& path) override { return system_.kind(path); }
    bool createDirectory(const std::string& path) override { return system_.createDirectory(path); }
    bool removeFile(const std::string& path) override { return system_.removeFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override { return system_.moveFile(from, to); }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override { return system_.openForReading(path); }
    std::optional<FolderListing> listFolder(const std::string& folder) override {
        ++listings;
        return system_.listFolder(folder);
    }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override { return system_.createNew(path); }
    std::optional<std::string> tempFolder() override { return system_.tempFolder(); }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        return system_.createUniqueFile(folder, prefix);
    }

private:
    kq::win32::Win32FileSystem system_;
};

struct Opened {
    MemorySettingsStore store;
    ViewerRun run{store};
    test::ScratchFolder folder{L"kq_history_window"};
    CountedFiles files;
    int helps = 0;
    std::unique_ptr<HistoryWindow> window;

    explicit Opened(std::initializer_list<std::pair<const char*, const char*>> view = {}) {
        for (const auto& [name, value] : view) store.write("View", name, value);
        run.start.gSaveFolder = folder.path();
        window = std::make_unique<HistoryWindow>(run, HistoryWindowServices{.files = &files, .help = [this] { ++helps; }});
        EXPECT_TRUE(window->open());
    }
    RECT part(int index) const {
        RECT r{};
        GetWindowRect(window->splitterPart(index), &r);
        MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void mouse(int index, UINT msg, WPARAM keys, int x, int y) {
        SendMessageW(window->splitterPart(index), msg, keys, MAKELPARAM(x, y));
    }
};

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

}  // namespace
}  // namespace kq::viewer::win32
