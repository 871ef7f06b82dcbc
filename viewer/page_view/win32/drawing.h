#pragma once
// Small GDI drawing steps the viewer's windows share.

#include "common/win32/windows_api.h"

#include "common/win32/handles.h"
#include "viewer/main_window/geometry.h"

namespace kq::viewer::win32 {

inline COLORREF rgb(const Colour& c) { return RGB(c.red, c.green, c.blue); }

// A rectangle's outline, its right and bottom edges included, in a pen of
// `colour` and a hollow fill.
inline void outline(HDC dc, COLORREF colour, LONG left, LONG top, LONG right, LONG bottom) {
    const kq::win32::Pen pen(CreatePen(PS_SOLID, 1, colour));
    const kq::win32::Selection penUsed = kq::win32::selectObject(dc, pen.get());
    const kq::win32::Selection hollow = kq::win32::selectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, top, right + 1, bottom + 1);
}

}  // namespace kq::viewer::win32
