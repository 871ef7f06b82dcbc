// The running viewer's receiver of later starts' lines, in the test's process.

#include "viewer/start/win32/instance_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_codec.h"
#include "common/win32/wide.h"
#include "tests/support/win32/window_driver.h"
#include "viewer/start/instance_payload.h"

namespace kq::viewer::win32 {
namespace {

HWND findReceiver() { return FindWindowExW(nullptr, nullptr, kInstanceWindowClass, instanceCaption().c_str()); }

TEST(InstanceWindow, IsAHiddenWindowOfTheTitleThatLaterStartsFindUntilItCloses) {
    InstanceWindow receiver;
    ASSERT_TRUE(receiver.open());
    EXPECT_EQ(findReceiver(), receiver.hwnd());
    EXPECT_EQ(test::textOf(receiver.hwnd()), "Brelmont for Excel(ビュー)_Instance");
    EXPECT_FALSE(IsWindowVisible(receiver.hwnd()));
    EXPECT_TRUE(findInstanceWindows().empty()) << "a start never hands over to itself";
    receiver.close();
    EXPECT_EQ(findReceiver(), nullptr);
}

TEST(InstanceWindow, TakesTheLineOfASoundBlockAndAnswersWhetherItWasTaken) {
    InstanceWindow receiver;
    ASSERT_TRUE(receiver.open());
    const std::string line = "SaveFolder=D:\\履歴\tShowCategory=営業";
    const std::string payload = encodeInstancePayload(line, systemAnsiCodec());
    EXPECT_FALSE(SendCopyData(receiver.hwnd(), payload)) << "nobody takes lines yet";

    std::vector<std::string> taken;
    bool accept = true;
    receiver.setTake([&](std::string l) {
        taken.push_back(std::move(l));
        return accept;
    });
    EXPECT_TRUE(SendCopyData(receiver.hwnd(), payload));
    accept = false;
    EXPECT_FALSE(SendCopyData(receiver.hwnd(), payload)) << "refused: the sender opens its own viewer";
    EXPECT_EQ(taken, (std::vector<std::string>{line, line}));

    taken.clear();
    EXPECT_EQ(SendMessageW(receiver.hwnd(), WM_COPYDATA, 0, 0), FALSE) << "no block at all";
    EXPECT_FALSE(SendCopyData(receiver.hwnd(), std::string(kInstancePayloadLimit + 1, 'x')));
    EXPECT_TRUE(taken.empty());
}

}  // namespace
}  // namespace kq::viewer::win32
