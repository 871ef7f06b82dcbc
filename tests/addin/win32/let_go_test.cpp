// The host lets the add-in go while one of its windows is open: every window
// keeps the library loaded while it stands, and the disconnection closes each
// one, a modal one as by Cancel, so that the code waiting on it returns.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "addin/core/win32/connect_object.h"
#include "addin/recording/win32/finished_win32.h"
#include "common/win32/com_object.h"
#include "common/win32/folder_picker_win32.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/msgbox_win32.h"
#include "common/win32/window.h"
#include "tests/support/win32/window_driver.h"

namespace kq::addin::win32 {
namespace {

using kq::win32::moduleLocks;

constexpr wchar_t kPlainClass[] = L"KqLetGoPlain";

class PlainWindow final : public kq::win32::Window {};

// What runs once this thread's loop, whichever runs now, next waits: a
// thread timer reaches the loop of a modal window, a dialog or a message box alike.
std::function<void()>& pending() {
    static std::function<void()> action;
    return action;
}

void CALLBACK runPending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> action = std::exchange(pending(), {});
    if (action) action();
}

void whenIdle(std::function<void()> action) {
    pending() = std::move(action);
    SetTimer(nullptr, 0, 50, runPending);
}

std::size_t windowsCaptioned(const std::string& caption) {
    return kq::test::findWindows({.caption = caption, .visibleOnly = false}).size();
}

class LetGo : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(kq::win32::Window::registerClass({.name = kPlainClass}));
        connect_ = kq::win32::makeObject<ConnectObject>();
    }
    void TearDown() override {
        connect_.reset();
        CoUninitialize();
    }

    // The host's disconnection of the add-in object.
    void disconnect() { connect_->OnDisconnection(kq::win32::ext_dm_UserClosed, nullptr); }

    HWND host() const { return host_.get(); }

    kq::win32::ComPtr<ConnectObject> connect_;
    kq::win32::OwnedWindow host_ = kq::test::plainWindow(L"host", {100, 100, 700, 500});
};

// A window that runs modally, and what its run gives when the add-in is let go during it.
struct ModalCase {
    const char* name;
    const char* caption;  // of the window while it stands
    // Opens it owned by the host; returns the code after the run sees.
    std::function<std::string(HWND host)> run;
    std::string cancelled;
};

void PrintTo(const ModalCase& c, std::ostream* out) { *out << c.name; }

class LetGoDuringModalRun : public LetGo, public ::testing::WithParamInterface<ModalCase> {};

TEST_P(LetGoDuringModalRun, TheWindowHoldsTheLibraryUntilItsRunEndsAsByCancel) {
    const ModalCase& c = GetParam();
    const long before = moduleLocks();
    const std::size_t listedBefore = kq::win32::openWindowCount();
    bool sawItOpen = false;
    whenIdle([&] {
        sawItOpen = windowsCaptioned(c.caption) == 1;
        EXPECT_EQ(moduleLocks(), before + 1) << "the open window holds the library";
        EXPECT_EQ(kq::win32::canUnloadModule(), S_FALSE);
        disconnect();
    });
    const std::string answer = c.run(host());

    EXPECT_TRUE(sawItOpen);
    EXPECT_EQ(answer, c.cancelled);
    EXPECT_EQ(windowsCaptioned(c.caption), 0U);
    EXPECT_EQ(moduleLocks(), before);
    EXPECT_EQ(kq::win32::openWindowCount(), listedBefore);
    EXPECT_TRUE(IsWindowEnabled(host())) << "the owner is given back";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, LetGoDuringModalRun,
    ::testing::Values(
        ModalCase{"WindowOfTheBase", "plain",
                  [](HWND host) {
                      PlainWindow window;
                      const INT_PTR result = window.runModal(
                          host, {.windowClass = kPlainClass, .text = L"plain", .style = WS_POPUP | WS_CAPTION,
                                 .width = 200, .height = 100});
                      return std::to_string(result);
                  },
                  std::to_string(IDCANCEL)},
        ModalCase{"OwnMessageBox", "own box",
                  [](HWND host) {
                      return std::to_string(kq::win32::MsgBoxEx(
                          host, {.Prompt = "asked", .Buttons = msgbox::kOkOnly | msgbox::kNotice,
                                 .Title = "own box", .ShowCheck = true, .CheckValue = true}));
                  },
                  // The close box's answer, the check box as it started.
                  std::to_string(msgbox::kOk | msgbox::kChecked)},
        ModalCase{"SystemMessageBox", "system box",
                  [](HWND host) {
                      return std::to_string(kq::win32::MessagePrompts(host).message("asked", "system box",
                                                                                    MB_YESNO | MB_ICONQUESTION));
                  },
                  std::to_string(IDCANCEL)},
        ModalCase{"FolderBrowser", "フォルダーの参照",
                  [](HWND host) {
                      const std::optional<std::string> chosen =
                          kq::win32::ShellFolderBrowser(host).BrowseForFolder("pick", "C:\\windows");
                      return chosen.value_or("none");
                  },
                  "none"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LetGo, AMessageBoxOnAModalWindowClosesFirstAndBothRunsReturn) {
    const long before = moduleLocks();
    std::vector<std::string> returned;
    PlainWindow window;
    whenIdle([&] {
        whenIdle([&] {
            EXPECT_EQ(moduleLocks(), before + 2);
            disconnect();
        });
        const int answer = kq::win32::MessagePrompts(window.hwnd()).message("asked", "box", MB_OK);
        returned.push_back("box " + std::to_string(answer));
    });
    const INT_PTR result = window.runModal(
        host(), {.windowClass = kPlainClass, .text = L"plain", .style = WS_POPUP | WS_CAPTION, .width = 200,
                 .height = 100});
    returned.push_back("window " + std::to_string(result));

    EXPECT_EQ(returned, (std::vector<std::string>{"box " + std::to_string(IDCANCEL),
                                                  "window " + std::to_string(IDCANCEL)}));
    EXPECT_EQ(moduleLocks(), before);
}

TEST_F(LetGo, TheSavedNoticeGoesMidCountdownAndItsTimerWithIt) {
    const long before = moduleLocks();
    recording::win32::ShowFinished(host(), 10);
    const std::vector<HWND> notices =
        kq::test::findWindows({.windowClass = recording::win32::kFinishedClass, .visibleOnly = false});
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_EQ(moduleLocks(), before + 1);
    // A few ticks of its countdown first.
    const DWORD start = GetTickCount();
    kq::test::waitUntil([&] { return GetTickCount() - start > 200; });

    disconnect();
    EXPECT_FALSE(IsWindow(notices.front()));
    EXPECT_EQ(moduleLocks(), before);
    // No tick of it is left to reach code that may be gone.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, notices.front(), WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(LetGo, TheHostsShutdownClosesThemToo) {
    recording::win32::ShowFinished(host(), 10);
    ASSERT_EQ(kq::test::findWindows({.windowClass = recording::win32::kFinishedClass, .visibleOnly = false}).size(),
              1U);
    connect_->OnBeginShutdown(nullptr);
    EXPECT_TRUE(
        kq::test::findWindows({.windowClass = recording::win32::kFinishedClass, .visibleOnly = false}).empty());
}

TEST_F(LetGo, AWindowMadeAndGoneWithoutADisconnectionLeavesNoLock) {
    const long before = moduleLocks();
    {
        PlainWindow window;
        ASSERT_TRUE(window.create({.windowClass = kPlainClass, .text = L"plain", .style = WS_POPUP}));
        EXPECT_EQ(moduleLocks(), before + 1);
        // A control of it holds one too, and is not closed on its own.
        PlainWindow control;
        ASSERT_TRUE(control.create({.windowClass = kPlainClass,
                                    .style = WS_CHILD | WS_VISIBLE,
                                    .x = 0,
                                    .y = 0,
                                    .width = 10,
                                    .height = 10,
                                    .owner = window.hwnd(),
                                    .id = 1}));
        EXPECT_EQ(moduleLocks(), before + 2);
        window.end(0);
        EXPECT_EQ(moduleLocks(), before);
    }
    {
        // The object goes first: its window goes with it.
        PlainWindow window;
        ASSERT_TRUE(window.create({.windowClass = kPlainClass, .text = L"plain", .style = WS_POPUP}));
    }
    EXPECT_EQ(moduleLocks(), before);
}

}  // namespace
}  // namespace kq::addin::win32
