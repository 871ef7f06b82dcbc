#pragma once
// A one-line box with a push button inside its right end, as one child window:
// the box's text stops short of the button. The text box with remembered
// entries and the cell-range picker are made of it.

#include "common/win32/windows_api.h"

#include <string>

#include "common/signal.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The parts' ids follow the control's own, so that every control of a
// dialog has an id of its own for a driver to find it by.
namespace box_button_ids {
inline constexpr int kBox = 1;     // the control's id + 1
inline constexpr int kButton = 2;  // the control's id + 2
}  // namespace box_button_ids

class BoxWithButton : public kq::win32::Window {
public:
    // Makes the control at `rect` (pixels of the parent's client area).
    HWND create(HWND parent, const RECT& rect, HFONT font, int id);
    HWND box() const { return box_; }
    HWND button() const { return button_; }
    void focusBox() const { SetFocus(box_); }

protected:
    // Windows of class `windowClass`, showing anew whenever `shown` is raised.
    BoxWithButton(const wchar_t* windowClass, Signal<>& shown) : windowClass_(windowClass), shown_(shown) {}

    HFONT boxFont() const { return font_; }

    // The button, made with the id `id`; the control places it.
    virtual HWND createButton(int id) = 0;
    // What the box shows, set without counting as the user's edit.
    virtual std::string boxText() const = 0;
    // Shows the rest of the control's state, after the box's text.
    virtual void showState() {}
    // The user changed the box's text to `text`.
    virtual void edited(const std::string& text) = 0;
    // The focus left the box.
    virtual void focusLost() {}
    virtual void buttonClicked() = 0;

private:
    bool OnCreate(const CREATESTRUCTW&) final;
    bool OnSize(UINT kind, int width, int height) final;
    bool OnCommand(int id, UINT code, HWND control) final;
    void show();

    const wchar_t* windowClass_;
    Signal<>& shown_;
    Connection onShown_;
    HFONT font_ = nullptr;
    int id_ = 0;
    HWND box_ = nullptr;
    kq::win32::Subclass boxHook_;
    HWND button_ = nullptr;
    bool showing_ = false;
};

}  // namespace kq::addin::dialogs::win32
