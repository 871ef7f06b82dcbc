#include "tools/simhost/builtin_images.h"

#include <algorithm>

#include "host/dispatch/variant_convert.h"
#include "host/host.h"
#include "tools/simhost/picture_bits.h"

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
    std::uint32_t* pixels = nullptr;
    win32::Bitmap bitmap = topDownBitmap(width, height, pixels);
    if (!bitmap) throw host::runtimeError(host::err::kOutOfMemory);
    // A frame in one colour of the name and a fill in another.
    const std::uint32_t h = nameHash(idMso);
    const std::uint32_t frame = 0xFF000000u | (h & 0x00FFFFFFu);
    const std::uint32_t fill = 0xFF000000u | ((h >> 8) & 0x00FFFFFFu);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                edge ? frame : fill;
        }
    }
    const win32::ComPtr<IDispatch> picture = pictureOwning(bitmap);
    if (!picture) throw host::runtimeError(host::err::kOutOfMemory);
    return host::dispatch::fromObject(picture.get());
}

}  // namespace kq::simhost
