#pragma once
// A control of the system's classes (an edit box, say) with some of its
// messages handled by its holder first: the holder sees each message and
// either answers it or lets the control's own procedure have it. Nothing the
// holder throws leaves the window procedure: the control then handles the
// message as if the holder had not looked.

#include "common/win32/windows_api.h"

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

    // False when the control is already held or cannot be.
    bool attach(HWND control, Handler handler);
    // Gives the control its own procedure back; done by itself when the control goes.
    void detach() noexcept;
    // The control's own handling of a message, for a handler that adds to it.
    LRESULT original(UINT msg, WPARAM wParam, LPARAM lParam) const;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND control_ = nullptr;
    WNDPROC original_ = nullptr;
    Handler handler_;
};

}  // namespace kq::win32
