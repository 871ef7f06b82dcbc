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
    const HANDLE search = FindFirstFileW(kq::win32::wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(kq::win32::narrow(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A piece `width` x `height` pixels: filled with `color` but for a margin of
// 4 pixels, through which what lies beneath shows.
inline void writePiece(const std::string& path, std::int32_t width, std::int32_t height, COLORREF color) {
    const RECT frame{0, 0, static_cast<LONG>(std::lround(width * GetHimetricPerPixel(0))),
                     static_cast<LONG>(std::lround(height * GetHimetricPerPixel(1)))};
    const HDC dc = CreateEnhMetaFileW(nullptr, kq::win32::wide(path).c_str(), &frame, nullptr);
    const HBRUSH brush = CreateSolidBrush(color);
    const RECT inner{4, 4, width - 4, height - 4};
    FillRect(dc, &inner, brush);
    DeleteObject(brush);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
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
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc, metafile, &all);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(p, p + static_cast<std::size_t>(width) * height);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
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
    std::vector<HBRUSH> probes;
    long highest = 0;
    for (int i = 0; i < 64; ++i) {
        const HBRUSH probe = CreateSolidBrush(RGB(i, 1, 2));
        probes.push_back(probe);
        highest = std::max(highest, static_cast<long>(reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF));
    }
    for (const HBRUSH probe : probes) DeleteObject(probe);
    return highest;
}

}  // namespace kq::addin::recording::win32::test
