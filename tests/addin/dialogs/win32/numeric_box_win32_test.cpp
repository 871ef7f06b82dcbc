// The numeric box as a real control, driven by the messages the system sends
// it when the user types, pastes, spins and leaves it.

#include "addin/dialogs/win32/numeric_box_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "tests/support/win32/window_driver.h"

namespace kq::addin::dialogs::win32 {
namespace {

using kq::win32::narrow;
using kq::win32::wide;

using kq::test::textOf;

RECT rectOn(HWND parent, HWND control) { return kq::test::placeIn(control, parent); }

// The settings dialog's box (seconds, 1 to 10) on a window with a box after it.
class NumericBoxWindow : public ::testing::Test {
public:
    void SetUp() override {
        host = kq::test::plainWindow(L"form", {200, 200, 500, 320}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
        SetWindowLongPtrW(host.get(), GWL_EXSTYLE, GetWindowLongPtrW(host.get(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        font = kq::win32::createFormFont();
        ASSERT_TRUE(box.create({.parent = host.get(), .at = {10, 10, 67, 27}, .id = 7, .font = font.get(),
                                .HojoText = "秒"}));
        next = kq::win32::createChild(host.get(), {.windowClass = L"EDIT", .style = WS_VISIBLE | WS_TABSTOP | WS_BORDER,
                                                   .rect = {10, 40, 100, 60}, .id = 8});
        NumericBox& m = box.model();
        m.Min(1);
        m.Max(10);
        m.ChangeOrder(1);
        onChange = m.Change.connect([this] { ++changes; });
        box.setText("2");
        SetActiveWindow(host.get());
    }
    void type(const std::wstring& keys) {
        for (const wchar_t k : keys) SendMessageW(box.entry(), WM_CHAR, k, 1);
    }
    void key(UINT vk) { SendMessageW(box.entry(), WM_KEYDOWN, vk, 1); }
    std::string shown() const { return textOf(box.entry()); }

    kq::win32::OwnedWindow host;
    kq::win32::Font font;
    NumericBoxControl box{NumberCharacters{}};
    HWND next = nullptr;
    int changes = 0;
    Connection onChange;
};

TEST_F(NumericBoxWindow, TypedKeysFollowTheRules) {
    SetFocus(box.entry());
    SendMessageW(box.entry(), EM_SETSEL, 0, -1);
    type(L"7a.-5");
    EXPECT_EQ(shown(), "75");
    EXPECT_EQ(box.model().Text(), "75");
    EXPECT_EQ(changes, 2);
}

TEST_F(NumericBoxWindow, PasteKeepsWhatCouldBeTyped) {
    SetFocus(box.entry());
    SendMessageW(box.entry(), EM_SETSEL, 0, -1);
    SendMessageW(box.entry(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"１2a3秒"));
    EXPECT_EQ(shown(), "23");
    EXPECT_EQ(box.model().Text(), "23");
    EXPECT_EQ(changes, 2);
}

TEST_F(NumericBoxWindow, SpinKeysAndButtonsStepWithinTheLimits) {
    struct Case {
        const char* name;
        std::function<void(NumericBoxWindow&)> act;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"Up key", [](NumericBoxWindow& t) { t.key(VK_UP); }, "3"},
        {"Down key", [](NumericBoxWindow& t) { t.key(VK_DOWN); }, "1"},
        {"Down key at Min", [](NumericBoxWindow& t) { t.key(VK_DOWN); t.key(VK_DOWN); }, "1"},
        {"up button", [](NumericBoxWindow& t) { SendMessageW(t.box.upButton(), BM_CLICK, 0, 0); }, "3"},
        {"down button", [](NumericBoxWindow& t) { SendMessageW(t.box.downButton(), BM_CLICK, 0, 0); }, "1"},
        {"up to Max", [](NumericBoxWindow& t) { for (int i = 0; i < 12; ++i) t.key(VK_UP); }, "10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        box.setText("2");
        SetFocus(box.entry());
        c.act(*this);
        EXPECT_EQ(shown(), c.expected);
        EXPECT_EQ(GetFocus(), box.entry());
        DWORD start = 1, end = 0;
        SendMessageW(box.entry(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, std::string(c.expected).size());
    }
}

TEST_F(NumericBoxWindow, LeavingTheBoxClampsAndEnterMovesOn) {
    SetFocus(box.entry());
    SendMessageW(box.entry(), EM_SETSEL, 0, -1);
    type(L"75");
    changes = 0;
    key(VK_RETURN);
    EXPECT_EQ(GetFocus(), next);
    EXPECT_EQ(shown(), "10");
    EXPECT_EQ(changes, 1);
    // An empty box stays empty and gives the minimum.
    SetFocus(box.entry());
    SendMessageW(box.entry(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SetFocus(next);
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(box.model().NumText(), NumTextValue{1.0});
}

TEST_F(NumericBoxWindow, EntryCaptionAndButtonsStandAsDesigned) {
    RECT client;
    GetClientRect(GetDlgItem(host.get(), 7), &client);
    const HWND control = GetDlgItem(host.get(), 7);
    ASSERT_NE(control, nullptr);
    const RECT entry = rectOn(control, box.entry());
    const RECT up = rectOn(control, box.upButton());
    const RECT down = rectOn(control, box.downButton());
    HWND caption = nullptr;
    for (HWND c = GetWindow(control, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (textOf(c) == "秒") caption = c;
    }
    ASSERT_NE(caption, nullptr);
    const RECT unit = rectOn(control, caption);
    // The buttons one above the other at the right end, 255 twips (17 pixels) wide.
    EXPECT_EQ(up.right, client.right);
    EXPECT_EQ(up.right - up.left, 17);
    EXPECT_EQ(up.top, 0);
    EXPECT_EQ(down.top, up.bottom);
    EXPECT_LE(std::abs(down.bottom - client.bottom), 1);
    // The unit right after the number, its foot on the foot of the area.
    EXPECT_EQ(unit.left, entry.right);
    EXPECT_EQ(unit.right, up.left);
    EXPECT_LE(std::abs(unit.bottom - client.bottom), 1);
    EXPECT_EQ(entry.left, 0);
    EXPECT_GT(entry.right - entry.left, 10);

    EXPECT_TRUE(kq::test::screenshot(control, "numeric_box.png"));
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
