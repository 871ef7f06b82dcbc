#pragma once
// A window whose client area is drawn whole aside and then shown at once, so
// that what changes often (a scroll, a splitter drag, a bar counting down)
// never shows half drawn. The system never erases its background: the picture
// covers all of it. A print of the client area (WM_PRINTCLIENT) gets the
// picture the screen gets.

#include "common/win32/windows_api.h"

#include "common/win32/window.h"

namespace kq::win32 {

class BufferedPaintWindow : public Window {
protected:
    // Draws the whole client area, `client`, on `dc`: a bitmap of the
    // client's size made for this painting, or the target itself when the
    // system has no room for one. A window that always keeps its picture
    // (see keptPicture) need not draw.
    virtual void paint(HDC /*dc*/, const RECT& /*client*/) {}
    // The client area as the window keeps it drawn, a bitmap of at least the
    // client's size copied as it stands; null has it drawn now by paint().
    virtual HBITMAP keptPicture(const RECT& /*client*/) { return nullptr; }

    bool OnPaint() final;
    bool OnEraseBackground(HDC dc) final;
    bool OnPrintClient(HDC dc, UINT flags) final;

private:
    void show(HDC target);
};

}  // namespace kq::win32
