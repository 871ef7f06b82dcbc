#include "tests/addin/recording/win32/window_capture.h"

#include <cstdio>

#include "common/win32/bitmaps.h"
#include "common/win32/handles.h"

namespace kq::addin::recording::test {

namespace {

using namespace kq::win32;

struct Canvas {
    DeviceContext dc = memoryDc(nullptr);
    std::uint32_t* bits = nullptr;  // before the bitmap, which sets it
    Bitmap bitmap;
    int width;
    int height;

    Canvas(int w, int h) : bitmap(topDownBitmap(w, h, bits)), width(w), height(h) {}

    Picture picture() const {
        Picture p;
        p.width = width;
        p.height = height;
        const std::uint32_t* px = bits;
        p.pixels.assign(px, px + static_cast<std::size_t>(width) * height);
        for (auto& v : p.pixels) v &= 0xFFFFFF;
        return p;
    }
};

}  // namespace

Picture printClient(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    Canvas canvas(r.right, r.bottom);
    {
        const Selection use = selectObject(canvas.dc.get(), canvas.bitmap.get());
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
    }
    return canvas.picture();
}

Picture captureWindow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine draws a window into a surface of its own and hands it to the
    // display when the thread next waits for messages; the screen shows the
    // window only after that.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    RECT r;
    GetWindowRect(hwnd, &r);
    Canvas canvas(r.right - r.left, r.bottom - r.top);
    {
        const Selection use = selectObject(canvas.dc.get(), canvas.bitmap.get());
        const WindowDc screen = windowDc(nullptr);
        BitBlt(canvas.dc.get(), 0, 0, canvas.width, canvas.height, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    return canvas.picture();
}

bool saveBmp(const Picture& picture, const std::wstring& fileName) {
    const std::wstring folder = L"" KQ_SHOT_DIR;
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"/" + fileName;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const int rowBytes = (picture.width * 3 + 3) & ~3;
    const DWORD imageBytes = static_cast<DWORD>(rowBytes) * picture.height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;  // bottom row first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1;
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes));
    for (int y = picture.height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t v = picture.at(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(v);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(v >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(v >> 16);
        }
        ok = fwrite(row.data(), row.size(), 1, f) == 1;
    }
    return fclose(f) == 0 && ok;
}

}  // namespace kq::addin::recording::test
