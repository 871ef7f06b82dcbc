// The add-in's windows tell a failed handler in the add-in's words: under its
// title, a host error with the host's own number.

#include "addin/core/win32/com_boundary.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/window.h"
#include "host/host.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32/window_driver.h"

namespace kq::addin::win32 {
namespace {

class FailingCommand final : public kq::win32::Window {
    bool OnCommand(int, UINT, HWND) override {
        throw host::HostError(1004, "アプリケーション定義またはオブジェクト定義のエラーです。");
    }
};

TEST(AddinWindows, AFailedHandlerTellsTheHostsErrorUnderTheAddinsTitle) {
    reportWindowFailures();
    ASSERT_TRUE(kq::win32::Window::registerClass({.name = L"KqAddinFailingWindow"}));
    FailingCommand window;
    ASSERT_TRUE(window.create(
        {.windowClass = L"KqAddinFailingWindow", .style = WS_POPUP | WS_VISIBLE, .width = 60, .height = 40}));
    std::string title, text;
    const test::ModalRun run = test::runModal([&] { SendMessageW(window.hwnd(), WM_COMMAND, 5, 0); },
                                              {test::onClass(L"#32770", [&](HWND box) {
                                                  title = test::textOf(box);
                                                  text = test::messageOf(box);
                                                  test::answer(box, IDOK);
                                              })});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(title, "Brelmont for Excel");
    EXPECT_EQ(text, "err(1004) アプリケーション定義またはオブジェクト定義のエラーです。");
}

}  // namespace
}  // namespace kq::addin::win32
