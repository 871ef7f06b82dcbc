// Bringing a viewer window to the front: over another thread's foreground
// window, with the foreground lock time-out lifted at the moment of the
// switch and the same afterwards as before.

#include "viewer/start/win32/foreground.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "tests/support/win32/window_driver.h"

namespace kq::viewer::win32 {
namespace {

DWORD foregroundLockTimeout() {
    DWORD value = 0;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &value, 0));
    return value;
}

void setForegroundLockTimeout(DWORD value) {
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(value)), 0);
}

// Puts the system's time-out back whatever a test did to it.
class ForegroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = foregroundLockTimeout();
        setForegroundLockTimeout(kDistinct);
    }
    void TearDown() override { setForegroundLockTimeout(saved_); }

    static constexpr DWORD kDistinct = 123457;
    DWORD saved_ = 0;
};

// The time-out as it was when the window was first activated.
constexpr DWORD kNotActivated = 0xFFFFFFFF;
std::atomic<DWORD> timeoutAtActivation{kNotActivated};

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        DWORD value = 0;
        SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &value, 0);
        if (timeoutAtActivation == kNotActivated) timeoutAtActivation = value;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

kq::win32::OwnedWindow recordingWindow() {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = recordingProcedure;
        windowClass.hInstance = kq::win32::thisModule();
        windowClass.lpszClassName = L"KqForegroundTestWindow";
        return RegisterClassW(&windowClass);
    }();
    EXPECT_NE(atom, 0);
    kq::win32::OwnedWindow window(CreateWindowExW(0, L"KqForegroundTestWindow", L"viewer", WS_OVERLAPPEDWINDOW, 40, 40,
                                                  300, 200, nullptr, nullptr, kq::win32::thisModule(), nullptr));
    // Shown behind whatever has the foreground, as the viewer's window opens behind the spreadsheet.
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    return window;
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// A window of another thread that holds the foreground until told to go.
class OtherThreadWindow {
public:
    OtherThreadWindow()
        : thread_([this] {
              kq::win32::OwnedWindow window(CreateWindowExW(0, L"STATIC", L"spreadsheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                            80, 80, 300, 200, nullptr, nullptr, nullptr, nullptr));
              SetForegroundWindow(window.get());
              threadId_ = GetCurrentThreadId();
              window_ = window.get();
              while (!stop_) {
                  pump();
                  Sleep(5);
              }
          }) {
        while (!window_) Sleep(5);
    }
    ~OtherThreadWindow() {
        stop_ = true;
        thread_.join();
    }
    HWND window() const { return window_; }
    DWORD threadId() const { return threadId_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<HWND> window_{nullptr};
    std::atomic<DWORD> threadId_{0};
    std::thread thread_;
};

TEST_F(ForegroundTest, TakesTheForegroundFromAnotherThreadsWindowAndLetsItsInputGo) {
    const OtherThreadWindow spreadsheet;
    for (int i = 0; i < 100 && GetForegroundWindow() != spreadsheet.window(); ++i) Sleep(10);
    ASSERT_EQ(GetForegroundWindow(), spreadsheet.window());
    const kq::win32::OwnedWindow viewer = recordingWindow();
    pump();
    ASSERT_EQ(GetForegroundWindow(), spreadsheet.window());

    timeoutAtActivation = kNotActivated;
    SetForegroundWindowEx(viewer.get());

    EXPECT_TRUE(test::waitUntil([&] { return GetForegroundWindow() == viewer.get(); }));
    // The lock was lifted for the switch and is back now.
    EXPECT_EQ(timeoutAtActivation.load(), 0u);
    EXPECT_EQ(foregroundLockTimeout(), kDistinct);
    // The two threads' input is separate again: there is nothing left to detach.
    EXPECT_FALSE(AttachThreadInput(GetCurrentThreadId(), spreadsheet.threadId(), FALSE));
}

TEST_F(ForegroundTest, SwitchesAmongTheThreadsOwnWindowsToo) {
    const kq::win32::OwnedWindow first = recordingWindow();
    const kq::win32::OwnedWindow second = recordingWindow();
    SetForegroundWindow(second.get());
    pump();
    ASSERT_EQ(GetForegroundWindow(), second.get());

    SetForegroundWindowEx(first.get());
    pump();

    EXPECT_EQ(GetForegroundWindow(), first.get());
    EXPECT_EQ(foregroundLockTimeout(), kDistinct);
}

}  // namespace
}  // namespace kq::viewer::win32
