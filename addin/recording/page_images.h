#pragma once
// Page images: the print range of a sheet cut along its page breaks into
// pages, each page into its pieces (body, print-title rows, print-title
// columns and their corner), each piece copied by the host as a metafile and
// as text and kept in memory; and the pieces of one page put back together as
// one metafile when the history file is written.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "addin/recording/recorder_lists.h"
#include "addin/recording/recorder_world.h"
#include "common/temp_paths.h"
#include "host/host.h"

namespace kq::addin::recording {

// More page units than this are not recorded.
inline constexpr std::int32_t kMaxPageUnits = 99;

struct PageServices {
    host::Application& application;
    RecorderClipboard& clipboard;
    // Asked once for a temp file name at the first piece, so that a temp
    // folder that is missing or refuses files is said as before; the pieces
    // themselves stay in memory.
    TempPaths& temp;
    const AnsiCodec& codec;
};

// Captures the pages of `printRange` into lists.colPages and lists.colTexts;
// the pieces of a page in the order body, corner, title rows, title columns,
// each listed with its position on the page. The clipboard must be empty when
// it starts; each piece's two reads leave it empty again. A failure adds its
// error line and ends the capture, keeping what was captured. `order` is the
// page setup's Order: xlDownThenOver walks columns of pages outside and rows
// inside, anything else rows outside. The host's screen updating, events,
// active sheet, active cell, selection and window view are put back on every
// way out; errors of the host outside the capture steps (reading the
// selection, say) reach the caller.
void MakePageImages(PageServices& services, RecordingLists& lists, const host::RangePtr& printRange,
                    const host::RangePtr& titleRows, const host::RangePtr& titleColumns, std::int32_t order);

// Where the pieces of one page go and the page's size: the corner and the
// title columns make the left column, the corner and the title rows the top
// row, the body fills the rest. Pieces other than the body lie on the light
// back. `sizes` goes with `kinds`.
struct PageLayout {
    PixelSize page;
    std::vector<PiecePlacement> pieces;  // in the order given, pictures left empty
};
PageLayout layOutPage(const std::vector<PieceKind>& kinds, const std::vector<PixelSize>& sizes);

// Puts the pieces of one page (2 or 4, in position order) together as one
// metafile; empty when a piece's size can't be read or the page can't be made.
std::optional<std::vector<std::uint8_t>> CombinePagePieces(PageComposer& composer,
                                                           const std::vector<const PageEntry*>& pieces);

// What a device tells of its size.
struct DeviceMetrics {
    std::int32_t horzSizeMm = 0;
    std::int32_t vertSizeMm = 0;
    std::int32_t horzRes = 0;
    std::int32_t vertRes = 0;
};

struct HimetricFactors {
    double x = 0;  // hundredths of a millimetre per pixel
    double y = 0;
    bool byPrinter = false;  // taken from the printer: its device is the reference of new metafiles
};

// The size of a pixel: from the screen, or from the default printer when the
// screen does not tell its size in millimetres. Empty when neither gives a
// factor above 0.
std::optional<HimetricFactors> himetricPerPixel(const DeviceMetrics& screen,
                                                const std::function<std::optional<DeviceMetrics>()>& printer);

// The A1 address the host writes for a rectangle of cells ("$A$1:$C$9").
std::string areaAddress(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right);

}  // namespace kq::addin::recording
