#pragma once
// A control of the system's classes (an edit box, say) with some of its
// messages handled by its holder first: the holder sees each message and
// either answers it or lets the control's own procedure have it. Nothing the
// holder throws leaves the window procedure: the control then handles the
// message as if the holder had not looked.
//
// Holders chain through the common controls' subclass list, so several can
// hold one control and let go of it in any order. A holder may also take the
// notifications the control sends its parent (see reflectTo): a list view's
// LVN_*, an owner-drawn button's WM_DRAWITEM come back to the control's holder.

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <functional>
#include <optional>

namespace kq::win32 {

class Subclass {
public:
    // The answer when the holder handled the message; none for the control's own handling.
    using Handler = std::function<std::optional<LRESULT>(UINT msg, WPARAM wParam, LPARAM lParam)>;

    Subclass() = default;
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;
    ~Subclass() { detach(); }

    // False when this holder holds a control already, or the control cannot be held.
    bool attach(HWND control, Handler handler);
    // Lets go of the control; done by itself when the control goes.
    void detach() noexcept;
    // The handling of a message below this holder (the holders attached
    // before it, then the control's own), for a handler that adds to it.
    LRESULT original(UINT msg, WPARAM wParam, LPARAM lParam) const;

    // The notifications the control sends its parent, when the parent is a
    // window of our base, come to `handler` first (the message as the parent
    // got it); none lets the parent handle it. One holder of a control takes
    // them, the last to ask.
    void reflectTo(Handler handler);
    // The holder of `control` that takes its notifications; null when none.
    static Subclass* reflectionOf(HWND control) noexcept;
    std::optional<LRESULT> reflected(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    HWND control_ = nullptr;
    Handler handler_;
    Handler reflected_;
};

}  // namespace kq::win32
