#include "viewer/page_view/win32/magnifier_window.h"

#include <algorithm>
#include <cstdint>

#include "common/win32/bitmaps.h"
#include "viewer/page_view/magnifier.h"
#include "viewer/page_view/win32/drawing.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KqMagnifier";

// A bitmap of the loupe's size that `paint` draws on.
template <typename Paint>
kq::win32::Bitmap surfaceOf(SIZE size, Paint&& paint) {
    std::uint32_t* bits = nullptr;
    kq::win32::Bitmap bitmap = kq::win32::topDownBitmap(size.cx, size.cy, bits);
    if (!bitmap) return bitmap;
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    const kq::win32::Selection used = kq::win32::selectObject(dc.get(), bitmap.get());
    paint(dc.get());
    GdiFlush();
    return bitmap;
}

}  // namespace

frmZoom::frmZoom(Twips screen) : screen_(screen) {}

bool frmZoom::create(HWND owner) {
    size_ = SIZE{screen_.x(kLoupeSide), screen_.y(kLoupeSide)};
    // An owned popup stays over the main window without being topmost; it
    // never takes the activation from it.
    return kq::win32::Window::create({.name = kClassName},
                                     {.style = WS_POPUP,
                                      .exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                      .x = 0,
                                      .y = 0,
                                      .width = size_.cx,
                                      .height = size_.cy,
                                      .owner = owner}) != nullptr;
}

bool frmZoom::OnCreate(const CREATESTRUCTW&) {
    // The lens as designed, stretched to the loupe where the screen's
    // resolution makes the loupe another size.
    const kq::win32::Bitmap designed = loadLens();
    BITMAP shape{};
    GetObjectW(designed.get(), sizeof shape, &shape);
    lens_ = surfaceOf(size_, [&](HDC dc) {
        const kq::win32::DeviceContext source = kq::win32::memoryDc(dc);
        const kq::win32::Selection used = kq::win32::selectObject(source.get(), designed.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, size_.cx, size_.cy, source.get(), 0, 0, shape.bmWidth, shape.bmHeight, SRCCOPY);
    });
    surface_ = surfaceOf(size_, [](HDC) {});
    if (!lens_ || !surface_) return false;
    kq::win32::Region round(CreateEllipticRgn(0, 0, size_.cx, size_.cy));
    // The window keeps the region from here and lets go of it when it goes.
    if (round && SetWindowRgn(hwnd(), round.get(), FALSE)) round.release();
    return true;
}

void frmZoom::SetPosition(double x, double y, double zoom, const LoupeSource& page, POINT cursor) {
    if (!hwnd()) return;
    draw(x, y, zoom, page);
    InvalidateRect(hwnd(), nullptr, FALSE);
    // Over the main window whatever came up since the last move.
    SetWindowPos(hwnd(), HWND_TOP, cursor.x - size_.cx / 2, cursor.y - size_.cy / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
}

void frmZoom::draw(double x, double y, double zoom, const LoupeSource& page) {
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    const kq::win32::Selection used = kq::win32::selectObject(dc.get(), surface_.get());
    const RECT all{0, 0, size_.cx, size_.cy};
    const kq::win32::Brush background(CreateSolidBrush(page.background));
    FillRect(dc.get(), &all, background.get());

    const std::optional<LoupePart> part =
        page.page ? loupePart(x, y, zoom, kLoupeSide, kLoupeSide, page.width, page.height) : std::nullopt;
    if (part) {
        const Rect& from = part->source;
        const Rect& to = part->destination;
        // The page's bitmap holds its natural size in pixels; its last
        // pixels are never passed.
        const LONG sx = std::clamp(screen_.x(from.left), 0, static_cast<int>(page.pixels.cx));
        const LONG sy = std::clamp(screen_.y(from.top), 0, static_cast<int>(page.pixels.cy));
        const LONG sr = std::clamp(screen_.x(from.right()), 0, static_cast<int>(page.pixels.cx));
        const LONG sb = std::clamp(screen_.y(from.bottom()), 0, static_cast<int>(page.pixels.cy));
        const LONG dx = screen_.x(to.left), dy = screen_.y(to.top);
        const LONG dr = screen_.x(to.right()), db = screen_.y(to.bottom());
        if (sr > sx && sb > sy && dr > dx && db > dy) {
            {
                const kq::win32::DeviceContext source = kq::win32::memoryDc(dc.get());
                const kq::win32::Selection pageUsed = kq::win32::selectObject(source.get(), page.page);
                SetStretchBltMode(dc.get(), HALFTONE);
                SetBrushOrgEx(dc.get(), 0, 0, nullptr);
                StretchBlt(dc.get(), dx, dy, dr - dx, db - dy, source.get(), sx, sy, sr - sx, sb - sy, SRCCOPY);
            }
            outline(dc.get(), rgb(kLoupeEdgeColour), dx - 1, dy - 1, dr, db);
        }
    }

    const kq::win32::DeviceContext lens = kq::win32::memoryDc(dc.get());
    const kq::win32::Selection lensUsed = kq::win32::selectObject(lens.get(), lens_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(kLensOpacity), 0};
    AlphaBlend(dc.get(), 0, 0, size_.cx, size_.cy, lens.get(), 0, 0, size_.cx, size_.cy, blend);
    GdiFlush();
}

HBITMAP frmZoom::keptPicture(const RECT&) { return surface_.get(); }

std::optional<LRESULT> frmZoom::OnMessage(UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_NCHITTEST:
            // The pointer is always over the loupe: the view under it keeps the mouse.
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            return std::nullopt;
    }
}

}  // namespace kq::viewer::win32
