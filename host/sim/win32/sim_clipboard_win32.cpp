#include "host/sim/win32/sim_clipboard_win32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/win32/wide.h"
#include "host/host.h"

namespace kq::host::sim::win32 {
namespace {

constexpr double kHimetricPerPoint = 2540.0 / 72.0;
// Drawing units: twentieths of a point, fine enough that no edge of a cell
// lands a visible step away from where the model put it.
constexpr double kUnitsPerPoint = 20;
constexpr int kFontPoints = 9;
constexpr double kCellPaddingPoints = 1.5;

HostError copyFailed(const char* what) { return HostError(err::kApplicationDefined, what); }

int units(double points) { return static_cast<int>(std::lround(points * kUnitsPerPoint)); }

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {
        if (!dc_) throw copyFailed("The screen cannot be drawn on");
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
template <class H>
using GdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;

// Puts the previous object back, so that nothing of ours is selected when the
// recording closes and the objects are deleted.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    ~Selected() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The recording DC of an enhanced metafile: closed into a metafile by
// finish(), or closed and thrown away when left unfinished.
class MetafileRecorder {
public:
    MetafileRecorder(HDC reference, const RECT& frame) : dc_(CreateEnhMetaFileW(reference, nullptr, &frame, nullptr)) {
        if (!dc_) throw copyFailed("The picture cannot be made");
    }
    MetafileRecorder(const MetafileRecorder&) = delete;
    MetafileRecorder& operator=(const MetafileRecorder&) = delete;
    ~MetafileRecorder() {
        if (dc_) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
    }
    HDC dc() const { return dc_; }
    EnhMetafile finish() {
        EnhMetafile made(CloseEnhMetaFile(std::exchange(dc_, nullptr)));
        if (!made) throw copyFailed("The picture cannot be made");
        return made;
    }

private:
    HDC dc_;
};

struct GlobalDeleter {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
using GlobalMemory = std::unique_ptr<void, GlobalDeleter>;

// Another program (the system's clipboard viewer, say) may hold the clipboard
// for a moment; the host waits a little too.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
            if (attempt > 0) Sleep(25);
            open_ = OpenClipboard(owner) != FALSE;
        }
        if (!open_) throw copyFailed("The clipboard cannot be opened");
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() { CloseClipboard(); }

private:
    bool open_ = false;
};

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
    const ScreenDc screen;
    const RECT frame{0, 0, static_cast<LONG>(std::lround(d.width * kHimetricPerPoint)),
                     static_cast<LONG>(std::lround(d.height * kHimetricPerPoint))};
    const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 0, RGB(0, 0, 0)));
    const GdiObject<HFONT> font(CreateFontW(-kFontPoints * static_cast<int>(kUnitsPerPoint), 0, 0, 0, FW_NORMAL, FALSE,
                                            FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
    if (!pen || !font) throw copyFailed("The picture cannot be made");

    MetafileRecorder recorder(screen.get(), frame);
    const HDC dc = recorder.dc();
    {
        // Points in, the reference device's pixels out, so that the recorded
        // drawing fills the frame exactly.
        const int pixelsWide = MulDiv(frame.right, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100);
        const int pixelsHigh = MulDiv(frame.bottom, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, std::max(units(d.width), 1), std::max(units(d.height), 1), nullptr);
        SetViewportExtEx(dc, std::max(pixelsWide, 1), std::max(pixelsHigh, 1), nullptr);

        const Selected penSelected(dc, pen.get());
        const Selected fontSelected(dc, font.get());
        drawGrid(dc, d);
        drawTexts(dc, d);
    }
    return recorder.finish();
}

Win32SimClipboard::Win32SimClipboard()
    : owner_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {
    if (!owner_) throw std::runtime_error("the clipboard's owner window cannot be made");
}

Win32SimClipboard::~Win32SimClipboard() { DestroyWindow(owner_); }

void Win32SimClipboard::putPicture(const RangeDrawing& drawing) {
    EnhMetafile picture = drawEnhMetafile(drawing);
    const OpenClipboardScope open(owner_);
    EmptyClipboard();
    if (!SetClipboardData(CF_ENHMETAFILE, picture.get())) throw copyFailed("The picture cannot be put on the clipboard");
    picture.release();  // the clipboard's now
}

void Win32SimClipboard::putText(const std::string& text) {
    const std::wstring wide = kq::win32::wide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* locked = memory ? GlobalLock(memory.get()) : nullptr;
    if (!locked) throw copyFailed("The text cannot be put on the clipboard");
    std::memcpy(locked, wide.c_str(), bytes);
    GlobalUnlock(memory.get());

    const OpenClipboardScope open(owner_);
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw copyFailed("The text cannot be put on the clipboard");
    memory.release();  // the clipboard's now
}

}  // namespace kq::host::sim::win32
