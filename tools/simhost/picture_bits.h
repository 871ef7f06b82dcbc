#pragma once
// The pictures of the simulated host and its test add-ins: 32-bit bitmaps,
// top row first, whose pixels can be written and read, and the picture objects
// (IPictureDisp) that carry them to a ribbon.

#include "common/win32/windows_api.h"

#include <olectl.h>

#include <cstdint>

#include "common/win32/bitmaps.h"
#include "common/win32/com.h"
#include "common/win32/handles.h"

namespace kq::simhost {

using win32::topDownBitmap;
using win32::topDownBitmapInfo;

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
