#include "host/sim/win32/sim_clipboard_win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim::win32 {
namespace {

using test::SimWorld;

// Reads the clipboard as another program would; closes it on every path.
class ClipboardReader {
public:
    bool open() const { return static_cast<bool>(open_); }

    std::vector<unsigned char> bytes(UINT format) const {
        const kq::win32::LockedGlobal lock = kq::win32::lockGlobal(GetClipboardData(format));
        if (!lock) return {};
        const auto* b = static_cast<const unsigned char*>(lock.get());
        return std::vector<unsigned char>(b, b + lock.size());
    }

private:
    kq::win32::OpenedClipboard open_ = kq::win32::openClipboard(nullptr);
};

struct ClipboardWorld : SimWorld {
    ClipboardWorld() {
        app->setClipboard(clipboard);
        auto& s = *sheet1;
        s.setCell("B2", std::string("集計表"));
        s.setCell("C2", std::string("ABC"));
        s.setCell("B3", 1250.0, "1,250");
        s.setCell("C3", std::string("神田商事"));
        s.setCell("D4", std::string("二行の\nテキスト"));
        s.setColumnWidth(3, 16);
        s.setRowHeight(4, 30);
    }
    std::shared_ptr<Win32SimClipboard> clipboard = std::make_shared<Win32SimClipboard>();
};

struct MetafileContents {
    ENHMETAHEADER header{};
    std::vector<std::wstring> texts;
    std::vector<LOGFONTW> fonts;
};

int CALLBACK collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM into) {
    auto& contents = *reinterpret_cast<MetafileContents*>(into);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        contents.texts.emplace_back(chars, text->emrtext.nChars);
    } else if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
        contents.fonts.push_back(reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont);
    }
    return 1;
}

MetafileContents contentsOf(HENHMETAFILE picture) {
    MetafileContents contents;
    GetEnhMetaFileHeader(picture, sizeof contents.header, &contents.header);
    EnumEnhMetaFile(nullptr, picture, collect, &contents, nullptr);
    return contents;
}

LONG himetric(double points) { return std::lround(points * 2540 / 72); }

struct FrameCase {
    const char* range;
    double width;   // points
    double height;
};

TEST(SimClipboardWin32, ThePictureIsAnEnhancedMetafileOfTheRangesSize) {
    const FrameCase frames[] = {
        {"B2", 54, 13.5},
        {"B2:D4", 54 + 99.75 + 54, 13.5 + 13.5 + 30},  // 16 characters: 133 pixels
        {"A1:J50", 9 * 54 + 99.75, 49 * 13.5 + 30},
    };
    for (const FrameCase& f : frames) {
        ClipboardWorld w;
        w.sheet1->Range(f.range)->CopyPicture(xlPrinter, xlPicture);
        const ClipboardReader clip;
        ASSERT_TRUE(clip.open());
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT)) << f.range;
        const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
        ASSERT_NE(picture, nullptr) << f.range;
        const MetafileContents c = contentsOf(picture);
        EXPECT_EQ(c.header.rclFrame.left, 0) << f.range;
        EXPECT_EQ(c.header.rclFrame.top, 0) << f.range;
        EXPECT_EQ(c.header.rclFrame.right, himetric(f.width)) << f.range;
        EXPECT_EQ(c.header.rclFrame.bottom, himetric(f.height)) << f.range;
        EXPECT_GT(c.header.nRecords, 10u) << f.range;
    }
}

TEST(SimClipboardWin32, ThePictureDrawsTheCellTextsInTheJapaneseFont) {
    ClipboardWorld w;
    w.sheet1->Range("B2:D4")->CopyPicture(xlPrinter, xlPicture);
    const ClipboardReader clip;
    ASSERT_TRUE(clip.open());
    const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(picture, nullptr);
    const MetafileContents c = contentsOf(picture);
    for (const wchar_t* text : {L"集計表", L"ABC", L"1,250", L"神田商事", L"二行の", L"テキスト"}) {
        EXPECT_NE(std::find(c.texts.begin(), c.texts.end(), text), c.texts.end()) << kq::win32::narrow(text);
    }
    ASSERT_FALSE(c.fonts.empty());
    EXPECT_EQ(std::wstring(c.fonts.front().lfFaceName), L"MS UI Gothic");
    EXPECT_EQ(c.fonts.front().lfCharSet, SHIFTJIS_CHARSET);

    // Kept for a look: rendered to PNG by hand from the build folder.
    CreateDirectoryW(kq::win32::wide(KQ_SHOT_DIR).c_str(), nullptr);
    const std::wstring path = kq::win32::wide(std::string(KQ_SHOT_DIR) + "/sim_range_picture.emf");
    const kq::win32::EnhMetafile saved(CopyEnhMetaFileW(picture, path.c_str()));
    EXPECT_TRUE(saved);
}

TEST(SimClipboardWin32, TheTextIsUnicodeAndReadsInTheAnsiCodePage) {
    ClipboardWorld w;
    w.sheet1->Range("B2:C3")->Copy();
    const ClipboardReader clip;
    ASSERT_TRUE(clip.open());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE));

    const auto unicode = clip.bytes(CF_UNICODETEXT);
    const std::wstring expected = L"集計表\tABC\r\n1,250\t神田商事\r\n";
    ASSERT_GE(unicode.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(unicode.data())), expected);

    // Code page 932; the second byte of 表 is a backslash.
    const std::string ansi = "\x8F\x57\x8C\x76\x95\x5C\tABC\r\n1,250\t\x90\x5F\x93\x63\x8F\xA4\x8E\x96\r\n";
    const auto bytes = clip.bytes(CF_TEXT);
    ASSERT_GE(bytes.size(), ansi.size() + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), ansi);
}

// A picture another program puts on the clipboard as a bitmap of that size, in one colour.
void putBitmap(int width, int height, std::uint32_t colour) {
    const kq::win32::WindowDc screen = kq::win32::windowDc(nullptr);
    kq::win32::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    ASSERT_TRUE(bitmap);
    {
        const kq::win32::DeviceContext dc = kq::win32::memoryDc(screen.get());
        const kq::win32::Selection selected = kq::win32::selectObject(dc.get(), bitmap.get());
        const kq::win32::Brush brush(CreateSolidBrush(RGB(colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF)));
        const RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, brush.get());
    }
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get());
    ASSERT_TRUE(open);
    EmptyClipboard();
    ASSERT_TRUE(SetClipboardData(CF_BITMAP, bitmap.get()));
    bitmap.release();
}

TEST(SimClipboardWin32, FacesGoToTheClipboardAsBitmapsAndComeBackWhole) {
    Win32SimClipboard clipboard;
    ButtonFace face = builtInFace(611);
    face.pixels[0] = 0x123456;
    face.pixels[255] = 0xFEDCBA;
    clipboard.putFace(face);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(clipboard.takeFace(), face);

    struct Case {
        int width, height;
        bool taken;
    };
    // A picture of another size is fitted to the face; one too large to be a face, or none, gives none.
    for (const Case c : {Case{16, 16, true}, Case{32, 8, true}, Case{1, 1, true}, Case{1025, 16, false}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        putBitmap(c.width, c.height, 0x00FF00);
        const auto taken = clipboard.takeFace();
        ASSERT_EQ(taken.has_value(), c.taken);
        if (taken) {
            for (const std::uint32_t pixel : taken->pixels) ASSERT_EQ(pixel, 0x00FF00u);
        }
    }
    clipboard.putText("no picture");
    EXPECT_FALSE(clipboard.takeFace());
}

}  // namespace
}  // namespace kq::host::sim::win32
