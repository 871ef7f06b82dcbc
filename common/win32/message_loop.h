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
// The idle work (IdleWork below) runs whenever the queue has run empty,
// before the loop waits for the next message.

#include "common/win32/windows_api.h"

#include <functional>
#include <utility>

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

class Window;  // common/win32/window.h

// Work the loop does when the thread is idle: its queue has run empty, and no
// menu, move or size of a window, or mouse capture (a drag) is up, nor a
// modal run that started after the work was registered. While a menu or a
// modal window of the system is up only its own loop runs, and the work
// waits; once that ends, or a run, drag, move or menu of a window of this
// base ends, the loop looks again. Registrations are held by the object
// whose work they are: when it goes, what it registered goes too. Work that
// fails is told as a failure of its window (or kept and told) and the loop
// goes on. One thread's registrations are used on that thread only.
class IdleWork {
public:
    IdleWork(const IdleWork&) = delete;
    IdleWork& operator=(const IdleWork&) = delete;
    virtual ~IdleWork();

    // Whether the thread's state lets this work run now, asked from a
    // handler the loop called (a close that can be carried out at once).
    bool mayRunNow() const noexcept;

    // The idle turn: every work of the thread that may run now, in the order
    // it came. The loop runs it each time its queue runs empty; a loop of a
    // test's own runs it too.
    static void runAll() noexcept;
    // The thread's state changed in a way no message of the loop's own may
    // tell (a menu or drag ended inside another loop): the loop is woken to
    // look again when work waits.
    static void wake() noexcept;

protected:
    // `window`: work of that window, which also waits while the window's
    // top-level window is disabled (a message box or dialog over it) and
    // while it has no window.
    IdleWork(std::function<void()> work, const Window* window, bool standing);

    // The work is due at the next idle turn.
    void arm() noexcept;
    void disarm() noexcept { armed_ = false; }
    bool armed() const noexcept { return armed_; }

private:
    // Runs at the next idle turn that lets it.
    bool due() const noexcept { return standing_ || armed_; }

    std::function<void()> work_;
    const Window* window_;
    bool standing_;
    bool armed_ = false;
    int level_;  // the modal runs standing when it was made
    unsigned long long serial_;
};

// Runs at every idle turn while it is held (the state of a toolbar button,
// the next page drawn ahead).
class IdleHook final : public IdleWork {
public:
    explicit IdleHook(std::function<void()> idle, const Window* window = nullptr)
        : IdleWork(std::move(idle), window, true) {}
};

// Runs once at the next idle turn after each post(): a line handed over by
// another process, a close asked for in the middle of a command, the result
// of long work. A post while one waits adds nothing; one made while the work
// runs asks for another turn.
class IdleTask final : public IdleWork {
public:
    explicit IdleTask(std::function<void()> work, const Window* window = nullptr)
        : IdleWork(std::move(work), window, false) {}

    void post() noexcept { arm(); }
    void cancel() noexcept { disarm(); }
    bool posted() const noexcept { return armed(); }
};

// Held by a modal run while it stands: the idle work made before it waits
// until it ends; the work its window makes runs in its loop.
class ModalLevel {
public:
    ModalLevel() noexcept;
    ~ModalLevel();
    ModalLevel(const ModalLevel&) = delete;
    ModalLevel& operator=(const ModalLevel&) = delete;
};

// Runs the thread's messages until `done` holds, which it asks before each
// message. False when the thread is told to quit (WM_QUIT) first: the quit
// is posted again, so the loop outside this one (a modal run's caller, or
// the program's, or the host's) ends too.
bool runMessagesUntil(const std::function<bool()>& done);

// One message taken from the queue, handled as the loop handles it.
void handleMessage(MSG& message);

}  // namespace kq::win32
