#include "addin/recording/win32/finished_win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/support/win32/window_driver.h"

namespace kq::addin::recording::win32 {
namespace {

constexpr std::uint32_t kBar = 0xA6CAF0;

// Stands in for the host's main window.
kq::win32::OwnedWindow hostWindow() { return kq::test::plainWindow(L"host", {150, 120, 950, 720}); }

std::vector<HWND> notices() { return kq::test::findWindows({.windowClass = kFinishedClass, .visibleOnly = false}); }

// Runs the thread's messages until the notice is gone, counting its timer
// ticks; `onTick` sees each tick before the notice handles it.
int pumpUntilClosed(HWND notice, const std::function<void(int)>& onTick = {}) {
    int ticks = 0;
    const DWORD start = GetTickCount();
    MSG msg;
    while (IsWindow(notice) && GetTickCount() - start < 60000) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == notice) {
            ++ticks;
            if (onTick) onTick(ticks);
        }
        DispatchMessageW(&msg);
    }
    EXPECT_FALSE(IsWindow(notice)) << "the notice did not close";
    return ticks;
}

// The bar's right edge on a row clear of the caption.
int barWidth(HWND notice) {
    const kq::test::Picture p = kq::test::printClient(notice);
    int width = 0;
    while (width < p.width && p.at(width, 1) == kBar) ++width;
    return width;
}

TEST(FinishedWindow, SitsAtTheHostsLowerLeftAndClosesAfterItsTicks) {
    const kq::win32::OwnedWindow host = hostWindow();
    ShowFinished(host.get(), 2);
    const std::vector<HWND> shown = notices();
    ASSERT_EQ(shown.size(), 1U);
    HWND notice = shown.front();

    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(GetWindow(notice, GW_OWNER), nullptr);
    const auto exStyle = GetWindowLongPtrW(notice, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);  // out of the task bar
    RECT r;
    GetWindowRect(notice, &r);
    EXPECT_EQ(r.left, 160);
    EXPECT_EQ(r.bottom, 710);

    RECT client;
    GetClientRect(notice, &client);
    EXPECT_EQ(barWidth(notice), client.right);
    int halfway = -1;
    const int ticks = pumpUntilClosed(notice, [&](int tick) {
        if (tick == 101) halfway = barWidth(notice);  // after 100 ticks of 200
    });
    EXPECT_EQ(ticks, 200);
    EXPECT_NEAR(halfway, client.right / 2, 1);
}

TEST(FinishedWindow, ActivationStartsTheCountAgain) {
    const kq::win32::OwnedWindow host = hostWindow();
    ShowFinished(host.get(), 1);
    HWND notice = notices().at(0);
    RECT client;
    GetClientRect(notice, &client);
    int restartedWidth = -1;
    const int ticks = pumpUntilClosed(notice, [&](int tick) {
        if (tick == 60) {
            SetActiveWindow(host.get());
            SetActiveWindow(notice);
            restartedWidth = barWidth(notice);
        }
    });
    EXPECT_EQ(restartedWidth, client.right);
    EXPECT_EQ(ticks, 59 + 100);  // the 60th tick is the first of the new count
}

TEST(FinishedWindow, WithoutHostWindowOpensAtTheWorkAreasCorner) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (HWND placeNear : {HWND{}, HWND(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7fff0)))}) {
        ShowFinished(placeNear, 0.5);
        HWND notice = notices().at(0);
        RECT r;
        GetWindowRect(notice, &r);
        EXPECT_EQ(r.left, work.left + 10);
        EXPECT_EQ(r.bottom, work.bottom - 10);
        EXPECT_EQ(pumpUntilClosed(notice), 50);
    }
}

TEST(FinishedWindow, EachCallShowsItsOwnNotice) {
    ShowFinished(nullptr, 0.2);
    ShowFinished(nullptr, 0.3);
    const std::vector<HWND> shown = notices();
    ASSERT_EQ(shown.size(), 2U);
    for (HWND notice : shown) pumpUntilClosed(notice);
    EXPECT_TRUE(notices().empty());
}

TEST(FinishedWindow, Screenshot) {
    const kq::win32::OwnedWindow host = hostWindow();
    ShowFinished(host.get(), 2);
    HWND notice = notices().at(0);
    pumpUntilClosed(notice, [&](int tick) {
        if (tick == 71) {
            UpdateWindow(notice);
            EXPECT_TRUE(kq::test::screenshot(notice, "finished.png"));
        }
    });
}

}  // namespace
}  // namespace kq::addin::recording::win32
