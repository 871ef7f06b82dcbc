#include "common/win32/buffered_paint_window.h"

#include "common/win32/bitmaps.h"
#include "common/win32/handles.h"

namespace kq::win32 {

bool BufferedPaintWindow::OnPaint() {
    const PaintDc painting = beginPaint(hwnd());
    if (painting) show(painting.value().paint.hdc);
    return true;
}

bool BufferedPaintWindow::OnEraseBackground(HDC) { return true; }

bool BufferedPaintWindow::OnPrintClient(HDC dc, UINT) {
    show(dc);
    return true;
}

void BufferedPaintWindow::show(HDC target) {
    RECT client{};
    if (!GetClientRect(hwnd(), &client) || client.right <= 0 || client.bottom <= 0) return;
    if (const HBITMAP kept = keptPicture(client); kept && copyBitmap(target, kept, {client.right, client.bottom})) return;
    const DeviceContext aside = memoryDc(target);
    const Bitmap buffer(CreateCompatibleBitmap(target, client.right, client.bottom));
    const Selection used = selectObject(aside.get(), buffer.get());
    if (!used) {
        // Drawn straight on the target: a flicker is better than nothing shown.
        paint(target, client);
        return;
    }
    paint(aside.get(), client);
    BitBlt(target, 0, 0, client.right, client.bottom, aside.get(), 0, 0, SRCCOPY);
}

}  // namespace kq::win32
