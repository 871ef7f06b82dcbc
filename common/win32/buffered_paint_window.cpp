#include "common/win32/buffered_paint_window.h"

#include "common/win32/handles.h"

namespace kq::win32 {

namespace {

bool copyPicture(HDC target, HBITMAP picture, const RECT& client) {
    const DeviceContext source = memoryDc(target);
    const Selection used = selectObject(source.get(), picture);
    return used && BitBlt(target, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

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
    if (const HBITMAP kept = keptPicture(client); kept && copyPicture(target, kept, client)) return;
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
