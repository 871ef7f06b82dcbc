#include "addin/recording/win32/page_composer_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "addin/recording/page_images.h"
#include "common/temp_paths.h"
#include "common/win32/handles.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_scratch.h"

namespace kq::addin::recording::win32 {
namespace {

constexpr COLORREF kLight = RGB(240, 240, 250);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Piece {
    PieceKind kind;
    std::int32_t width;
    std::int32_t height;
    COLORREF color;
};

const Piece kCorner{PieceKind::corner, 40, 20, RGB(255, 0, 0)};
const Piece kColumns{PieceKind::titleColumns, 40, 60, RGB(0, 255, 0)};
const Piece kRows{PieceKind::titleRows, 100, 20, RGB(0, 0, 255)};
const Piece kBody{PieceKind::body, 100, 60, RGB(255, 255, 0)};

class Composer : public ::testing::Test {
protected:
    // The pieces as files, in position order.
    std::vector<PageEntry> write(const std::vector<Piece>& pieces) {
        std::vector<PageEntry> entries;
        for (const Piece& p : pieces) {
            const std::string path = temp.GetTempFileFullpath("KEZ", "");
            test::writePiece(path, p.width, p.height, p.color);
            entries.push_back({1, static_cast<std::int32_t>(entries.size() + 1),
                               static_cast<std::int32_t>(pieces.size()), p.kind, path});
        }
        return entries;
    }
    void remove(const std::vector<PageEntry>& entries) {
        for (const PageEntry& e : entries) files.removeFile(e.path);
    }

    kq::test::ScratchFolder scratch{L"kq_composer"};
    test::ScratchTempFiles files{scratch.path()};
    kq::test::ScriptedPrompts prompts;
    TempPaths temp{files, prompts, "Brelmont for Excel"};
    Win32PageComposer composer{prompts, "Brelmont for Excel"};
};

TEST_F(Composer, SizeOfAPixelIsTheScreensUnlessItDoesNotTell) {
    const kq::win32::WindowDc screen = kq::win32::windowDc(nullptr);
    const double x = GetDeviceCaps(screen.get(), HORZSIZE) * 100.0 / GetDeviceCaps(screen.get(), HORZRES);
    const double y = GetDeviceCaps(screen.get(), VERTSIZE) * 100.0 / GetDeviceCaps(screen.get(), VERTRES);
    ASSERT_GT(x, 0);
    EXPECT_DOUBLE_EQ(GetHimetricPerPixel(0), x);
    EXPECT_DOUBLE_EQ(GetHimetricPerPixel(1), y);
    EXPECT_EQ(GetHimetricPerPixel(2), 0);
    EXPECT_FALSE(MetafileByPrinter);

    // The frame's right and bottom edges over the size of a pixel; its left and top are not taken off.
    const std::string path = scratch.path("framed.emf");
    const RECT frame{100, 200, static_cast<LONG>(std::lround(300 * x)), static_cast<LONG>(std::lround(150 * y))};
    kq::win32::recordEnhMetafile(nullptr, kq::win32::wide(path).c_str(), frame).close();
    const kq::win32::EnhMetafile picture(GetEnhMetaFileW(kq::win32::wide(path).c_str()));
    std::int32_t width = 0;
    std::int32_t height = 0;
    ASSERT_TRUE(GetMetafileSizePixel(picture.get(), width, height));
    EXPECT_NEAR(width, 300, 1);
    EXPECT_NEAR(height, 150, 1);
    EXPECT_FALSE(GetMetafileSizePixel(nullptr, width, height));
}

TEST_F(Composer, PiecesMakeOnePageTheSizeOfTheirSum) {
    struct Case {
        const char* name;
        std::vector<Piece> pieces;
    };
    const std::vector<Case> cases = {
        {"title rows above", {kRows, kBody}},
        {"title columns beside", {kColumns, kBody}},
        {"title columns as wide as the body, still beside",
         {{PieceKind::titleColumns, 100, 60, RGB(0, 255, 0)}, kBody}},
        {"corner and both titles", {kCorner, kColumns, kRows, kBody}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<PageEntry> entries = write(c.pieces);
        std::vector<PieceKind> kinds;
        std::vector<PixelSize> sizes;
        for (const Piece& p : c.pieces) {
            kinds.push_back(p.kind);
            sizes.push_back({p.width, p.height});
        }
        const PageLayout layout = layOutPage(kinds, sizes);

        const std::optional<std::string> path = CombinePagePieces(composer, temp, entries);
        ASSERT_TRUE(path);
        const kq::win32::EnhMetafile page(GetEnhMetaFileW(kq::win32::wide(*path).c_str()));
        ASSERT_TRUE(page);
        const ENHMETAHEADER header = test::headerOf(page.get());
        EXPECT_EQ(header.rclFrame.left, 0);
        EXPECT_EQ(header.rclFrame.top, 0);
        EXPECT_NEAR(header.rclFrame.right, layout.page.width * GetHimetricPerPixel(0), 1);
        EXPECT_NEAR(header.rclFrame.bottom, layout.page.height * GetHimetricPerPixel(1), 1);
        std::int32_t width = 0;
        std::int32_t height = 0;
        ASSERT_TRUE(GetMetafileSizePixel(page.get(), width, height));
        EXPECT_EQ(width, layout.page.width);
        EXPECT_EQ(height, layout.page.height);

        // Each piece in its place; the titles on the light back, the body on none.
        const test::Rendered pixels(page.get(), width, height);
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            SCOPED_TRACE(i);
            const PiecePlacement& at = layout.pieces[i];
            EXPECT_EQ(pixels.at(at.left + at.width / 2, at.top + at.height / 2), c.pieces[i].color);
            EXPECT_EQ(pixels.at(at.left + 2, at.top + 2), c.pieces[i].kind == PieceKind::body ? kWhite : kLight);
        }
        files.removeFile(*path);
        remove(entries);
    }
    EXPECT_EQ(test::filesIn(scratch.path()), std::vector<std::string>{});
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Composer, UnreadablePieceGivesNoPageAndLeavesNoFile) {
    std::vector<PageEntry> entries = write({kRows, kBody});
    files.removeFile(entries[1].path);
    EXPECT_FALSE(CombinePagePieces(composer, temp, entries));
    // A path the piece can't be read from, but that the page knows a size for.
    const std::vector<PiecePlacement> placed = {{entries[1].path, 0, 0, 10, 10, false}};
    const std::string page = scratch.path("page.emf");
    EXPECT_FALSE(composer.combine(page, {10, 10}, placed));
    files.removeFile(entries[0].path);
    EXPECT_EQ(test::filesIn(scratch.path()), std::vector<std::string>{});
}

TEST_F(Composer, ManyPagesLeaveNoGdiObjectBehind) {
    const std::vector<PageEntry> entries = write({kCorner, kColumns, kRows, kBody});
    const auto onePage = [&] {
        const std::optional<std::string> path = CombinePagePieces(composer, temp, entries);
        ASSERT_TRUE(path);
        files.removeFile(*path);
    };
    onePage();
    const long before = test::gdiLoad();
    for (int i = 0; i < 300; ++i) onePage();
    const long after = test::gdiLoad();
    EXPECT_LT(after - before, 32) << before << " -> " << after;
    remove(entries);
}

}  // namespace
}  // namespace kq::addin::recording::win32
