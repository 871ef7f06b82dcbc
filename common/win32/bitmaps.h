#pragma once
// Bitmaps of 32-bit pixels, top row first: the layout in which pictures are
// drawn, read back and compared here.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <utility>

#include "common/win32/handles.h"

namespace kq::win32 {

inline BITMAPINFO topDownBitmapInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap whose pixels are at `bits`; empty (and `bits` null) when the
// system cannot make one.
inline Bitmap topDownBitmap(int width, int height, std::uint32_t*& bits) {
    const BITMAPINFO info = topDownBitmapInfo(width, height);
    void* at = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &at, nullptr, 0));
    bits = bitmap ? static_cast<std::uint32_t*>(at) : nullptr;
    return bits ? std::move(bitmap) : Bitmap();
}

// Copies the top-left `size` of `picture` onto `target` at its origin; false
// when the system could not.
inline bool copyBitmap(HDC target, HBITMAP picture, SIZE size) {
    const DeviceContext source = memoryDc(target);
    const Selection used = selectObject(source.get(), picture);
    return used && BitBlt(target, 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

}  // namespace kq::win32
