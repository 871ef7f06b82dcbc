#include "viewer/main_window/win32/pictures.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/win32/wide.h"

namespace kq::viewer::win32 {

namespace {

[[noreturn]] void broken(const wchar_t* resource, const char* what) {
    throw std::runtime_error("the picture resource " + kq::win32::narrow(resource) + " " + what);
}

// A DIB section of the bitmap resource, checked against the size the table gives.
kq::win32::Bitmap loadBitmap(HMODULE module, const wchar_t* resource, int width, int height) {
    kq::win32::Bitmap bitmap(
        static_cast<HBITMAP>(LoadImageW(module, resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) broken(resource, "is missing");
    BITMAP shape{};
    if (!GetObjectW(bitmap.get(), sizeof shape, &shape) || shape.bmWidth != width || shape.bmHeight != height ||
        shape.bmBitsPixel != 24) {
        broken(resource, "is not of its size");
    }
    return bitmap;
}

}  // namespace

int PictureList::index(std::string_view key) const {
    const auto keys = spec_->keys;
    const auto found = std::find(keys.begin(), keys.end(), key);
    return found == keys.end() ? -1 : static_cast<int>(found - keys.begin());
}

PictureList loadPictureList(const pictures::ListSpec& spec, HMODULE module) {
    const int count = static_cast<int>(spec.keys.size());
    const kq::win32::Bitmap strip = loadBitmap(module, spec.resource, spec.width * count, spec.height);
    kq::win32::ImageList list(ImageList_Create(spec.width, spec.height, ILC_COLOR24 | ILC_MASK, count, 0));
    const COLORREF mask = RGB(pictures::kMask[0], pictures::kMask[1], pictures::kMask[2]);
    if (!list || ImageList_AddMasked(list.get(), strip.get(), mask) != 0 ||
        ImageList_GetImageCount(list.get()) != count) {
        broken(spec.resource, "cannot be made an image list");
    }
    return PictureList(std::move(list), spec);
}

ViewerPictures loadViewerPictures(HMODULE module) {
    return ViewerPictures{
        .imlMain = loadPictureList(pictures::kImlMain, module),
        .imlButton = loadPictureList(pictures::kImlButton, module),
        .imlNo0 = loadPictureList(pictures::kImlNo0, module),
        .imlNo1 = loadPictureList(pictures::kImlNo1, module),
        .imlList = loadPictureList(pictures::kImlList, module),
        .imlIcon = loadPictureList(pictures::kImlIcon, module),
        .imgShadow = loadPictureList(pictures::kImgShadow, module),
        .imgLeftVertical = loadPictureList(pictures::kImgLeftVertical, module),
        .imgLeftHorizontal = loadPictureList(pictures::kImgLeftHorizontal, module),
    };
}

kq::win32::Bitmap loadLens(HMODULE module) {
    return loadBitmap(module, pictures::kLens.resource, pictures::kLens.width, pictures::kLens.height);
}

kq::win32::Icon loadProgramIcon(int size, HMODULE module) {
    return kq::win32::Icon(static_cast<HICON>(LoadImageW(module, pictures::kProgramIcon, IMAGE_ICON, size, size, 0)));
}

}  // namespace kq::viewer::win32
