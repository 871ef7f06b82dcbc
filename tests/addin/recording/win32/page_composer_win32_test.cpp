#include "addin/recording/win32/page_composer_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "addin/recording/page_images.h"
#include "common/win32/handles.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"
#include "tests/support/scripted_prompts.h"

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

// The pieces of a page, in position order.
struct Pieces {
    explicit Pieces(const std::vector<Piece>& pieces) {
        for (const Piece& p : pieces) {
            entries.push_back({1, static_cast<std::int32_t>(entries.size() + 1),
                               static_cast<std::int32_t>(pieces.size()), p.kind,
                               test::piecePicture(p.width, p.height, p.color)});
        }
        for (const PageEntry& entry : entries) page.push_back(&entry);
    }
    std::vector<PageEntry> entries;
    std::vector<const PageEntry*> page;
};

class Composer : public ::testing::Test {
protected:
    kq::test::ScriptedPrompts prompts;
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
    const RECT frame{100, 200, static_cast<LONG>(std::lround(300 * x)), static_cast<LONG>(std::lround(150 * y))};
    const kq::win32::EnhMetafile picture = kq::win32::recordEnhMetafile(nullptr, nullptr, frame).close();
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
        const Pieces pieces(c.pieces);
        std::vector<PieceKind> kinds;
        std::vector<PixelSize> sizes;
        for (const Piece& p : c.pieces) {
            kinds.push_back(p.kind);
            sizes.push_back({p.width, p.height});
        }
        const PageLayout layout = layOutPage(kinds, sizes);

        const std::optional<std::vector<std::uint8_t>> bytes = CombinePagePieces(composer, pieces.page);
        ASSERT_TRUE(bytes);
        const kq::win32::EnhMetafile page = test::metafileOf(*bytes);
        ASSERT_TRUE(page);
        EXPECT_EQ(test::headerOf(page.get()).nBytes, bytes->size());
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
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Composer, UnreadablePieceGivesNoPage) {
    Pieces pieces({kRows, kBody});
    pieces.entries[1].picture = {1, 2, 3};
    EXPECT_FALSE(CombinePagePieces(composer, pieces.page));
    // A piece that can't be read, but that the page knows a size for.
    const std::vector<std::uint8_t> damaged(100, 0x55);
    EXPECT_FALSE(composer.combine({10, 10}, {{damaged, 0, 0, 10, 10, false}}));
    EXPECT_FALSE(composer.combine({10, 10}, {{{}, 0, 0, 10, 10, false}}));
    EXPECT_FALSE(composer.pieceSize(damaged));
}

TEST_F(Composer, ManyPagesLeaveNoGdiObjectBehind) {
    const Pieces pieces({kCorner, kColumns, kRows, kBody});
    const auto onePage = [&] { ASSERT_TRUE(CombinePagePieces(composer, pieces.page)); };
    onePage();
    const long before = test::gdiLoad();
    for (int i = 0; i < 300; ++i) onePage();
    const long after = test::gdiLoad();
    EXPECT_LT(after - before, 32) << before << " -> " << after;
}

}  // namespace
}  // namespace kq::addin::recording::win32
