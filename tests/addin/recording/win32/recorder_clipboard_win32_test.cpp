#include "addin/recording/win32/recorder_clipboard_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/handles.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"

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

bool clipboardEmpty() { return CountClipboardFormats() == 0; }

// Each read takes what the host copied and leaves nothing behind, so that a
// copy that fails is never mistaken for the one before it.
TEST(Win32RecorderClipboard, TakesTheHostsPictureAndTextAndLeavesItEmpty) {
    host::sim::win32::Win32SimClipboard hostCopies;
    Win32RecorderClipboard clipboard;

    hostCopies.putPicture(twoByThree());
    const std::optional<std::vector<std::uint8_t>> picture = clipboard.takeEnhMetafile();
    ASSERT_TRUE(picture);
    EXPECT_TRUE(clipboardEmpty());
    {
        const kq::win32::EnhMetafile taken = test::metafileOf(*picture);
        ASSERT_TRUE(taken);
        const ENHMETAHEADER header = test::headerOf(taken.get());
        EXPECT_EQ(header.nBytes, picture->size());
        EXPECT_NEAR(header.rclFrame.right, 108 * 2540 / 72.0, 1);
        EXPECT_NEAR(header.rclFrame.bottom, 40.5 * 2540 / 72.0, 1);
    }

    hostCopies.putText("台帳\tB1\r\n\"two\nlines\"\tB2\r\n");
    EXPECT_EQ(clipboard.takeEnhMetafile(), std::nullopt);
    EXPECT_TRUE(clipboardEmpty());
    EXPECT_EQ(clipboard.takeText(), std::nullopt);

    hostCopies.putText("台帳\tB1\r\n\"two\nlines\"\tB2\r\n");
    EXPECT_EQ(clipboard.takeText(), "台帳\tB1\r\n\"two\nlines\"\tB2\r\n");
    EXPECT_TRUE(clipboardEmpty());
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
    const std::optional<std::string> text = clipboard.takeText();
    ASSERT_TRUE(text);
    if (GetACP() == 932) {
        EXPECT_EQ(text, "台帳");
    }
}

TEST(Win32RecorderClipboard, ManyReadsLeaveNoGdiObjectBehind) {
    host::sim::win32::Win32SimClipboard hostCopies;
    Win32RecorderClipboard clipboard;
    const auto read = [&] {
        hostCopies.putPicture(twoByThree());
        ASSERT_TRUE(clipboard.takeEnhMetafile());
    };
    read();
    const long before = test::gdiLoad();
    for (int i = 0; i < 300; ++i) read();
    EXPECT_LT(test::gdiLoad() - before, 32);
}

}  // namespace
}  // namespace kq::addin::recording::win32
