#pragma once
// Pictures as the host takes them for its controls: OLE picture objects,
// handed over as their IDispatch.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <string>

#include "common/prompts.h"
#include "common/win32/com.h"
#include "ribbon/connect2.h"

namespace kq::ribbon::win32 {

class ComPicture final : public Picture {
public:
    explicit ComPicture(kq::win32::ComPtr<IDispatch> picture) : picture_(std::move(picture)) {}
    IDispatch* dispatch() const { return picture_.get(); }

private:
    kq::win32::ComPtr<IDispatch> picture_;
};

// The picture's IDispatch with a reference for the caller, or null for none.
IDispatch* detachedDispatch(const PicturePtr& picture);

// The PNG resource `name` (type "PNG") of this module as a picture: written to
// a new temp file, decoded there by GDI+, the file deleted again whatever
// happens. What stands in the way of the temp file is told through `prompts`
// under `title`. Throws ComFailure: 481 "ピクチャが不正です。" for what GDI+
// cannot decode, the system's error for a missing resource or an unwritable file.
PicturePtr LoadResPNGPicture(const std::wstring& name, Prompts& prompts, const std::string& title);

// A picture that takes over `bitmap` (it is deleted with the picture), or
// nothing for a null handle. A bitmap that cannot become a picture is
// deleted here. Throws ComFailure when the picture cannot be made.
PicturePtr PictureFromBitmapHandle(HBITMAP bitmap);

}  // namespace kq::ribbon::win32
