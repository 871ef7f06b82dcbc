#pragma once
// What the controls of the forms share on Windows: OLE colours, popup menus
// shown from their data, small buttons that draw their own glyph, compound
// controls, edit boxes without a context menu of their own, and tooltips.

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <cstdint>
#include <string_view>

#include "common/popup_menu.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::win32 {

// An OLE colour as GDI takes it: system colours by their index.
COLORREF oleColour(std::uint32_t colour);

// The menu as the system holds it, its popups inside it; null when it could not be made.
Menu buildMenu(const PopupMenu& items);
// Shows the menu at `at` (screen pixels; `alignment` takes TPM_* alignment
// flags) owned by the window `owner` sits in, and gives the id chosen; 0 when
// it was dismissed.
int showMenu(HWND owner, POINT at, const PopupMenu& items, UINT alignment = TPM_LEFTALIGN | TPM_TOPALIGN);
// Shows the menu below `button`, right-aligned with it.
int trackMenu(HWND button, const PopupMenu& items);

// What a small button shows, drawn by the button's parent (WM_DRAWITEM).
enum class Glyph { dropDown, up, down, insert, remove, add };
HWND createGlyphButton(HWND parent, int id, Glyph glyph, const RECT& rect, std::wstring_view caption = {},
                       bool tabStop = false);
// Draws the item when it is a glyph button; false otherwise.
bool drawGlyphButton(const DRAWITEMSTRUCT& item);

// A control of our own class that holds controls of its own (its parts);
// its position is in the parent's client pixels.
struct CompoundControl {
    const wchar_t* windowClass = nullptr;
    RECT rect{};
    int id = 0;
    DWORD exStyle = 0;  // WS_EX_CONTROLPARENT is always added: Tab walks into the parts
    // What shows between the parts, set as the class is registered; null
    // for a control that paints all of itself.
    HBRUSH background = GetSysColorBrush(COLOR_BTNFACE);
};

// Makes `control` a child control of `parent` on a window of its class,
// registered at first use. Null when the class could not be registered or
// the control could not be made.
HWND createCompoundControl(Window& control, HWND parent, const CompoundControl& args);

// A one-line edit box in the form's font that opens no context menu of its
// own while `hook` holds it (the control that owns the box keeps the hook).
HWND createTextBox(HWND parent, int id, const RECT& rect, HFONT font, Subclass& hook, DWORD extraStyle = 0);

// Tooltips for controls of one window.
class Tooltips {
public:
    explicit Tooltips(HWND owner);
    void add(HWND tool, std::string_view text);

private:
    OwnedWindow window_;
};

// The common controls the forms use: list view, status bar, tooltips.
void initCommonControls();

}  // namespace kq::win32
