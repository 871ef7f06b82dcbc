// The driver's acts reach real windows as a user's do, and its readers read
// what the common controls hold.

#include "tests/support/win32/window_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/win32/wide.h"
#include "tests/support/win32/modal_run.h"

namespace kq::test {
namespace {

using win32::wide;

// A top-level window with an edit box and a list view,
// counting the help requests and button clicks that reach it.
struct Probe {
    Probe() {
        InitCommonControls();
        window = plainWindow(L"probe", {100, 100, 500, 400});
        edit = child(L"EDIT", 1, {10, 10, 210, 34}, WS_BORDER | WS_TABSTOP);
        button = child(L"BUTTON", 2, {10, 40, 110, 70}, WS_TABSTOP);
        list = child(WC_LISTVIEWW, 3, {10, 80, 300, 200}, LVS_REPORT);
        SetWindowSubclass(window.get(), count, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~Probe() { RemoveWindowSubclass(window.get(), count, 0); }
    HWND child(const wchar_t* cls, int id, RECT at, DWORD style) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left,
                               at.bottom - at.top, window.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               nullptr, nullptr);
    }
    static LRESULT CALLBACK count(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        auto& p = *reinterpret_cast<Probe*>(self);
        // A static window lets the mouse through to what lies beneath; this one takes it.
        if (msg == WM_NCHITTEST) {
            const LRESULT hit = DefSubclassProc(w, msg, wp, lp);
            return hit == HTTRANSPARENT ? HTCLIENT : hit;
        }
        if (msg == WM_HELP) ++p.helps;
        if (msg == WM_COMMAND && LOWORD(wp) == 2 && HIWORD(wp) == BN_CLICKED) ++p.clicks;
        if (msg == WM_CONTEXTMENU) ++p.contextMenus;
        // A drag: the press takes the mouse, the release lets it go where it ends.
        if (msg == WM_LBUTTONDOWN) SetCapture(w);
        if (msg == WM_LBUTTONUP && GetCapture() == w) {
            ReleaseCapture();
            p.dropped = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        }
        return DefSubclassProc(w, msg, wp, lp);
    }

    win32::OwnedWindow window;
    HWND edit = nullptr;
    HWND button = nullptr;
    HWND list = nullptr;
    int helps = 0;
    int clicks = 0;
    int contextMenus = 0;
    POINT dropped{-1, -1};
};

TEST(WindowDriver, KeysArriveAsTheKeyboardsWithTheirModifiers) {
    Probe p;
    typeText(p.edit, "ab日本");
    pressKeys(p.edit, {{VK_HOME}, {.vk = VK_END, .shift = true}});
    EXPECT_TRUE(waitUntil([&] { return textOf(p.edit) == "ab日本"; }));
    // Shift+End selected the whole line: typing replaces it.
    typeText(p.edit, "x");
    EXPECT_TRUE(waitUntil([&] { return textOf(p.edit) == "x"; })) << textOf(p.edit);
    // F1 reaches the window as a help request only through the input queue.
    pressKeys(p.edit, {{VK_F1}});
    EXPECT_TRUE(waitUntil([&] { return p.helps == 1; }));
    // Nothing stays held down.
    EXPECT_TRUE(waitUntil([] { return !(GetKeyState(VK_SHIFT) & 0x8000); }));
}

TEST(WindowDriver, ClicksLandWhereThePointerIs) {
    Probe p;
    const RECT b = placeIn(p.button, p.window.get());
    clickAt(p.window.get(), {(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    EXPECT_TRUE(waitUntil([&] { return p.clicks == 1; }));
    click(p.button);
    EXPECT_TRUE(waitUntil([&] { return p.clicks == 2; }));
    clickAt(p.window.get(), {350, 250}, MouseButton::right);
    EXPECT_TRUE(waitUntil([&] { return p.contextMenus == 1; }));
    drag(p.window.get(), {320, 100}, {360, 140});
    EXPECT_TRUE(waitUntil([&] { return p.dropped.x == 360 && p.dropped.y == 140; }));
}

TEST(WindowDriver, ReadsListViewsStatusBarsCombosAndMenus) {
    Probe p;
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 80;
        SendMessageW(p.list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    const std::vector<std::vector<std::string>> rows = {{"一", "1"}, {"二", "2"}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::wstring first = wide(rows[r][0]);
        const std::wstring second = wide(rows[r][1]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.pszText = const_cast<wchar_t*>(first.c_str());
        SendMessageW(p.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(second.c_str());
        SendMessageW(p.list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(rowsOf(p.list), rows);

    const HWND bar = p.child(STATUSCLASSNAMEW, 4, {}, 0);
    int edges[] = {100, -1};
    SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"ホーム"));
    EXPECT_EQ(panelsOf(bar), (std::vector<std::string>{"", "ホーム"}));

    const HWND combo = p.child(L"COMBOBOX", 5, {10, 210, 110, 300}, CBS_DROPDOWNLIST);
    for (const wchar_t* entry : {L"赤", L"青"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_EQ(entriesOf(combo), (std::vector<std::string>{"赤", "青"}));

    const HMENU menu = CreatePopupMenu();
    const HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 11, L"請求書");
    AppendMenuW(sub, MF_STRING, 12, L"納品書(&N)");
    AppendMenuW(menu, MF_STRING, 10, L"最初");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"履歴");
    EXPECT_EQ(itemsOf(menu), (std::vector<std::string>{"最初", "-", "履歴"}));
    // The menu takes the keys of the window in front.
    focus(p.edit);
    struct Case {
        std::vector<std::string> path;
        UINT chosen;
    };
    for (const Case& c : {Case{{"最初"}, 10}, Case{{"履歴", "納品書"}, 12}, Case{{"履歴", "請求書"}, 11}}) {
        SCOPED_TRACE(c.path.back());
        UINT chosen = 0;
        const ModalRun run = runModal(
            [&] {
                chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0,
                                                          p.window.get(), nullptr));
            },
            {pickFromMenuStep(c.path)});
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(chosen, c.chosen);
    }
    DestroyMenu(menu);
}

// A run whose window never comes gives up and closes what stands; boxes
// answered on the way are kept.
TEST(ModalRun, ClosesWhatStaysAndKeepsTheAnsweredBoxes) {
    const win32::OwnedWindow owner = plainWindow(L"owner", {0, 0, 300, 200});
    int shown = 0;
    ModalRun run = runModal([&] { shown = MessageBoxW(owner.get(), L"一つ目", L"確認", MB_OKCANCEL); },
                            {{"来ない窓", [](HWND) {}}}, {.patience = std::chrono::milliseconds(500)});
    EXPECT_FALSE(run.finished);
    EXPECT_EQ(run.stepsLeft, 1u);
    EXPECT_EQ(shown, IDCANCEL);

    run = runModal([&] { shown = MessageBoxW(owner.get(), L"二つ目", L"確認", MB_OKCANCEL); }, {},
                   {.answerBoxes = true});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(shown, IDOK);
    EXPECT_EQ(run.boxes, std::vector<std::string>{"二つ目"});
    EXPECT_FALSE(waitUntil([] { return false; }, std::chrono::milliseconds(50)));
}

}  // namespace
}  // namespace kq::test
