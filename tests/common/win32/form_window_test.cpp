// The base of the add-in's forms: how a form stands on the screen, and the
// keyboard of a dialog without the system's dialog class.

#include "common/win32/form_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "tests/support/win32_windows.h"

namespace kq::win32 {
namespace {

constexpr UINT_PTR kTimer = 1;

// Two boxes, OK and Cancel; the test acts from a timer once the form runs.
class ProbeForm final : public Form {
public:
    std::function<void(ProbeForm&)> act;
    std::vector<int> commands;
    HWND first = nullptr;
    HWND second = nullptr;

    using Form::focus;

private:
    bool OnLoad() override {
        first = addControl(hwnd(), L"EDIT", "一", WS_VISIBLE | WS_TABSTOP | WS_BORDER, {120, 120, 1500, 300}, 11);
        second = addControl(hwnd(), L"EDIT", "二", WS_VISIBLE | WS_TABSTOP | WS_BORDER, {120, 540, 1500, 300}, 12);
        addControl(hwnd(), L"BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {120, 960, 900, 360}, IDOK);
        addControl(hwnd(), L"BUTTON", "キャンセル", WS_VISIBLE | WS_TABSTOP, {1140, 960, 900, 360}, IDCANCEL);
        SetTimer(hwnd(), kTimer, 30, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR) override {
        KillTimer(hwnd(), kTimer);
        if (act) act(*this);
        return true;
    }
    bool OnCommand(int id, UINT code, HWND) override {
        if (code != BN_CLICKED) return false;
        commands.push_back(id);
        if (id == IDOK || id == IDCANCEL) end(id);
        return true;
    }
};

// Keys reach the form through its own message loop, as typed keys do.
void post(HWND to, UINT vk) {
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
}

TEST(FormWindow, KeysAndTheCloseBoxEndTheFormAsOkOrCancel) {
    struct Case {
        const char* name;
        std::function<void(ProbeForm&)> act;
        INT_PTR result;
    };
    const std::vector<Case> cases = {
        {"Enter in a box presses OK", [](ProbeForm& f) { post(f.first, VK_RETURN); }, IDOK},
        {"Esc presses Cancel", [](ProbeForm& f) { post(f.second, VK_ESCAPE); }, IDCANCEL},
        {"the close box is Cancel", [](ProbeForm& f) { PostMessageW(f.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Tab to Cancel, then Enter presses it",
         [](ProbeForm& f) {
             for (int i = 0; i < 3; ++i) post(f.first, VK_TAB);
             post(f.first, VK_RETURN);
         },
         IDCANCEL},
        {"shift+Tab back to OK, then Enter",
         [](ProbeForm& f) {
             BYTE keys[256];
             GetKeyboardState(keys);
             keys[VK_SHIFT] = 0x80;
             SetKeyboardState(keys);
             post(f.first, VK_TAB);
             post(f.first, VK_TAB);
             f.act = [](ProbeForm& g) {
                 BYTE up[256];
                 GetKeyboardState(up);
                 up[VK_SHIFT] = 0;
                 SetKeyboardState(up);
                 EXPECT_EQ(GetFocus(), GetDlgItem(g.hwnd(), IDOK));
                 post(g.first, VK_RETURN);
             };
             SetTimer(f.hwnd(), kTimer, 60, nullptr);
         },
         IDOK},
    };
    const OwnedWindow owner = test::plainWindow(L"owner", {50, 50, 700, 500});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeForm form;
        form.act = c.act;
        EXPECT_EQ(form.showModal(owner.get(), L"フォーム", 2400, 1500), c.result);
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
    }
}

TEST(FormWindow, StandsCentredOwnedAndFixedWithTheFormFont) {
    const OwnedWindow owner = test::plainWindow(L"owner", {50, 50, 700, 500});
    ProbeForm form;
    form.act = [&](ProbeForm& f) {
        const HWND w = f.hwnd();
        EXPECT_EQ(GetWindow(w, GW_OWNER), owner.get());
        EXPECT_FALSE(IsWindowEnabled(owner.get()));
        const auto style = GetWindowLongPtrW(w, GWL_STYLE);
        const auto exStyle = GetWindowLongPtrW(w, GWL_EXSTYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
        EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
        EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
        wchar_t name[32] = {};
        GetClassNameW(w, name, 32);
        EXPECT_NE(std::wstring(name), L"#32770");
        RECT client;
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, 160);  // 2400 twips at 15 twips a pixel
        EXPECT_EQ(client.bottom, 100);
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT r;
        GetWindowRect(w, &r);
        EXPECT_LE(std::abs((r.left - work.left) - (work.right - r.right)), 1);
        EXPECT_LE(std::abs((r.top - work.top) - (work.bottom - r.bottom)), 1);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.second, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS UI Gothic");
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        // Placed from twips: 120, 540 is 8, 36.
        RECT second;
        GetWindowRect(f.second, &second);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&second), 2);
        EXPECT_EQ(second.left, 8);
        EXPECT_EQ(second.top, 36);
        EXPECT_EQ(GetFocus(), f.first);
        f.end(IDOK);
    };
    EXPECT_EQ(form.showModal(owner.get(), L"フォーム", 2400, 1500), IDOK);
}

// A timer procedure: a plain function, since a lambda has not the calling
// convention the i686 build needs.
void CALLBACK answerConfirmation(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (const HWND box = FindWindowW(L"#32770", L"確認")) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(FormWindow, TheFocusComesBackAfterAMessageBox) {
    ProbeForm form;
    HWND focusAfter = nullptr;
    form.act = [&](ProbeForm& f) {
        f.focus(f.second);
        // The box is answered from a thread timer of its own loop.
        SetTimer(nullptr, 0, 50, answerConfirmation);
        MessageBoxW(f.hwnd(), L"本文", L"確認", MB_OK);
        focusAfter = GetFocus();
        f.end(IDOK);
    };
    form.showModal(nullptr, L"フォーム", 2400, 1500);
    EXPECT_EQ(focusAfter, form.second);
}

}  // namespace
}  // namespace kq::win32
