#pragma once
// Messages as the system's message box, owned by the window the creator names,
// or by whichever window a window object has when it asks.

#include "common/prompts.h"
#include "common/win32/window.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

class MessagePrompts final : public Prompts {
public:
    // `owner` may be null: the box then has no owner window.
    explicit MessagePrompts(HWND owner) : owner_(owner) {}
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;

private:
    HWND owner_;
};

// Messages owned by a window object whose window comes and goes: its window
// is asked for at each message, and while it has none the box goes to
// `otherwise` (null: no owner window).
class WindowPrompts final : public Prompts {
public:
    explicit WindowPrompts(HWND otherwise = nullptr) : otherwise_(otherwise) {}
    explicit WindowPrompts(const Window& window, HWND otherwise = nullptr) : window_(&window), otherwise_(otherwise) {}

    // From now on `window` owns the messages while it stands.
    void ownedBy(const Window& window) { window_ = &window; }
    HWND owner() const {
        const HWND standing = window_ ? window_->hwnd() : nullptr;
        return standing ? standing : otherwise_;
    }

    int message(std::string_view text, std::string_view title, unsigned style) override {
        return MessagePrompts(owner()).message(text, title, style);
    }
    void beep() override { MessagePrompts(owner()).beep(); }

private:
    const Window* window_ = nullptr;
    HWND otherwise_;
};

}  // namespace kq::win32
