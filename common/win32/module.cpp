#include "common/win32/module.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "common/win32/wide.h"

namespace kq::win32 {

namespace {

LONG g_moduleLocks = 0;

struct OpenWindow {
    HWND window;
    CloseWindow close;
};

// Windows come and go on the threads that own them; one list for them all.
std::mutex g_openWindowsGuard;
std::vector<OpenWindow> g_openWindows;

std::vector<OpenWindow>::iterator listed(HWND window) {
    return std::find_if(g_openWindows.begin(), g_openWindows.end(),
                        [window](const OpenWindow& open) { return open.window == window; });
}

// The innermost scope of this thread that watches for a system dialog.
thread_local SystemDialogScope* t_dialogScope = nullptr;

bool isSystemDialog(HWND window) {
    wchar_t name[8] = {};
    return GetClassNameW(window, name, 8) > 0 && lstrcmpW(name, L"#32770") == 0;
}

}  // namespace

void lockModule() noexcept { InterlockedIncrement(&g_moduleLocks); }
void unlockModule() noexcept { InterlockedDecrement(&g_moduleLocks); }
HRESULT canUnloadModule() noexcept { return moduleLocks() == 0 ? S_OK : S_FALSE; }
long moduleLocks() noexcept { return InterlockedCompareExchange(&g_moduleLocks, 0, 0); }

void windowOpened(HWND window, CloseWindow close) noexcept {
    lockModule();
    // A child goes with its top-level window.
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) return;
    try {
        const std::lock_guard lock(g_openWindowsGuard);
        g_openWindows.push_back({window, close});
    } catch (...) {
        // Out of memory: the window stays open at a disconnection, and the module loaded while it does.
    }
}

void windowClosed(HWND window) noexcept {
    {
        const std::lock_guard lock(g_openWindowsGuard);
        if (const auto found = listed(window); found != g_openWindows.end()) g_openWindows.erase(found);
    }
    unlockModule();
}

void closeOpenWindows() noexcept {
    // Closing one may close others (the windows it owns) or open none: each is
    // looked up again before it is closed, and no lock is held while it is.
    for (;;) {
        OpenWindow newest{};
        {
            const std::lock_guard lock(g_openWindowsGuard);
            if (g_openWindows.empty()) return;
            newest = g_openWindows.back();
            // A modal window stays listed until its run has ended: closed once.
            g_openWindows.pop_back();
        }
        if (newest.close) newest.close(newest.window);
    }
}

std::size_t openWindowCount() noexcept {
    const std::lock_guard lock(g_openWindowsGuard);
    return g_openWindows.size();
}

SystemDialogScope::SystemDialogScope(CloseWindow close) noexcept : close_(close), outer_(t_dialogScope) {
    t_dialogScope = this;
    hook_ = SetWindowsHookExW(WH_CBT, watch, nullptr, GetCurrentThreadId());
}

SystemDialogScope::~SystemDialogScope() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (dialog_) windowClosed(dialog_);
    t_dialogScope = outer_;
}

LRESULT CALLBACK SystemDialogScope::watch(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
        const auto* created = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        SystemDialogScope* scope = t_dialogScope;
        if (scope && !scope->dialog_ && !(created->lpcs->style & WS_CHILD) && isSystemDialog(window)) {
            scope->dialog_ = window;
            windowOpened(window, scope->close_);
        }
    } else if (code == HCBT_DESTROYWND) {
        for (SystemDialogScope* scope = t_dialogScope; scope; scope = scope->outer_) {
            if (scope->dialog_ != window) continue;
            scope->dialog_ = nullptr;
            windowClosed(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring thisModulePath() {
    // Paths may exceed MAX_PATH; a result that fills the buffer may have been cut short.
    constexpr DWORD kLongestPath = 32768;
    std::wstring path;
    for (DWORD size = MAX_PATH + 1; size <= kLongestPath; size *= 2) {
        path.assign(size, L'\0');
        const DWORD length = GetModuleFileNameW(thisModule(), path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

std::string thisModuleFolder() {
    const std::wstring path = thisModulePath();
    const auto separator = path.rfind(L'\\');
    if (separator == std::wstring::npos) return {};
    // "C:\" keeps its separator: "C:" alone would mean the current folder of drive C.
    const bool driveRoot = separator == 2 && path[1] == L':';
    return narrow(std::wstring_view(path).substr(0, driveRoot ? separator + 1 : separator));
}

std::optional<std::string> loadModuleString(std::int32_t id) {
    const wchar_t* text = nullptr;
    // With no buffer the call hands out the resource's own read-only text.
    const int length = LoadStringW(thisModule(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::nullopt;
    return narrow(std::wstring_view(text, static_cast<std::size_t>(length)));
}

std::optional<std::span<const std::byte>> moduleResource(const wchar_t* type, const wchar_t* name) {
    const HRSRC found = FindResourceW(thisModule(), name, type);
    if (!found) return std::nullopt;
    // A loaded resource is part of the module's image: nothing to free.
    const HGLOBAL loaded = LoadResource(thisModule(), found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return std::nullopt;
    return std::span(static_cast<const std::byte*>(bytes), SizeofResource(thisModule(), found));
}

}  // namespace kq::win32
