#include "tests/addin/dialogs/win32/modal_driver.h"

#include <deque>

#include "common/win32/wide.h"

namespace kq::addin::dialogs::test {

namespace {

using kq::win32::narrow;
using kq::win32::wide;

// A menu's window has no caption: this stands for it.
constexpr char kMenuCaption[] = "<menu>";

struct Run {
    std::deque<DriveStep> steps;
    int waited = 0;
    bool stuck = false;
};
Run* g_run = nullptr;

struct Search {
    std::wstring caption;
    bool menu = false;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (!IsWindowVisible(hwnd)) return TRUE;
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    const bool isMenu = std::wstring(name) == L"#32768";
    if (search.menu ? isMenu : !isMenu && narrow(search.caption) == textOf(hwnd)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND find(const std::string& caption) {
    Search search{wide(caption), caption == kMenuCaption};
    EnumThreadWindows(GetCurrentThreadId(), matchWindow, reinterpret_cast<LPARAM>(&search));
    // Menus belong to the desktop's windows in some systems.
    if (!search.found && search.menu) EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK closeWindow(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    Run& run = *g_run;
    if (run.steps.empty()) return;
    const HWND window = find(run.steps.front().caption);
    if (!window) {
        // Ten seconds without the window: the run cannot go on.
        if (++run.waited > 330) {
            run.stuck = true;
            run.steps.clear();
            EndMenu();
            EnumThreadWindows(GetCurrentThreadId(), closeWindow, 0);
        }
        return;
    }
    run.waited = 0;
    const DriveStep step = std::move(run.steps.front());
    run.steps.pop_front();
    step.act(window);
}

}  // namespace

bool drive(const std::function<void()>& modal, std::vector<DriveStep> steps) {
    Run run{{steps.begin(), steps.end()}};
    Run* const outer = g_run;
    g_run = &run;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
    modal();
    KillTimer(nullptr, timer);
    g_run = outer;
    return !run.stuck && run.steps.empty();
}

HWND windowCaptioned(const std::string& caption) { return find(caption); }

void click(HWND control) { PostMessageW(control, BM_CLICK, 0, 0); }

void type(HWND edit, const std::string& text) {
    SetFocus(edit);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
}

void key(HWND window, UINT vk) {
    PostMessageW(window, WM_KEYDOWN, vk, 0);
    PostMessageW(window, WM_KEYUP, vk, 0xC0000000);
}

std::string textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

RECT placeIn(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool screenshot(HWND window, const std::wstring& fileName) {
    return recording::test::saveBmp(recording::test::captureWindow(window), fileName);
}

DriveStep menuKeys(std::vector<UINT> keys) {
    return {kMenuCaption, [keys = std::move(keys)](HWND menu) {
                for (const UINT vk : keys) key(menu, vk);
            }};
}

}  // namespace kq::addin::dialogs::test
