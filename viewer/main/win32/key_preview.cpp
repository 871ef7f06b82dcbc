#include "viewer/main/win32/key_preview.h"

#include <algorithm>

namespace kq::viewer::win32 {

namespace {

thread_local KeyPreview* active = nullptr;

}  // namespace

KeyPreview::KeyPreview(HWND window, std::initializer_list<UINT> keys)
    : window_(window),
      keys_(keys),
      previous_(active),
      hook_(SetWindowsHookExW(WH_GETMESSAGE, hookProc, nullptr, GetCurrentThreadId())) {
    active = this;
}

KeyPreview::~KeyPreview() { active = previous_; }

bool KeyPreview::takes(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
    if (std::find(keys_.begin(), keys_.end(), static_cast<UINT>(msg.wParam)) == keys_.end()) return false;
    return msg.hwnd == window_ || IsChild(window_, msg.hwnd);
}

LRESULT CALLBACK KeyPreview::hookProc(int code, WPARAM wParam, LPARAM lParam) {
    // Only a message leaving the queue: one that is only looked at comes again.
    if (code == HC_ACTION && wParam == PM_REMOVE && active) {
        auto& msg = *reinterpret_cast<MSG*>(lParam);
        if (active->takes(msg)) {
            // The loop that took it dispatches it to the window, in its turn
            // among the thread's messages, and never to the control.
            msg.message = kPreviewedKey;
            msg.hwnd = active->window_;
            msg.lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace kq::viewer::win32
