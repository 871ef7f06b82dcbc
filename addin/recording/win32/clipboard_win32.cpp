#include "addin/recording/win32/clipboard_win32.h"

#include <cstring>
#include <vector>

namespace kq::addin::recording::win32 {

namespace {

using kq::win32::Bitmap;
using kq::win32::GlobalMemory;
using kq::win32::lockGlobal;

constexpr wchar_t kLinkFormatName[] = L"Link";

// Memory-block formats (device-independent bitmap, link, text): the bytes and
// the exact format they came in.
struct BlockData final : ClipboardData {
    UINT format = 0;
    std::vector<unsigned char> bytes;
};

struct BitmapData final : ClipboardData {
    Bitmap bitmap;
};

struct PaletteData final : ClipboardData {
    std::vector<PALETTEENTRY> entries;
};

struct MetafileData final : ClipboardData {
    LONG mapMode = 0;
    LONG xExt = 0;
    LONG yExt = 0;
    std::vector<unsigned char> bits;
};

std::unique_ptr<ClipboardData> readBlock(UINT format) {
    const auto lock = lockGlobal(GetClipboardData(format));
    if (!lock) return nullptr;
    auto data = std::make_unique<BlockData>();
    data->format = format;
    const auto* p = static_cast<const unsigned char*>(lock.get());
    data->bytes.assign(p, p + lock.size());
    return data;
}

std::unique_ptr<ClipboardData> readBitmap() {
    auto* h = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!h) return nullptr;
    auto data = std::make_unique<BitmapData>();
    data->bitmap = Bitmap(static_cast<HBITMAP>(CopyImage(h, IMAGE_BITMAP, 0, 0, 0)));
    if (!data->bitmap) return nullptr;
    return data;
}

std::unique_ptr<ClipboardData> readPalette() {
    auto* h = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
    if (!h) return nullptr;
    WORD count = 0;
    if (!GetObjectW(h, sizeof count, &count) || count == 0) return nullptr;
    auto data = std::make_unique<PaletteData>();
    data->entries.resize(count);
    if (GetPaletteEntries(h, 0, count, data->entries.data()) != count) return nullptr;
    return data;
}

std::unique_ptr<ClipboardData> readMetafile() {
    const auto lock = lockGlobal(GetClipboardData(CF_METAFILEPICT));
    const auto* pict = static_cast<const METAFILEPICT*>(lock.get());
    if (!pict || !pict->hMF) return nullptr;
    const UINT size = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
    if (size == 0) return nullptr;
    auto data = std::make_unique<MetafileData>();
    data->mapMode = pict->mm;
    data->xExt = pict->xExt;
    data->yExt = pict->yExt;
    data->bits.resize(size);
    if (GetMetaFileBitsEx(pict->hMF, size, data->bits.data()) != size) return nullptr;
    return data;
}

// Each writer hands the clipboard a fresh copy: the kept entry stays ours,
// and a copy the clipboard refuses is freed here.
bool putBlock(const BlockData& data) {
    GlobalMemory memory = kq::win32::globalCopy(data.bytes.data(), data.bytes.size());
    if (!memory || !SetClipboardData(data.format, memory.get())) return false;
    memory.release();
    return true;
}

bool putBitmap(const BitmapData& data) {
    Bitmap copy(static_cast<HBITMAP>(CopyImage(data.bitmap.get(), IMAGE_BITMAP, 0, 0, 0)));
    if (!copy || !SetClipboardData(CF_BITMAP, copy.get())) return false;
    copy.release();
    return true;
}

bool putPalette(const PaletteData& data) {
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + data.entries.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(data.entries.size());
    std::memcpy(log->palPalEntry, data.entries.data(), data.entries.size() * sizeof(PALETTEENTRY));
    kq::win32::Palette palette(CreatePalette(log));
    if (!palette || !SetClipboardData(CF_PALETTE, palette.get())) return false;
    palette.release();
    return true;
}

bool putMetafile(const MetafileData& data) {
    kq::win32::Metafile metafile(SetMetaFileBitsEx(static_cast<UINT>(data.bits.size()), data.bits.data()));
    if (!metafile) return false;
    const METAFILEPICT pict{data.mapMode, data.xExt, data.yExt, metafile.get()};
    GlobalMemory memory = kq::win32::globalCopy(&pict, sizeof pict);
    if (!memory) return false;
    // Once accepted, the clipboard frees the picture and its metafile.
    if (!SetClipboardData(CF_METAFILEPICT, memory.get())) return false;
    memory.release();
    metafile.release();
    return true;
}

}  // namespace

Win32Clipboard::Win32Clipboard() : window_(kq::win32::messageWindow()) {}

UINT Win32Clipboard::systemFormat(ClipFormat format) {
    switch (format) {
        case ClipFormat::Bitmap:
            return CF_BITMAP;
        case ClipFormat::Metafile:
            return CF_METAFILEPICT;
        case ClipFormat::Dib:
            return CF_DIB;
        case ClipFormat::Palette:
            return CF_PALETTE;
        case ClipFormat::Link:
            return RegisterClipboardFormatW(kLinkFormatName);
        case ClipFormat::Text:
            return CF_TEXT;
    }
    return 0;
}

bool Win32Clipboard::has(ClipFormat format) {
    const UINT system = systemFormat(format);
    return system != 0 && IsClipboardFormatAvailable(system);
}

std::unique_ptr<ClipboardData> Win32Clipboard::get(ClipFormat format) {
    const auto clipboard = kq::win32::openClipboard(window_.get());
    if (!clipboard) return nullptr;
    switch (format) {
        case ClipFormat::Bitmap:
            return readBitmap();
        case ClipFormat::Metafile:
            return readMetafile();
        case ClipFormat::Palette:
            return readPalette();
        case ClipFormat::Text:
            if (IsClipboardFormatAvailable(CF_UNICODETEXT)) return readBlock(CF_UNICODETEXT);
            return readBlock(CF_TEXT);
        case ClipFormat::Dib:
        case ClipFormat::Link:
            return readBlock(systemFormat(format));
    }
    return nullptr;
}

void Win32Clipboard::clear() {
    if (const auto clipboard = kq::win32::openClipboard(window_.get())) EmptyClipboard();
}

bool Win32Clipboard::put(ClipFormat format, const ClipboardData& data) {
    const auto clipboard = kq::win32::openClipboard(window_.get());
    if (!clipboard) return false;
    switch (format) {
        case ClipFormat::Bitmap:
            if (const auto* bitmap = dynamic_cast<const BitmapData*>(&data)) return putBitmap(*bitmap);
            return false;
        case ClipFormat::Metafile:
            if (const auto* metafile = dynamic_cast<const MetafileData*>(&data)) return putMetafile(*metafile);
            return false;
        case ClipFormat::Palette:
            if (const auto* palette = dynamic_cast<const PaletteData*>(&data)) return putPalette(*palette);
            return false;
        case ClipFormat::Dib:
        case ClipFormat::Link:
        case ClipFormat::Text:
            if (const auto* block = dynamic_cast<const BlockData*>(&data)) return putBlock(*block);
            return false;
    }
    return false;
}

}  // namespace kq::addin::recording::win32
