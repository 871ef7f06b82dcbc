#include "common/win32/message_loop.h"

#include "common/win32/window.h"

#include <algorithm>
#include <vector>

namespace kq::win32 {

namespace {

// The property by which a top-level window finds its keys.
constexpr wchar_t kKeysProperty[] = L"KqWindowKeys";

// The thread's idle work, in the order it came (a post moves a task to the
// end), and the modal runs standing.
struct IdleState {
    std::vector<IdleWork*> registered;
    int modalRuns = 0;
    unsigned long long serials = 0;
};
thread_local IdleState idle;

bool isKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

HWND topLevelOf(HWND window) { return window ? GetAncestor(window, GA_ROOT) : nullptr; }

// No menu, move or size of a window, or drag is up.
bool threadAtRest() noexcept {
    if (GetCapture()) return false;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    constexpr DWORD kModes = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
    return !GetGUIThreadInfo(GetCurrentThreadId(), &thread) || (thread.flags & kModes) == 0;
}

// Brings the loop out of its wait, wherever it waits: a loop of the system
// that takes the message drops it, and the loop looks again once that one
// has returned to it.
void wakeLoop() noexcept { PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0); }

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

IdleWork::IdleWork(std::function<void()> work, const Window* window, bool standing)
    : work_(std::move(work)), window_(window), standing_(standing), level_(idle.modalRuns), serial_(++idle.serials) {
    idle.registered.push_back(this);
}

IdleWork::~IdleWork() { std::erase(idle.registered, this); }

void IdleWork::arm() noexcept {
    if (armed_) return;
    armed_ = true;
    // Moved, not copied: no memory is taken.
    const auto at = std::find(idle.registered.begin(), idle.registered.end(), this);
    if (at != idle.registered.end()) std::rotate(at, at + 1, idle.registered.end());
    // Posted from a message sent while the loop waited, the work would otherwise wait for the next message.
    wakeLoop();
}

bool IdleWork::mayRunNow() const noexcept {
    if (level_ < idle.modalRuns || !threadAtRest()) return false;
    if (!window_) return true;
    const HWND hwnd = window_->hwnd();
    return hwnd && IsWindowEnabled(GetAncestor(hwnd, GA_ROOT));
}

void IdleWork::runAll() noexcept {
    if (!threadAtRest()) return;
    struct Due {
        IdleWork* work;
        unsigned long long serial;
    };
    try {
        std::vector<Due> due;
        for (IdleWork* work : idle.registered) {
            if (work->due()) due.push_back({work, work->serial_});
        }
        for (const Due& d : due) {
            // Work that ran before may have ended this one's holder, or started a drag.
            const bool held =
                std::any_of(idle.registered.begin(), idle.registered.end(),
                            [&](const IdleWork* w) { return w == d.work && w->serial_ == d.serial; });
            if (!held || !d.work->mayRunNow() || !d.work->due()) continue;
            d.work->armed_ = false;
            const HWND window = d.work->window_ ? d.work->window_->hwnd() : nullptr;
            // A copy: the work may end its holder, and the holder's copy with it.
            const std::function<void()> run = d.work->work_;
            try {
                if (run) run();
            } catch (...) {
                // Standing work that failed is tried again at the next idle turn; told once.
                Window::tellFailure(window, WM_NULL, 0);
            }
        }
    } catch (...) {
        // No memory for the list: the next idle turn tries again.
    }
}

void IdleWork::wake() noexcept {
    if (std::any_of(idle.registered.begin(), idle.registered.end(), [](const IdleWork* w) { return w->armed_; })) {
        wakeLoop();
    }
}

ModalLevel::ModalLevel() noexcept { ++idle.modalRuns; }

ModalLevel::~ModalLevel() {
    --idle.modalRuns;
    IdleWork::wake();
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
            IdleWork::runAll();
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
