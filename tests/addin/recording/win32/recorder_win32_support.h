#pragma once
// What the Windows tests of the recorder share: a file system whose temp
// folder is a folder of the test's own, metafile pieces drawn with GDI, a page
// rendered into pixels, and a measure of the GDI objects a process holds.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "addin/recording/win32/page_composer_win32.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32::test {

// The Win32 file system with the temp folder moved into a scratch folder, so
// that what the recorder leaves there can be seen apart from other programs.
class ScratchTempFiles final : public FileSystem {
public:
    explicit ScratchTempFiles(std::string tempFolder) : temp_(std::move(tempFolder)) {}
    PathKind kind(const std::string& path) override { return files_.kind(path); }
    bool createDirectory(const std::string& path) override { return files_.createDirectory(path); }
    bool removeFile(const std::string& path) override { return files_.removeFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override { return files_.moveFile(from, to); }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override { return files_.openForReading(path); }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override { return files_.createNew(path); }
    std::optional<std::string> tempFolder() override { return temp_; }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        return files_.createUniqueFile(folder, prefix);
    }

private:
    kq::win32::Win32FileSystem files_;
    std::string temp_;
};

// The names of the files in a folder.
inline std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const kq::win32::FindHandle search(FindFirstFileW(kq::win32::wide(folder + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(kq::win32::narrow(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// A piece `width` x `height` pixels: filled with `color` but for a margin of
// 4 pixels, through which what lies beneath shows.
inline void writePiece(const std::string& path, std::int32_t width, std::int32_t height, COLORREF color) {
    const RECT frame{0, 0, static_cast<LONG>(std::lround(width * GetHimetricPerPixel(0))),
                     static_cast<LONG>(std::lround(height * GetHimetricPerPixel(1)))};
    kq::win32::EnhMetafileRecorder recorder =
        kq::win32::recordEnhMetafile(nullptr, kq::win32::wide(path).c_str(), frame);
    const kq::win32::Brush brush(CreateSolidBrush(color));
    const RECT inner{4, 4, width - 4, height - 4};
    FillRect(recorder.get(), &inner, brush.get());
    recorder.close();
}

inline ENHMETAHEADER headerOf(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    return header;
}

// A metafile played into a white bitmap of the given size.
class Rendered {
public:
    Rendered(HENHMETAFILE metafile, std::int32_t width, std::int32_t height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
        const kq::win32::Bitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const kq::win32::Selection drawing = kq::win32::selectObject(dc.get(), bitmap.get());
        const RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc.get(), metafile, &all);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(p, p + static_cast<std::size_t>(width) * height);
    }
    COLORREF at(std::int32_t x, std::int32_t y) const {
        const std::uint32_t bgr = pixels_.at(static_cast<std::size_t>(y) * width_ + x);
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

private:
    std::int32_t width_;
    std::vector<std::uint32_t> pixels_;
};

// How much of the GDI the process holds: the system's count of its objects
// where the system keeps one; else (Wine) the highest slot of the handle table
// that a burst of new objects takes, which rises with every object left behind.
inline long gdiLoad() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    std::vector<kq::win32::Brush> probes;
    long highest = 0;
    for (int i = 0; i < 64; ++i) {
        probes.emplace_back(CreateSolidBrush(RGB(i, 1, 2)));
        highest = std::max(highest, static_cast<long>(reinterpret_cast<std::uintptr_t>(probes.back().get()) & 0xFFFF));
    }
    return highest;
}

}  // namespace kq::addin::recording::win32::test
