// The base of the add-in's forms: how a form stands on the screen, and the
// keyboard of a dialog without the system's dialog class.

#include "common/win32/form_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "tests/support/win32/modal_run.h"

namespace kq::win32 {
namespace {

// Two boxes, OK and Cancel.
class ProbeForm final : public Form {
public:
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
        return true;
    }
    bool OnCommand(int id, UINT code, HWND) override {
        if (code != BN_CLICKED) return false;
        commands.push_back(id);
        if (id == IDOK || id == IDCANCEL) end(id);
        return true;
    }
};

// Shows the form modally while each act runs on it in turn, once it stands.
INT_PTR showActing(ProbeForm& form, HWND owner, const std::vector<std::function<void(ProbeForm&)>>& acts) {
    std::vector<kq::test::Step> steps;
    for (const auto& act : acts) steps.push_back(kq::test::onClass(L"KqForm", [&form, act](HWND) { act(form); }));
    INT_PTR result = 0;
    EXPECT_TRUE(kq::test::runModal([&] { result = form.showModal(owner, L"フォーム", 2400, 1500); }, std::move(steps)).finished);
    return result;
}

TEST(FormWindow, KeysAndTheCloseBoxEndTheFormAsOkOrCancel) {
    using Act = std::function<void(ProbeForm&)>;
    struct Case {
        const char* name;
        std::vector<Act> acts;
        INT_PTR result;
    };
    const std::vector<Case> cases = {
        {"Enter in a box presses OK", {[](ProbeForm& f) { kq::test::pressKeys(f.first, {{VK_RETURN}}); }}, IDOK},
        {"Esc presses Cancel", {[](ProbeForm& f) { kq::test::pressKeys(f.second, {{VK_ESCAPE}}); }}, IDCANCEL},
        {"the close box is Cancel", {[](ProbeForm& f) { kq::test::closeBox(f.hwnd()); }}, IDCANCEL},
        {"Tab to Cancel, then Enter presses it",
         {[](ProbeForm& f) { kq::test::pressKeys(f.first, {{VK_TAB}, {VK_TAB}, {VK_TAB}, {VK_RETURN}}); }},
         IDCANCEL},
        {"shift+Tab back to OK, then Enter",
         {[](ProbeForm& f) { kq::test::pressKeys(f.first, {{.vk = VK_TAB, .shift = true}, {.vk = VK_TAB, .shift = true}}); },
          [](ProbeForm& f) {
              EXPECT_EQ(GetFocus(), GetDlgItem(f.hwnd(), IDOK));
              kq::test::pressKeys(nullptr, {{VK_RETURN}});
          }},
         IDOK},
    };
    const OwnedWindow owner = kq::test::plainWindow(L"owner", {50, 50, 700, 500});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeForm form;
        EXPECT_EQ(showActing(form, owner.get(), c.acts), c.result);
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
    }
}

TEST(FormWindow, StandsCentredOwnedAndFixedWithTheFormFont) {
    const OwnedWindow owner = kq::test::plainWindow(L"owner", {50, 50, 700, 500});
    ProbeForm form;
    const auto look = [&](ProbeForm& f) {
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
    EXPECT_EQ(showActing(form, owner.get(), {look}), IDOK);
}

TEST(FormWindow, TheFocusComesBackAfterAMessageBox) {
    ProbeForm form;
    HWND focusAfter = nullptr;
    std::vector<kq::test::Step> steps = {
        kq::test::onClass(L"KqForm",
                      [&](HWND) {
                          form.focus(form.second);
                          MessageBoxW(form.hwnd(), L"本文", L"確認", MB_OK);
                          focusAfter = GetFocus();
                          form.end(IDOK);
                      }),
        // Answered while the box runs its own loop inside the step before.
        {"確認", [](HWND box) { kq::test::answer(box, IDOK); }},
    };
    EXPECT_TRUE(kq::test::runModal([&] { form.showModal(nullptr, L"フォーム", 2400, 1500); }, std::move(steps)).finished);
    EXPECT_EQ(focusAfter, form.second);
}

// A button and a label on a panel; the form answers both, and colours the label.
class PanelForm final : public Form {
public:
    std::vector<int> clicked;
    HWND button = nullptr;
    HWND label = nullptr;
    HBRUSH labelBrush = GetSysColorBrush(COLOR_HIGHLIGHT);

private:
    bool OnLoad() override {
        const HWND panel = createPanel(hwnd(), pixels({0, 0, 2400, 1500}), 20);
        button = addControl(panel, L"BUTTON", "押す", WS_VISIBLE | WS_TABSTOP, {120, 120, 900, 360}, 21);
        label = addControl(panel, L"STATIC", "ラベル", WS_VISIBLE, {120, 600, 900, 240}, 22);
        return panel != nullptr;
    }
    bool OnCommand(int id, UINT code, HWND) override {
        if (code == BN_CLICKED) clicked.push_back(id);
        return true;
    }
    std::optional<LRESULT> OnFormMessage(UINT msg, WPARAM, LPARAM lParam) override {
        if (msg != WM_CTLCOLORSTATIC || reinterpret_cast<HWND>(lParam) != label) return std::nullopt;
        return reinterpret_cast<LRESULT>(labelBrush);
    }
};

TEST(FormWindow, TheControlsOnAPanelAreTheForms) {
    PanelForm form;
    LRESULT colour = 0;
    const auto act = [&](HWND) {
        SendMessageW(form.button, BM_CLICK, 0, 0);
        const WindowDc dc = windowDc(form.label);
        colour = SendMessageW(GetParent(form.label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                              reinterpret_cast<LPARAM>(form.label));
        form.end(IDOK);
    };
    EXPECT_TRUE(kq::test::runModal([&] { form.showModal(nullptr, L"パネル", 2400, 1500); },
                                   {kq::test::onClass(L"KqForm", act)})
                    .finished);
    EXPECT_EQ(form.clicked, std::vector<int>{21});
    EXPECT_EQ(colour, reinterpret_cast<LRESULT>(form.labelBrush));
}

// A form one of whose controls is of a class the system does not know.
class IncompleteForm final : public Form {
    bool OnLoad() override {
        addControl(hwnd(), L"KqNoSuchClass", "", WS_VISIBLE, {0, 0, 900, 360});
        addControl(hwnd(), L"BUTTON", "OK", WS_VISIBLE | WS_TABSTOP, {0, 480, 900, 360}, IDOK);
        return true;
    }
    bool OnCommand(int, UINT, HWND) override { return false; }
};

TEST(FormWindow, AFormMissingAControlDoesNotOpen) {
    IncompleteForm form;
    EXPECT_EQ(form.showModal(nullptr, L"欠けたフォーム", 2400, 1500), -1);
    EXPECT_EQ(form.hwnd(), nullptr);
}

}  // namespace
}  // namespace kq::win32
