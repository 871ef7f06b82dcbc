#include "addin/recording/win32/recorder_clipboard_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/handles.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"
#include "tests/support/win32_scratch.h"

namespace kq::addin::recording::win32 {
namespace {

// A range's picture as the simulated host draws it: 2 columns by 3 rows.
host::sim::RangeDrawing twoByThree() {
    host::sim::RangeDrawing drawing;
    drawing.width = 108;
    drawing.height = 40.5;
    drawing.columnEdges = {0, 54, 108};
    drawing.rowEdges = {0, 13.5, 27, 40.5};
    drawing.cells = {{0, 0, 54, 13.5, "台帳", host::sim::CellAlign::left}};
    return drawing;
}

TEST(Win32RecorderClipboard, ReadsTheHostsPictureAndText) {
    const kq::test::ScratchFolder scratch(L"kq_recorder_clipboard");
    host::sim::win32::Win32SimClipboard hostCopies;
    Win32RecorderClipboard clipboard;

    hostCopies.putPicture(twoByThree());
    EXPECT_TRUE(clipboard.hasEnhMetafile());
    EXPECT_FALSE(clipboard.hasText());
    const std::string path = scratch.path("piece.emf");
    ASSERT_TRUE(clipboard.saveEnhMetafile(path));
    {
        const kq::win32::EnhMetafile saved(GetEnhMetaFileW(kq::win32::wide(path).c_str()));
        ASSERT_TRUE(saved);
        const ENHMETAHEADER header = test::headerOf(saved.get());
        EXPECT_NEAR(header.rclFrame.right, 108 * 2540 / 72.0, 1);
        EXPECT_NEAR(header.rclFrame.bottom, 40.5 * 2540 / 72.0, 1);
    }

    hostCopies.putText("台帳\tB1\r\n\"two\nlines\"\tB2\r\n");
    EXPECT_FALSE(clipboard.hasEnhMetafile());
    EXPECT_TRUE(clipboard.hasText());
    EXPECT_EQ(clipboard.text(), "台帳\tB1\r\n\"two\nlines\"\tB2\r\n");
    const std::string nothing = scratch.path("nothing.emf");
    EXPECT_FALSE(clipboard.saveEnhMetafile(nothing));
    EXPECT_EQ(GetFileAttributesW(kq::win32::wide(nothing).c_str()), INVALID_FILE_ATTRIBUTES);

    clipboard.clear();
    EXPECT_FALSE(clipboard.hasEnhMetafile());
    EXPECT_FALSE(clipboard.hasText());
    EXPECT_EQ(clipboard.text(), std::nullopt);
}

TEST(Win32RecorderClipboard, TextPutInTheAnsiCodePageReadsAsUnicode) {
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    {
        const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get());
        ASSERT_TRUE(open);
        EmptyClipboard();
        const std::string ansi = "\x91\xe4\x92\xa0";  // 台帳 in code page 932
        kq::win32::GlobalMemory memory = kq::win32::globalCopy(ansi.c_str(), ansi.size() + 1);
        ASSERT_TRUE(SetClipboardData(CF_TEXT, memory.get()));
        memory.release();
    }

    Win32RecorderClipboard clipboard;
    EXPECT_TRUE(clipboard.hasText());
    if (GetACP() == 932) {
        EXPECT_EQ(clipboard.text(), "台帳");
    }
    clipboard.clear();
}

TEST(Win32RecorderClipboard, ManySavesLeaveNoGdiObjectBehind) {
    const kq::test::ScratchFolder scratch(L"kq_recorder_clipboard_gdi");
    host::sim::win32::Win32SimClipboard hostCopies;
    hostCopies.putPicture(twoByThree());
    Win32RecorderClipboard clipboard;
    const std::string path = scratch.path("piece.emf");
    const auto save = [&] {
        ASSERT_TRUE(clipboard.saveEnhMetafile(path));
        DeleteFileW(kq::win32::wide(path).c_str());
    };
    save();
    const long before = test::gdiLoad();
    for (int i = 0; i < 300; ++i) save();
    EXPECT_LT(test::gdiLoad() - before, 32);
    clipboard.clear();
}

}  // namespace
}  // namespace kq::addin::recording::win32
