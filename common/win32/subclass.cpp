#include "common/win32/subclass.h"

#include "common/win32/window.h"

namespace kq::win32 {

namespace {

// The property that names the holder taking a control's notifications.
constexpr wchar_t kReflection[] = L"KqReflectTo";

// The control's own handling follows a handler that failed, told as its window's.
template <typename Call>
std::optional<LRESULT> guarded(HWND control, UINT msg, LPARAM lParam, Call&& call) noexcept {
    try {
        return call();
    } catch (...) {
        Window::tellFailure(control, msg, lParam);
        return std::nullopt;
    }
}

}  // namespace

bool Subclass::attach(HWND control, Handler handler) {
    if (control_ || !control) return false;
    // The holder's address tells it apart from the control's other holders.
    if (!SetWindowSubclass(control, &Subclass::procedure, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    control_ = control;
    handler_ = std::move(handler);
    if (reflected_) SetPropW(control, kReflection, this);
    return true;
}

void Subclass::detach() noexcept {
    if (!control_) return;
    if (IsWindow(control_)) {
        RemoveWindowSubclass(control_, &Subclass::procedure, reinterpret_cast<UINT_PTR>(this));
        if (GetPropW(control_, kReflection) == this) RemovePropW(control_, kReflection);
    }
    control_ = nullptr;
}

LRESULT Subclass::original(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return DefSubclassProc(control_, msg, wParam, lParam);
}

void Subclass::reflectTo(Handler handler) {
    reflected_ = std::move(handler);
    if (control_) SetPropW(control_, kReflection, this);
}

Subclass* Subclass::reflectionOf(HWND control) noexcept {
    return control ? static_cast<Subclass*>(GetPropW(control, kReflection)) : nullptr;
}

std::optional<LRESULT> Subclass::reflected(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (!reflected_) return std::nullopt;
    return guarded(control_, msg, lParam, [&] { return reflected_(msg, wParam, lParam); });
}

LRESULT CALLBACK Subclass::procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Subclass*>(data);
    if (msg == WM_NCDESTROY) {
        self->detach();
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    if (self->handler_) {
        if (const auto answer = guarded(hwnd, msg, lParam, [&] { return self->handler_(msg, wParam, lParam); })) {
            return *answer;
        }
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace kq::win32
