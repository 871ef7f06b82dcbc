#include "addin/recording/win32/clipboard_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/handles.h"

namespace kq::addin::recording::win32 {
namespace {

using namespace kq::win32;
using F = ClipFormat;
using Bytes = std::vector<unsigned char>;

// The test's own hand on the clipboard, standing in for the user and the host.
class TestClipboard {
public:
    // Empties the clipboard and lets `fill` place formats on it.
    void replace(const std::function<void()>& fill) {
        const OpenedClipboard open = openClipboard(window_.get());
        ASSERT_TRUE(open);
        EmptyClipboard();
        fill();
    }
    std::vector<UINT> formats() {
        std::vector<UINT> out;
        if (const OpenedClipboard open = openClipboard(window_.get())) {
            for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
        }
        return out;
    }
    // Reads one format while the clipboard is open.
    template <typename T>
    T read(UINT format, const std::function<T(HANDLE)>& reader) {
        T value{};
        const OpenedClipboard open = openClipboard(window_.get());
        if (!open) return value;
        if (HANDLE h = GetClipboardData(format)) value = reader(h);
        return value;
    }

private:
    OwnedWindow window_ = messageWindow();
};

// Hands `owned` to the clipboard, which lets go of it from then on.
template <typename Owned>
bool place(UINT format, Owned owned) {
    if (!SetClipboardData(format, owned.get())) return false;
    owned.release();
    return true;
}

bool putBytes(UINT format, const void* data, std::size_t size) { return place(format, globalCopy(data, size)); }

Bytes bytesOf(HANDLE h) {
    const LockedGlobal lock = lockGlobal(h);
    const auto* p = static_cast<const unsigned char*>(lock.get());
    return Bytes(p, p + lock.size());
}

std::wstring unicodeText(HANDLE h) { return static_cast<const wchar_t*>(lockGlobal(h).get()); }

// A 2 x 2 bitmap whose four pixels differ.
const std::vector<std::uint32_t> kPixels = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456};

Bitmap makeBitmap() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const WindowDc screen = windowDc(nullptr);
    Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 2, 2));
    SetDIBits(screen.get(), bitmap.get(), 0, 2, kPixels.data(), &info, DIB_RGB_COLORS);
    return bitmap;
}

std::vector<std::uint32_t> pixelsOf(HBITMAP bitmap) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(4);
    const WindowDc screen = windowDc(nullptr);
    GetDIBits(screen.get(), bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

Bytes makeDib() {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 16, 0, 0, 0, 0};
    Bytes dib(sizeof header + 16);
    std::memcpy(dib.data(), &header, sizeof header);
    std::memcpy(dib.data() + sizeof header, kPixels.data(), 16);
    return dib;
}

Metafile makeMetafile() {
    HDC dc = CreateMetaFileW(nullptr);
    Rectangle(dc, 1, 2, 300, 200);
    TextOutW(dc, 5, 5, L"頁", 1);
    return Metafile(CloseMetaFile(dc));
}

Bytes metafileBits(HMETAFILE mf) {
    Bytes bits(GetMetaFileBitsEx(mf, 0, nullptr));
    GetMetaFileBitsEx(mf, static_cast<UINT>(bits.size()), bits.data());
    return bits;
}

const UINT kLink = RegisterClipboardFormatW(L"Link");
const UINT kHostCells = RegisterClipboardFormatW(L"Kez test cell format");
const std::wstring kUnicodeText = L"印刷履歴 ✓ ©";  // ✓ has no Shift-JIS code
const Bytes kLinkBytes = {'H', 'o', 's', 't', 0, 'B', 'o', 'o', 'k', '1', 0, 'R', '1', 'C', '1', 0, 0};

// What recording a sheet leaves on the clipboard: the host's own cell format
// and a page text.
void recordingMess(TestClipboard& user) {
    user.replace([] {
        putBytes(kHostCells, "cells", 6);
        putBytes(CF_TEXT, "page text", 10);
    });
}

TEST(ClipboardWin32, EachKeptFormatComesBackWhole) {
    struct Case {
        const char* name;
        std::function<void()> place;
        std::vector<F> kept;
        std::function<void(TestClipboard&)> check;
    };
    const std::vector<Case> cases = {
        {"Unicode text",
         [] { putBytes(CF_UNICODETEXT, kUnicodeText.c_str(), (kUnicodeText.size() + 1) * sizeof(wchar_t)); },
         {F::Text},
         [](TestClipboard& c) {
             EXPECT_EQ(c.read<std::wstring>(CF_UNICODETEXT, unicodeText), kUnicodeText);
             EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
         }},
        {"ANSI text", [] { putBytes(CF_TEXT, "plain", 6); }, {F::Text},
         [](TestClipboard& c) {
             const Bytes text = c.read<Bytes>(CF_TEXT, bytesOf);
             EXPECT_EQ(std::string(reinterpret_cast<const char*>(text.data())), "plain");
         }},
        {"link", [] { putBytes(kLink, kLinkBytes.data(), kLinkBytes.size()); }, {F::Link},
         [](TestClipboard& c) {
             Bytes link = c.read<Bytes>(kLink, bytesOf);
             link.resize(kLinkBytes.size());
             EXPECT_EQ(link, kLinkBytes);
         }},
        {"bitmap", [] { place(CF_BITMAP, makeBitmap()); }, {F::Bitmap, F::Dib},
         [](TestClipboard& c) {
             EXPECT_EQ(c.read<std::vector<std::uint32_t>>(CF_BITMAP, [](HANDLE h) { return pixelsOf(static_cast<HBITMAP>(h)); }),
                       kPixels);
         }},
        {"device-independent bitmap",
         [] {
             const Bytes dib = makeDib();
             putBytes(CF_DIB, dib.data(), dib.size());
         },
         {F::Bitmap, F::Dib},
         [](TestClipboard& c) {
             Bytes dib = c.read<Bytes>(CF_DIB, bytesOf);
             const Bytes expected = makeDib();
             ASSERT_GE(dib.size(), expected.size());
             dib.resize(expected.size());
             EXPECT_EQ(dib, expected);
         }},
        {"palette",
         [] {
             struct {
                 LOGPALETTE head;
                 PALETTEENTRY more[2];
             } log{{0x300, 3, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}, {7, 8, 9, 0}}};
             place(CF_PALETTE, Palette(CreatePalette(&log.head)));
         },
         {F::Palette},
         [](TestClipboard& c) {
             const auto entries = c.read<std::vector<int>>(CF_PALETTE, [](HANDLE h) {
                 PALETTEENTRY e[3] = {};
                 std::vector<int> out;
                 const UINT n = GetPaletteEntries(static_cast<HPALETTE>(h), 0, 3, e);
                 for (UINT i = 0; i < n; ++i) out.insert(out.end(), {e[i].peRed, e[i].peGreen, e[i].peBlue});
                 return out;
             });
             EXPECT_EQ(entries, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
         }},
        {"metafile picture",
         [] {
             // The picture's metafile goes with the picture.
             Metafile metafile = makeMetafile();
             const METAFILEPICT pict{MM_ANISOTROPIC, 3000, 2000, metafile.get()};
             if (putBytes(CF_METAFILEPICT, &pict, sizeof pict)) metafile.release();
         },
         {F::Metafile},
         [](TestClipboard& c) {
             struct Pict {
                 LONG mm = 0, x = 0, y = 0;
                 Bytes bits;
             };
             const Pict got = c.read<Pict>(CF_METAFILEPICT, [](HANDLE h) {
                 const LockedGlobal lock = lockGlobal(h);
                 const auto* p = static_cast<const METAFILEPICT*>(lock.get());
                 return Pict{p->mm, p->xExt, p->yExt, metafileBits(p->hMF)};
             });
             EXPECT_EQ(got.mm, MM_ANISOTROPIC);
             EXPECT_EQ(got.x, 3000);
             EXPECT_EQ(got.y, 2000);
             EXPECT_EQ(got.bits, metafileBits(makeMetafile().get()));
         }},
    };
    TestClipboard user;
    Win32Clipboard clipboard;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        user.replace(c.place);
        ClipboardKeeper keeper;
        keeper.BackupClipboard(clipboard);
        EXPECT_EQ(keeper.keptFormats(), c.kept);

        recordingMess(user);
        keeper.RestoreClipboard(clipboard);
        c.check(user);
        EXPECT_FALSE(IsClipboardFormatAvailable(kHostCells));
    }
}

TEST(ClipboardWin32, EmptyClipboardStaysEmpty) {
    TestClipboard user;
    Win32Clipboard clipboard;
    user.replace([] {});
    ClipboardKeeper keeper;
    keeper.BackupClipboard(clipboard);
    EXPECT_TRUE(keeper.keptFormats().empty());
    recordingMess(user);
    keeper.RestoreClipboard(clipboard);
    EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST(ClipboardWin32, BitmapAndDibBothComeBackBitmapFirst) {
    TestClipboard user;
    Win32Clipboard clipboard;
    user.replace([] {
        const Bytes dib = makeDib();
        putBytes(CF_DIB, dib.data(), dib.size());
        place(CF_BITMAP, makeBitmap());
        putBytes(CF_UNICODETEXT, kUnicodeText.c_str(), (kUnicodeText.size() + 1) * sizeof(wchar_t));
    });
    ClipboardKeeper keeper;
    keeper.BackupClipboard(clipboard);
    EXPECT_EQ(keeper.keptFormats(), (std::vector<F>{F::Bitmap, F::Dib, F::Text}));

    recordingMess(user);
    keeper.RestoreClipboard(clipboard);
    // The system may list formats it makes from these (such as a version 5
    // DIB) among them; only the order of the ones put back matters.
    const std::vector<UINT> formats = user.formats();
    const auto position = [&](UINT f) { return std::find(formats.begin(), formats.end(), f) - formats.begin(); };
    EXPECT_LT(position(CF_BITMAP), position(CF_DIB));
    EXPECT_LT(position(CF_DIB), position(CF_UNICODETEXT));
    EXPECT_LT(position(CF_UNICODETEXT), static_cast<std::ptrdiff_t>(formats.size()));
    EXPECT_EQ(user.read<std::wstring>(CF_UNICODETEXT, unicodeText), kUnicodeText);
}

// The host, or a clipboard viewer, holds the clipboard for a moment while it
// reads or copies: the user's copy is kept and put back all the same.
TEST(ClipboardWin32, WaitsForAClipboardAnotherProgramHoldsForAMoment) {
    TestClipboard user;
    Win32Clipboard clipboard;
    user.replace([] { putBytes(CF_UNICODETEXT, kUnicodeText.c_str(), (kUnicodeText.size() + 1) * sizeof(wchar_t)); });
    const auto heldForAMoment = [] {
        const KernelHandle holding(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread holder([&] {
            const bool open = OpenClipboard(nullptr) != FALSE;
            SetEvent(holding.get());
            if (!open) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            CloseClipboard();
        });
        WaitForSingleObject(holding.get(), 5000);
        return holder;
    };

    ClipboardKeeper keeper;
    std::thread holder = heldForAMoment();
    keeper.BackupClipboard(clipboard);
    holder.join();
    EXPECT_EQ(keeper.keptFormats(), std::vector<F>{F::Text});

    recordingMess(user);
    holder = heldForAMoment();
    keeper.RestoreClipboard(clipboard);
    holder.join();
    EXPECT_EQ(user.read<std::wstring>(CF_UNICODETEXT, unicodeText), kUnicodeText);
}

}  // namespace
}  // namespace kq::addin::recording::win32
