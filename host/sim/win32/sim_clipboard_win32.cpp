#include "host/sim/win32/sim_clipboard_win32.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/win32/bitmaps.h"
#include "common/win32/wide.h"
#include "host/host.h"

namespace kq::host::sim::win32 {
namespace {

using namespace kq::win32;

constexpr double kHimetricPerPoint = 2540.0 / 72.0;
// Drawing units: twentieths of a point, fine enough that no edge of a cell
// lands a visible step away from where the model put it.
constexpr double kUnitsPerPoint = 20;
constexpr int kFontPoints = 9;
constexpr double kCellPaddingPoints = 1.5;

HostError copyFailed(const char* what) { return HostError(err::kApplicationDefined, what); }

int units(double points) { return static_cast<int>(std::lround(points * kUnitsPerPoint)); }

UINT alignFlags(CellAlign align) {
    switch (align) {
        case CellAlign::right: return DT_RIGHT;
        case CellAlign::center: return DT_CENTER;
        case CellAlign::left: break;
    }
    return DT_LEFT;
}

void drawGrid(HDC dc, const RangeDrawing& d) {
    for (double x : d.columnEdges) {
        MoveToEx(dc, units(x), 0, nullptr);
        LineTo(dc, units(x), units(d.height));
    }
    for (double y : d.rowEdges) {
        MoveToEx(dc, 0, units(y), nullptr);
        LineTo(dc, units(d.width), units(y));
    }
}

void drawTexts(HDC dc, const RangeDrawing& d) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const DrawnCell& cell : d.cells) {
        RECT box{units(cell.left + kCellPaddingPoints), units(cell.top), units(cell.left + cell.width - kCellPaddingPoints),
                 units(cell.top + cell.height)};
        std::wstring text = kq::win32::wide(cell.text);
        // A text of several lines starts at the top; one line sits in the middle.
        const UINT lines = text.find(L'\n') == std::wstring::npos ? DT_SINGLELINE | DT_VCENTER : DT_TOP;
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, DT_NOPREFIX | lines | alignFlags(cell.align));
    }
}

}  // namespace

EnhMetafile drawEnhMetafile(const RangeDrawing& d) {
    const WindowDc screen = windowDc(nullptr);
    if (!screen) throw copyFailed("The screen cannot be drawn on");
    const RECT frame{0, 0, static_cast<LONG>(std::lround(d.width * kHimetricPerPoint)),
                     static_cast<LONG>(std::lround(d.height * kHimetricPerPoint))};
    const Pen pen(CreatePen(PS_SOLID, 0, RGB(0, 0, 0)));
    const Font font(CreateFontW(-kFontPoints * static_cast<int>(kUnitsPerPoint), 0, 0, 0, FW_NORMAL, FALSE,
                                            FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
    if (!pen || !font) throw copyFailed("The picture cannot be made");

    EnhMetafileRecorder recorder = recordEnhMetafile(screen.get(), nullptr, frame);
    if (!recorder) throw copyFailed("The picture cannot be made");
    const HDC dc = recorder.get();
    {
        // Points in, the reference device's pixels out, so that the recorded
        // drawing fills the frame exactly.
        const int pixelsWide = MulDiv(frame.right, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100);
        const int pixelsHigh = MulDiv(frame.bottom, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, std::max(units(d.width), 1), std::max(units(d.height), 1), nullptr);
        SetViewportExtEx(dc, std::max(pixelsWide, 1), std::max(pixelsHigh, 1), nullptr);

        // Put back before the recording closes, so that nothing of ours is
        // selected when the metafile is made and the objects are deleted.
        const Selection penSelected = selectObject(dc, pen.get());
        const Selection fontSelected = selectObject(dc, font.get());
        drawGrid(dc, d);
        drawTexts(dc, d);
    }
    EnhMetafile made = recorder.close();
    if (!made) throw copyFailed("The picture cannot be made");
    return made;
}

Win32SimClipboard::Win32SimClipboard() : owner_(messageWindow()) {
    if (!owner_) throw std::runtime_error("the clipboard's owner window cannot be made");
}

namespace {

// The host waits a little for a clipboard that another program holds, then fails the copy.
OpenedClipboard openForCopy(HWND owner) {
    OpenedClipboard open = openClipboard(owner);
    if (!open) throw copyFailed("The clipboard cannot be opened");
    return open;
}

}  // namespace

void Win32SimClipboard::putPicture(const RangeDrawing& drawing) {
    EnhMetafile picture = drawEnhMetafile(drawing);
    const OpenedClipboard open = openForCopy(owner_.get());
    EmptyClipboard();
    if (!SetClipboardData(CF_ENHMETAFILE, picture.get())) throw copyFailed("The picture cannot be put on the clipboard");
    picture.release();  // the clipboard's now
}

void Win32SimClipboard::putText(const std::string& text) {
    const std::wstring wide = kq::win32::wide(text);
    GlobalMemory memory = globalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    if (!memory) throw copyFailed("The text cannot be put on the clipboard");

    const OpenedClipboard open = openForCopy(owner_.get());
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw copyFailed("The text cannot be put on the clipboard");
    memory.release();  // the clipboard's now
}

}  // namespace kq::host::sim::win32

namespace kq::host::sim::win32 {

void Win32SimClipboard::putFace(const ButtonFace& face) {
    const WindowDc screen = windowDc(nullptr);
    Bitmap bitmap(CreateCompatibleBitmap(screen.get(), kFaceSize, kFaceSize));
    const BITMAPINFO info = kq::win32::topDownBitmapInfo(kFaceSize, kFaceSize);
    if (!screen || !bitmap ||
        SetDIBits(screen.get(), bitmap.get(), 0, kFaceSize, face.pixels.data(), &info, DIB_RGB_COLORS) != kFaceSize) {
        throw copyFailed("The face cannot be made");
    }
    const OpenedClipboard open = openForCopy(owner_.get());
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, bitmap.get())) throw copyFailed("The face cannot be put on the clipboard");
    bitmap.release();  // the clipboard's now
}

std::optional<ButtonFace> Win32SimClipboard::takeFace() {
    const OpenedClipboard open = openForCopy(owner_.get());
    const auto picture = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP shape{};
    if (!picture || !GetObjectW(picture, sizeof shape, &shape)) return std::nullopt;
    const int width = shape.bmWidth;
    const int height = shape.bmHeight;
    if (width <= 0 || height <= 0 || width > kLargestPicture || height > kLargestPicture) return std::nullopt;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info = kq::win32::topDownBitmapInfo(width, height);
    const WindowDc screen = windowDc(nullptr);
    if (!screen || GetDIBits(screen.get(), picture, 0, static_cast<UINT>(height), pixels.data(), &info,
                             DIB_RGB_COLORS) != height) {
        return std::nullopt;
    }
    ButtonFace face;
    for (int y = 0; y < kFaceSize; ++y) {
        for (int x = 0; x < kFaceSize; ++x) {
            const std::size_t from = static_cast<std::size_t>(y * height / kFaceSize) * static_cast<std::size_t>(width) +
                                     static_cast<std::size_t>(x * width / kFaceSize);
            face.pixels[static_cast<std::size_t>(y * kFaceSize + x)] = pixels[from] & 0xFFFFFFu;
        }
    }
    return face;
}

}  // namespace kq::host::sim::win32
