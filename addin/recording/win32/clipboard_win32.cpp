#include "addin/recording/win32/clipboard_win32.h"

#include <cstring>
#include <utility>
#include <vector>

#include "addin/recording/win32/window_support.h"

namespace kq::addin::recording::win32 {

namespace {

constexpr wchar_t kLinkFormatName[] = L"Link";

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    bool open() const { return open_; }

private:
    bool open_;
};

class GlobalMemory {
public:
    explicit GlobalMemory(HGLOBAL h) : h_(h) {}
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() {
        if (h_) GlobalFree(h_);
    }
    HGLOBAL get() const { return h_; }
    HGLOBAL release() { return std::exchange(h_, nullptr); }

private:
    HGLOBAL h_;
};

class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (p_) GlobalUnlock(h_);
    }
    void* get() const { return p_; }

private:
    HGLOBAL h_;
    void* p_;
};

class MetafileHandle {
public:
    explicit MetafileHandle(HMETAFILE h) : h_(h) {}
    MetafileHandle(const MetafileHandle&) = delete;
    MetafileHandle& operator=(const MetafileHandle&) = delete;
    ~MetafileHandle() {
        if (h_) DeleteMetaFile(h_);
    }
    HMETAFILE get() const { return h_; }
    HMETAFILE release() { return std::exchange(h_, nullptr); }

private:
    HMETAFILE h_;
};

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
    HANDLE h = GetClipboardData(format);
    if (!h) return nullptr;
    const LockedGlobal lock(h);
    if (!lock.get()) return nullptr;
    auto data = std::make_unique<BlockData>();
    data->format = format;
    const auto* p = static_cast<const unsigned char*>(lock.get());
    data->bytes.assign(p, p + GlobalSize(h));
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
    HANDLE h = GetClipboardData(CF_METAFILEPICT);
    if (!h) return nullptr;
    const LockedGlobal lock(h);
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
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, data.bytes.size()));
    if (!memory.get()) return false;
    {
        const LockedGlobal lock(memory.get());
        if (!lock.get()) return false;
        std::memcpy(lock.get(), data.bytes.data(), data.bytes.size());
    }
    if (!SetClipboardData(data.format, memory.get())) return false;
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
    GdiObject<HPALETTE> palette(CreatePalette(log));
    if (!palette || !SetClipboardData(CF_PALETTE, palette.get())) return false;
    palette.release();
    return true;
}

bool putMetafile(const MetafileData& data) {
    MetafileHandle metafile(SetMetaFileBitsEx(static_cast<UINT>(data.bits.size()), data.bits.data()));
    if (!metafile.get()) return false;
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)));
    if (!memory.get()) return false;
    {
        const LockedGlobal lock(memory.get());
        auto* pict = static_cast<METAFILEPICT*>(lock.get());
        if (!pict) return false;
        *pict = {data.mapMode, data.xExt, data.yExt, metafile.get()};
    }
    // Once accepted, the clipboard frees the picture and its metafile.
    if (!SetClipboardData(CF_METAFILEPICT, memory.get())) return false;
    memory.release();
    metafile.release();
    return true;
}

}  // namespace

Win32Clipboard::Win32Clipboard()
    : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, kq::win32::thisModule(), nullptr)) {}

Win32Clipboard::~Win32Clipboard() {
    if (window_) DestroyWindow(window_);
}

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
    const OpenClipboardScope clipboard(window_);
    if (!clipboard.open()) return nullptr;
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
    const OpenClipboardScope clipboard(window_);
    if (clipboard.open()) EmptyClipboard();
}

bool Win32Clipboard::put(ClipFormat format, const ClipboardData& data) {
    const OpenClipboardScope clipboard(window_);
    if (!clipboard.open()) return false;
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
