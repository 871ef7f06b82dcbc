#pragma once
// What the registration dialog's controls share on Windows: form measures in
// twips, OLE colours, the drop-down menus, small buttons that draw their own
// glyph, edit boxes without a context menu of their own, tooltips, and window
// texts in UTF-8.

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "addin/dialogs/popup_menu.h"
#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// Form designs are in twips; the screen decides how many make a pixel.
class Twips {
public:
    Twips() : tpp_(kq::win32::screenTwipsPerPixel()) {}
    int x(int twips) const { return kq::win32::twipsToPixels(twips, tpp_.x); }
    int y(int twips) const { return kq::win32::twipsToPixels(twips, tpp_.y); }
    int fromX(int pixels) const { return kq::win32::pixelsToTwips(pixels, tpp_.x); }
    int fromY(int pixels) const { return kq::win32::pixelsToTwips(pixels, tpp_.y); }
    RECT rect(int left, int top, int width, int height) const {
        return {x(left), y(top), x(left) + x(width), y(top) + y(height)};
    }

private:
    kq::win32::TwipsPerPixel tpp_;
};

// An OLE colour as GDI takes it: system colours by their index.
COLORREF oleColour(std::uint32_t colour);

// Shows the menu below `button`, right-aligned with it, and gives the id
// chosen; 0 when it was dismissed.
int trackMenu(HWND button, const PopupMenu& menu);

// What a small button shows, drawn by the button's parent (WM_DRAWITEM).
enum class Glyph { dropDown, up, down, insert, remove, add };
HWND createGlyphButton(HWND parent, int id, Glyph glyph, const RECT& rect, std::wstring_view caption = {},
                       bool tabStop = false);
// Draws the item when it is a glyph button; false otherwise.
bool drawGlyphButton(const DRAWITEMSTRUCT& item);

// Makes `control` a child control of `parent` on a window of its own class
// (registered at first use), with that id: Tab walks into its parts and the
// face colour shows between them. Null when it could not be made.
HWND createCompoundControl(kq::win32::Window& control, const wchar_t* windowClass, HWND parent, const RECT& rect,
                           int id);

// A one-line edit box in the form's font that opens no context menu of its
// own while `hook` holds it (the control that owns the box keeps the hook).
HWND createTextBox(HWND parent, int id, const RECT& rect, HFONT font, kq::win32::Subclass& hook,
                   DWORD extraStyle = 0);

// Tooltips for controls of one window.
class Tooltips {
public:
    explicit Tooltips(HWND owner);
    void add(HWND tool, std::string_view text);

private:
    kq::win32::OwnedWindow window_;
};

std::string windowText(HWND window);
// Sets the text only when it differs, so that an edit box reports no change for nothing.
void showText(HWND window, std::string_view text);

// The common controls the dialog uses: list view, status bar, tooltips.
void initCommonControls();

}  // namespace kq::addin::dialogs::win32
