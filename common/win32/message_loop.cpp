#include "common/win32/message_loop.h"

#include "common/win32/window.h"

#include <algorithm>
#include <vector>

namespace kq::win32 {

namespace {

// The property by which a top-level window finds its keys.
constexpr wchar_t kKeysProperty[] = L"KqWindowKeys";

thread_local std::vector<IdleHook*> idleHooks;

bool isKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

HWND topLevelOf(HWND window) { return window ? GetAncestor(window, GA_ROOT) : nullptr; }

bool queueEmpty() {
    MSG peeked;
    return !PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace

WindowKeys::WindowKeys(HWND topLevel, KeyPreview preview, HACCEL accelerators)
    : window_(topLevel), preview_(std::move(preview)), accelerators_(accelerators) {
    if (window_) SetPropW(window_, kKeysProperty, this);
}

WindowKeys::~WindowKeys() {
    // Another set may have taken the window over, or the window may be gone.
    if (window_ && GetPropW(window_, kKeysProperty) == this) RemovePropW(window_, kKeysProperty);
}

WindowKeys* WindowKeys::of(const MSG& message) noexcept {
    const HWND top = topLevelOf(message.hwnd);
    return top ? static_cast<WindowKeys*>(GetPropW(top, kKeysProperty)) : nullptr;
}

bool WindowKeys::take(MSG& message) noexcept {
    if (!isKeyMessage(message.message)) return false;
    try {
        if (preview_ && preview_(message)) return true;
    } catch (...) {
        // A failed preview leaves the key to the control.
        Window::tellFailure(message.hwnd, message.message, message.lParam);
    }
    return accelerators_ && TranslateAcceleratorW(window_, accelerators_, &message);
}

IdleHook::IdleHook(std::function<void()> idle) : idle_(std::move(idle)) { idleHooks.push_back(this); }

IdleHook::~IdleHook() { idleHooks.erase(std::remove(idleHooks.begin(), idleHooks.end(), this), idleHooks.end()); }

void IdleHook::runAll() noexcept {
    // A hook may come or go while they run: the ones standing when they started run.
    const std::vector<IdleHook*> standing = idleHooks;
    for (IdleHook* hook : standing) {
        if (std::find(idleHooks.begin(), idleHooks.end(), hook) == idleHooks.end()) continue;
        try {
            if (hook->idle_) hook->idle_();
        } catch (...) {
            // Idle work that failed is tried again at the next idle time; told once.
            Window::tellFailure(nullptr, WM_NULL, 0);
        }
    }
}

void handleMessage(MSG& message) {
    if (WindowKeys* keys = WindowKeys::of(message); keys && keys->take(message)) return;
    const HWND active = GetActiveWindow();
    if (active && message.hwnd && (message.hwnd == active || IsChild(active, message.hwnd)) &&
        IsDialogMessageW(active, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool runMessagesUntil(const std::function<bool()>& done) {
    MSG message;
    while (!done()) {
        if (queueEmpty()) {
            IdleHook::runAll();
            if (done()) break;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        handleMessage(message);
    }
    return true;
}

}  // namespace kq::win32
