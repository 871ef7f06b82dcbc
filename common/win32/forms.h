#pragma once
// What the forms share: their font, the screen's twips (form designs are
// measured in twips), and the size of a line of text.

#include "common/win32/handles.h"
#include "common/win32/windows_api.h"

#include <string_view>

#include "common/form_layout.h"

namespace kq::win32 {

// A font of `points` on the screen.
Font createFont(const wchar_t* face, int points, bool bold, BYTE charset);
// "MS UI Gothic" 9 pt, Shift-JIS: the font of every form.
Font createFormFont();

// The screen's twips per pixel; 15 on an axis whose resolution the screen does not tell.
Twips screenTwips();

// A place in twips as a rectangle in pixels.
RECT pixelRect(const Twips& twips, const TwipsRect& at);
// Moves `window` to `pixels` on its parent, keeping its z-order and activation;
// `flags` adds SetWindowPos flags (show, hide, no redraw).
void moveWindow(HWND window, const RECT& pixels, UINT flags = 0);
// Moves `control` to a place in twips on its parent.
void placeControl(HWND control, const TwipsRect& at, const Twips& twips, bool repaint = true);

// Size in pixels of one line drawn as a static control draws it.
SIZE lineExtent(HDC dc, std::wstring_view text);

}  // namespace kq::win32
