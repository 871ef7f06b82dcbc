#include "tools/simhost/builtin_images.h"

#include <olectl.h>

#include <algorithm>
#include <cstring>

#include "common/win32/handles.h"
#include "host/dispatch/variant_convert.h"
#include "host/host.h"

namespace kq::simhost {

namespace {

// The images the product and the test add-ins ask for, and a few more.
constexpr const char* kKnownImages[] = {
    "ContentsAndIndex", "ControlsGallery", "Delete",   "FilePrint", "FilePrintPreview", "FilePrintQuick",
    "FileSave",         "HappyFace",       "Info",     "OpenStartPage", "PrintPreviewFullScreen",
};

constexpr std::int32_t kLargestImage = 256;

std::uint32_t nameHash(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

}  // namespace

win32::Variant builtInImage(const std::string& idMso, std::int32_t width, std::int32_t height) {
    const bool known = std::any_of(std::begin(kKnownImages), std::end(kKnownImages),
                                   [&](const char* name) { return idMso == name; });
    if (!known || width < 1 || height < 1 || width > kLargestImage || height > kLargestImage) {
        throw host::runtimeError(host::err::kInvalidCall);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) throw host::runtimeError(host::err::kOutOfMemory);
    // A frame in one colour of the name and a fill in another.
    const std::uint32_t h = nameHash(idMso);
    const std::uint32_t frame = 0xFF000000u | (h & 0x00FFFFFFu);
    const std::uint32_t fill = 0xFF000000u | ((h >> 8) & 0x00FFFFFFu);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                edge ? frame : fill;
        }
    }
    GdiFlush();

    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap.get();
    win32::ComPtr<IDispatch> picture;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.putVoid())) || !picture) {
        throw host::runtimeError(host::err::kOutOfMemory);
    }
    // The picture owns the bitmap now.
    bitmap.release();
    return host::dispatch::fromObject(picture.get());
}

}  // namespace kq::simhost
