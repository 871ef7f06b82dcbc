#include "addin/core/win32/icon_faces_win32.h"

#include <vector>

#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::addin::win32 {

namespace {

using kq::win32::Bitmap;
using kq::win32::DeviceContext;
using kq::win32::GlobalMemory;

constexpr int kFaceSize = 16;

// A copy of the picture on the clipboard that can be drawn on; empty when there is none.
Bitmap clipboardPicture(HWND owner) {
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner);
    if (!open) return {};
    const auto picture = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!picture) return {};
    return Bitmap(static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

bool drawOnto(HBITMAP face, HICON icon) {
    const DeviceContext display(CreateICW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return false;
    const DeviceContext memory = kq::win32::memoryDc(display.get());
    if (!memory) return false;
    const kq::win32::Selection selected = kq::win32::selectObject(memory.get(), face);
    if (!selected) return false;
    return DrawIconEx(memory.get(), 0, 0, icon, kFaceSize, kFaceSize, 0, nullptr, DI_NORMAL) != 0;
}

// The bitmap as CF_DIB carries it: a header, then 32-bit pixels from the bottom row up.
GlobalMemory packedDib(HBITMAP bitmap) {
    BITMAP shape{};
    if (!GetObjectW(bitmap, sizeof shape, &shape) || shape.bmWidth <= 0 || shape.bmHeight <= 0) return {};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = shape.bmWidth;
    header.biHeight = shape.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const std::size_t pixels = static_cast<std::size_t>(shape.bmWidth) * static_cast<std::size_t>(shape.bmHeight);
    std::vector<unsigned char> block(sizeof header + pixels * 4);
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader = header;
    const kq::win32::WindowDc screen = kq::win32::windowDc(nullptr);
    if (!screen || GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(shape.bmHeight), block.data() + sizeof header,
                             info, DIB_RGB_COLORS) != shape.bmHeight) {
        return {};
    }
    // GetDIBits may have written a colour table's worth into the header's place; the header is what was asked.
    info->bmiHeader = header;
    return kq::win32::globalCopy(block.data(), block.size());
}

// Empties the clipboard and puts the face on it as a bitmap and as a device-independent bitmap.
bool putFace(HWND owner, HBITMAP face) {
    Bitmap bitmap(static_cast<HBITMAP>(CopyImage(face, IMAGE_BITMAP, 0, 0, 0)));
    GlobalMemory dib = packedDib(face);
    if (!bitmap || !dib) return false;
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner);
    if (!open || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_BITMAP, bitmap.get())) return false;
    bitmap.release();  // the clipboard's now
    if (!SetClipboardData(CF_DIB, dib.get())) return false;
    dib.release();
    return true;
}

}  // namespace

Win32IconFaces::Win32IconFaces() : owner_(kq::win32::messageWindow()) { kept_.BackupClipboard(userClipboard_); }

Win32IconFaces::~Win32IconFaces() {
    try {
        kept_.RestoreClipboard(userClipboard_);
    } catch (...) {
        // What could not be put back is lost, as when the clipboard refuses it.
    }
}

bool Win32IconFaces::drawIcon(std::string_view iconResourceName) {
    try {
        const Bitmap face = clipboardPicture(owner_.get());
        if (!face) return false;
        const kq::win32::Icon icon(static_cast<HICON>(LoadImageW(kq::win32::thisModule(),
                                                                 kq::win32::wide(iconResourceName).c_str(), IMAGE_ICON,
                                                                 kFaceSize, kFaceSize, LR_DEFAULTCOLOR)));
        if (!icon || !drawOnto(face.get(), icon.get())) return false;
        return putFace(owner_.get(), face.get());
    } catch (...) {
        return false;
    }
}

void Win32IconFaces::clearClipboard() {
    if (const auto open = kq::win32::openClipboard(owner_.get())) EmptyClipboard();
}

}  // namespace kq::addin::win32
