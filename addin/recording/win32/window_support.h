#pragma once
// What the recorder's windows share: owners for GDI handles and device
// contexts, the forms' font, the screen's twips per pixel.

#include "common/win32/module.h"
#include "common/win32/windows_api.h"

#include <string_view>
#include <utility>

namespace kq::addin::recording::win32 {

template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : h_(h) {}
    GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    void reset() {
        if (h_) DeleteObject(std::exchange(h_, nullptr));
    }
    Handle get() const { return h_; }
    Handle release() { return std::exchange(h_, nullptr); }
    explicit operator bool() const { return h_ != nullptr; }

private:
    Handle h_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// A window's client DC (or the screen's, for a null window), released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// "MS UI Gothic" 9 pt, Shift-JIS: the font of every form of the add-in.
Font createFormFont();

struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};
TwipsPerPixel screenTwipsPerPixel();

// Size in pixels of one line drawn as a static control draws it.
SIZE lineExtent(HDC dc, std::wstring_view text);

}  // namespace kq::addin::recording::win32
