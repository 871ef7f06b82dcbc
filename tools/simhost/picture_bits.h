#pragma once
// The pictures of the simulated host and its test add-ins: 32-bit bitmaps,
// top row first, whose pixels can be written and read, and the picture objects
// (IPictureDisp) that carry them to a ribbon.

#include "common/win32/windows_api.h"

#include <olectl.h>

#include <cstdint>

#include "common/win32/com.h"
#include "common/win32/handles.h"

namespace kq::simhost {

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

// A bitmap whose pixels are at `bits`; empty when the system cannot make one.
inline win32::Bitmap topDownBitmap(int width, int height, std::uint32_t*& bits) {
    const BITMAPINFO info = topDownBitmapInfo(width, height);
    void* at = nullptr;
    win32::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &at, nullptr, 0));
    bits = static_cast<std::uint32_t*>(at);
    return bits ? std::move(bitmap) : win32::Bitmap();
}

// A picture that takes `bitmap` over; empty (and `bitmap` still the caller's) when none can be made.
inline win32::ComPtr<IDispatch> pictureOwning(win32::Bitmap& bitmap) {
    GdiFlush();
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap.get();
    win32::ComPtr<IDispatch> picture;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.putVoid())) || !picture) return {};
    bitmap.release();
    return picture;
}

}  // namespace kq::simhost
