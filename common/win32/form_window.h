#pragma once
// The base of the add-in's modal forms (its settings, its about box, its
// registration dialog): a top-level window of the forms' own class, never of
// the system's dialog class, which only message boxes use. A form has a fixed
// dialog border without minimize and maximize buttons, stays out of the task
// bar, opens centred on its owner's screen in the form font, and places its
// controls from designs in twips. The keyboard works as in a dialog: Tab
// walks the controls, Enter presses OK (IDOK), Esc presses Cancel (IDCANCEL),
// and the focus comes back to where it was when the form is activated again.

#include "common/win32/windows_api.h"

#include <optional>
#include <string>

#include "common/form_layout.h"
#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/window.h"

namespace kq::win32 {

// A borderless container of controls (a page of a form, a compound control's
// surface), a window of the kit's base that handles none of its controls'
// notifications: they go on up to the form. The window owns its object.
HWND createPanel(HWND parent, const RECT& at, int id = 0, DWORD exStyle = 0);

class Form : public Window {
public:
    // Runs the form modally, owned by `owner` (null for none), with a client
    // area of that size; the value given to end(), or -1 when the form could
    // not be made.
    INT_PTR showModal(HWND owner, const std::wstring& caption, int clientWidthTwips, int clientHeightTwips);

protected:
    // Makes the controls; false makes the form fail to open.
    virtual bool OnLoad() = 0;
    // WM_COMMAND of the form and of its panels' controls.
    bool OnCommand(int id, UINT code, HWND control) override = 0;
    // Messages the form does not handle itself.
    virtual std::optional<LRESULT> OnFormMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

    HFONT font() const { return font_.get(); }
    RECT pixels(const TwipsRect& r) const;
    // A control on `parent` (the form or one of its panels), in the form
    // font; null when it could not be made: a form whose OnLoad misses one
    // does not open.
    HWND addControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                    const TwipsRect& at, int id = 0, DWORD exStyle = 0);
    void place(HWND control, const TwipsRect& at) const;
    // A caption is never cut where the system's font for the form font is
    // wider than the one the design was measured with: a label or check box
    // grows to the right to hold its one-line text, and a multi-line label
    // grows down; never beyond `maxRight` (pixels on its parent). Returns the
    // control's right edge.
    int fitToText(HWND control, int maxRight) const;
    // Moves the focus as a click or Tab would, the text of an edit box selected.
    void focus(HWND control);

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnClose() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    Font font_;
    Twips twips_;
    // The control that had the focus when the form was last deactivated.
    HWND lastFocus_ = nullptr;
    bool controlMissing_ = false;
};

}  // namespace kq::win32
