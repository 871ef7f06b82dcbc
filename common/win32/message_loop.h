#pragma once
// The one message loop of the thread's top-level windows, modal and
// modeless: the program's main loop and every modal run nested in it.
//
// Each message taken from the queue goes, in this order, to
//   - the key preview of the top-level window it is for (its own or one of
//     its controls'), when it is a key message: a main window answers F1 or
//     F5 wherever the focus is inside it;
//   - that window's accelerator table;
//   - the dialog keys (Tab, Enter, Esc, arrows, access keys) of the active
//     top-level window, when the message is for it or one of its controls;
//   - its window, translated and dispatched.
// The idle hooks run whenever the queue has run empty, before the loop
// waits for the next message.

#include "common/win32/windows_api.h"

#include <functional>

namespace kq::win32 {

// Takes a key message (WM_KEYDOWN to WM_SYSDEADCHAR) before the focused control; true when it took it.
using KeyPreview = std::function<bool(const MSG&)>;

// What a top-level window asks of the loop for the keys typed inside it;
// held by the window's object while it stands. One set per window: a later
// one takes the place of the one before.
class WindowKeys {
public:
    WindowKeys(HWND topLevel, KeyPreview preview, HACCEL accelerators = nullptr);
    ~WindowKeys();
    WindowKeys(const WindowKeys&) = delete;
    WindowKeys& operator=(const WindowKeys&) = delete;

    // The keys of the top-level window `message` is for; null when it has none.
    static WindowKeys* of(const MSG& message) noexcept;
    // True when the preview or the accelerators took the message.
    bool take(MSG& message) noexcept;

private:
    HWND window_;
    KeyPreview preview_;
    HACCEL accelerators_;
};

// Work to do when the thread has nothing else to do (the state of a toolbar
// button, say); it runs each time the queue runs empty, while it is held.
class IdleHook {
public:
    explicit IdleHook(std::function<void()> idle);
    ~IdleHook();
    IdleHook(const IdleHook&) = delete;
    IdleHook& operator=(const IdleHook&) = delete;

    // Every hook of the thread, in the order they came.
    static void runAll() noexcept;

private:
    std::function<void()> idle_;
};

// Runs the thread's messages until `done` holds, which it asks before each
// message. False when the thread is told to quit (WM_QUIT) first: the quit
// is posted again, so the loop outside this one (a modal run's caller, or
// the program's, or the host's) ends too.
bool runMessagesUntil(const std::function<bool()>& done);

// One message taken from the queue, handled as the loop handles it.
void handleMessage(MSG& message);

}  // namespace kq::win32
