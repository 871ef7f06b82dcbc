#include "common/win32/subclass.h"

namespace kq::win32 {

namespace {

// The property that ties a control to its Subclass.
constexpr wchar_t kProperty[] = L"KqSubclass";

}  // namespace

bool Subclass::attach(HWND control, Handler handler) {
    if (control_ || !control || GetPropW(control, kProperty)) return false;
    if (!SetPropW(control, kProperty, this)) return false;
    control_ = control;
    handler_ = std::move(handler);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass::procedure)));
    if (!original_) {
        RemovePropW(control, kProperty);
        control_ = nullptr;
        return false;
    }
    return true;
}

void Subclass::detach() noexcept {
    if (!control_) return;
    if (IsWindow(control_)) {
        SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropW(control_, kProperty);
    }
    control_ = nullptr;
}

LRESULT Subclass::original(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(original_, control_, msg, wParam, lParam);
}

LRESULT CALLBACK Subclass::procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Subclass*>(GetPropW(hwnd, kProperty));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const WNDPROC original = self->original_;
    if (msg == WM_NCDESTROY) {
        self->detach();
        return CallWindowProcW(original, hwnd, msg, wParam, lParam);
    }
    try {
        if (self->handler_) {
            if (const std::optional<LRESULT> answer = self->handler_(msg, wParam, lParam)) return *answer;
        }
    } catch (...) {
        // The control's own handling follows.
    }
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

}  // namespace kq::win32
