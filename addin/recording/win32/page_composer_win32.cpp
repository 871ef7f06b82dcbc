#include "addin/recording/win32/page_composer_win32.h"

#include <winspool.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "addin/core/texts.h"
#include "addin/recording/page_images.h"
#include "common/win32/handles.h"

namespace kq::addin::recording::win32 {

bool MetafileByPrinter = false;

namespace {

using kq::win32::DeviceContext;
using kq::win32::EnhMetafile;

// The default printer's device context; empty when there is no printer.
DeviceContext defaultPrinterDc() {
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length == 0) return {};
    std::vector<wchar_t> name(length);
    if (!GetDefaultPrinterW(name.data(), &length)) return {};
    return DeviceContext(CreateDCW(L"WINSPOOL", name.data(), nullptr, nullptr));
}

DeviceMetrics metricsOf(HDC dc) {
    return {.horzSizeMm = GetDeviceCaps(dc, HORZSIZE),
            .vertSizeMm = GetDeviceCaps(dc, VERTSIZE),
            .horzRes = GetDeviceCaps(dc, HORZRES),
            .vertRes = GetDeviceCaps(dc, VERTRES)};
}

std::optional<HimetricFactors> measure() {
    DeviceMetrics screen;
    {
        const kq::win32::WindowDc dc = kq::win32::windowDc(nullptr);
        if (dc) screen = metricsOf(dc.get());
    }
    if (screen.horzRes == 0) screen.horzRes = GetSystemMetrics(SM_CXSCREEN);
    if (screen.vertRes == 0) screen.vertRes = GetSystemMetrics(SM_CYSCREEN);
    return himetricPerPixel(screen, []() -> std::optional<DeviceMetrics> {
        const DeviceContext printer = defaultPrinterDc();
        if (!printer) return std::nullopt;
        return metricsOf(printer.get());
    });
}

std::optional<HimetricFactors>& cache() {
    static std::optional<HimetricFactors> factors;
    return factors;
}

EnhMetafile metafileOf(std::span<const std::uint8_t> bytes) {
    return EnhMetafile(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
}

std::optional<std::int32_t> rounded(double value) {
    const double r = std::nearbyint(value);  // halves to even in the default rounding mode
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(r);
}

}  // namespace

double GetHimetricPerPixel(std::int32_t axis) {
    std::optional<HimetricFactors>& factors = cache();
    if (!factors) {
        factors = measure();
        if (factors) MetafileByPrinter = factors->byPrinter;
    }
    if (!factors) return 0;
    return axis == 0 ? factors->x : axis == 1 ? factors->y : 0;
}

bool GetMetafileSizePixel(HENHMETAFILE metafile, std::int32_t& width, std::int32_t& height) {
    ENHMETAHEADER header{};
    if (!metafile || GetEnhMetaFileHeader(metafile, sizeof header, &header) == 0) return false;
    const double x = GetHimetricPerPixel(0);
    const double y = GetHimetricPerPixel(1);
    if (x <= 0 || y <= 0) return false;
    const std::optional<std::int32_t> w = rounded(header.rclFrame.right / x);
    const std::optional<std::int32_t> h = rounded(header.rclFrame.bottom / y);
    if (!w || !h) return false;
    width = *w;
    height = *h;
    return true;
}

std::optional<std::vector<std::uint8_t>> enhMetafileBytes(HENHMETAFILE metafile) {
    if (!metafile) return std::nullopt;
    const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
    if (size == 0) return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (GetEnhMetaFileBits(metafile, size, bytes.data()) != size) return std::nullopt;
    return bytes;
}

bool Win32PageComposer::haveFactors() {
    if (GetHimetricPerPixel(0) > 0 && GetHimetricPerPixel(1) > 0) return true;
    // Once: every page of every later print would otherwise say it again.
    static bool told = false;
    if (!told) {
        told = true;
        prompts_.message(texts::kMetafileByPrinter, title_, mb::kOkOnly | mb::kIconCritical);
    }
    return false;
}

std::optional<PixelSize> Win32PageComposer::pieceSize(std::span<const std::uint8_t> picture) {
    if (!haveFactors()) return std::nullopt;
    PixelSize size;
    if (!GetMetafileSizePixel(metafileOf(picture).get(), size.width, size.height)) return std::nullopt;
    return size;
}

std::optional<std::vector<std::uint8_t>> Win32PageComposer::combine(PixelSize page,
                                                                    const std::vector<PiecePlacement>& pieces) {
    if (!haveFactors()) return std::nullopt;
    const std::optional<std::int32_t> right = rounded(page.width * GetHimetricPerPixel(0));
    const std::optional<std::int32_t> bottom = rounded(page.height * GetHimetricPerPixel(1));
    if (!right || !bottom) return std::nullopt;
    const RECT frame{0, 0, *right, *bottom};

    // Drawing units are pixels of the reference device, the one the size of a pixel came from.
    DeviceContext printer;
    if (MetafileByPrinter) printer = defaultPrinterDc();

    const LOGBRUSH light{BS_SOLID, RGB(240, 240, 250), 0};
    const kq::win32::Brush brush(CreateBrushIndirect(&light));
    kq::win32::EnhMetafileRecorder recording = kq::win32::recordEnhMetafile(printer.get(), nullptr, frame);
    if (!brush || !recording) return std::nullopt;
    {
        const HDC dc = recording.get();
        const kq::win32::Selection select = kq::win32::selectObject(dc, brush.get());
        SetBkMode(dc, OPAQUE);
        for (const PiecePlacement& piece : pieces) {
            const EnhMetafile picture = metafileOf(piece.picture);
            if (!picture) return std::nullopt;
            const RECT place{piece.left, piece.top, piece.left + piece.width, piece.top + piece.height};
            if (piece.background) Rectangle(dc, place.left, place.top, place.right, place.bottom);
            // A record the player skips still leaves the best page there is.
            PlayEnhMetaFile(dc, picture.get(), &place);
        }
    }
    const EnhMetafile made = recording.close();
    return enhMetafileBytes(made.get());
}

}  // namespace kq::addin::recording::win32
