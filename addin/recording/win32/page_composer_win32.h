#pragma once
// Page metafiles with GDI: the size of a pixel, the size of a piece in pixels,
// and a page put together from its pieces, all in memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addin/recording/recorder_world.h"
#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32 {

// Set once the size of a pixel had to be taken from the default printer,
// whose device then is the reference of every page metafile made.
extern bool MetafileByPrinter;

// Hundredths of a millimetre per pixel: axis 0 across, 1 down, anything else
// 0. Computed on first use and kept; 0 when neither the screen nor a printer
// tells its size, which is not kept, so a later call tries again.
double GetHimetricPerPixel(std::int32_t axis);

// The size in pixels of a metafile's picture: the right and bottom edges of
// its frame over the size of a pixel, to the nearest whole number (halves to
// even). False when the header can't be read or there is no size factor.
bool GetMetafileSizePixel(HENHMETAFILE metafile, std::int32_t& width, std::int32_t& height);

// The bytes of a metafile file of the metafile; empty when there is none or
// its bits can't be had.
std::optional<std::vector<std::uint8_t>> enhMetafileBytes(HENHMETAFILE metafile);

class Win32PageComposer final : public PageComposer {
public:
    // Without a size factor the composer says so once, with the add-in's title.
    Win32PageComposer(Prompts& prompts, std::string title) : prompts_(prompts), title_(std::move(title)) {}

    std::optional<PixelSize> pieceSize(std::span<const std::uint8_t> picture) override;
    // The page's frame is its size in pixels times the size of a pixel; on
    // an opaque background, pieces marked so get a rectangle of the light
    // brush (RGB 240, 240, 250) with the default pen before they are played.
    std::optional<std::vector<std::uint8_t>> combine(PixelSize page,
                                                     const std::vector<PiecePlacement>& pieces) override;

private:
    bool haveFactors();

    Prompts& prompts_;
    std::string title_;
};

}  // namespace kq::addin::recording::win32
