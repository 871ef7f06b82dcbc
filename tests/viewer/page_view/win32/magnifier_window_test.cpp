// The loupe on its own: round and as large as its lens, centred on the
// pointer, the page around the pointer enlarged by its factor under the
// translucent lens, and the lens alone where the page is not.

#include "viewer/page_view/win32/magnifier_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "common/win32/bitmaps.h"
#include "common/win32/forms.h"
#include "tests/support/win32/window_driver.h"
#include "viewer/page_view/magnifier.h"

namespace kq::viewer::win32 {
namespace {

constexpr int kPageWidth = 400, kPageHeight = 300, kEdge = 200;
constexpr COLORREF kBeside = RGB(252, 252, 252);
// The white lens over black lets this much through; over white, white.
constexpr int kBlackUnderLens = 100;
constexpr int kBesideUnderLens = 253;
constexpr int kEdgeLineUnderLens = 222;

int grey(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

// A page of 400 x 300 pixels at its natural size: black left of column 200, white from there.
struct HalfBlackPage {
    std::uint32_t* bits = nullptr;
    kq::win32::Bitmap bitmap = kq::win32::topDownBitmap(kPageWidth, kPageHeight, bits);
    HalfBlackPage() {
        for (int y = 0; y < kPageHeight; ++y) {
            for (int x = 0; x < kPageWidth; ++x) bits[y * kPageWidth + x] = x < kEdge ? 0 : 0xFFFFFF;
        }
    }
    LoupeSource source(const Twips& screen) const {
        return {bitmap.get(), {kPageWidth, kPageHeight}, kPageWidth * screen.perPixelX(),
                kPageHeight * screen.perPixelY(), kBeside};
    }
};

struct Loupe {
    Twips screen = kq::win32::screenTwips();
    kq::win32::OwnedWindow owner = test::plainWindow(L"owner", {20, 20, 420, 320});
    frmZoom window{screen};
    HalfBlackPage page;

    Loupe() { EXPECT_TRUE(window.create(owner.get())); }
    // What the loupe shows with the pointer on the page's natural pixel (px, py).
    test::Picture at(double px, double py, double zoom, bool withPage = true) {
        const LoupeSource source = withPage ? page.source(screen) : LoupeSource{.background = kBeside};
        window.SetPosition(px * screen.perPixelX() * zoom, py * screen.perPixelY() * zoom, zoom, source, {500, 400});
        return test::printClient(window.hwnd());
    }
    int middle() const { return window.pixels().cx / 2; }
};

TEST(Magnifier, IsARoundWindowAsLargeAsItsLensCentredOnThePointer) {
    Loupe loupe;
    const HWND w = loupe.window.hwnd();
    EXPECT_FALSE(IsWindowVisible(w)) << "hidden until placed";
    loupe.at(100, 100, 1);
    ASSERT_TRUE(IsWindowVisible(w));
    const SIZE size = loupe.window.pixels();
    EXPECT_EQ(size.cx, loupe.screen.x(kLoupeSide));
    EXPECT_EQ(size.cy, loupe.screen.y(kLoupeSide));
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 500 - size.cx / 2);
    EXPECT_EQ(r.top, 400 - size.cy / 2);
    EXPECT_EQ(r.right - r.left, size.cx);

    const kq::win32::Region round(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, round.get()), ERROR);
    EXPECT_TRUE(PtInRegion(round.get(), size.cx / 2, size.cy / 2));
    EXPECT_TRUE(PtInRegion(round.get(), 2, size.cy / 2));
    EXPECT_FALSE(PtInRegion(round.get(), 4, 4)) << "the corners are cut off";
    EXPECT_FALSE(PtInRegion(round.get(), size.cx - 4, size.cy - 4));

    EXPECT_EQ(GetWindow(w, GW_OWNER), loupe.owner.get());
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetActiveWindow(), w);
}

TEST(Magnifier, EnlargesThePageAroundThePointerByItsFactor) {
    const struct {
        double zoom, factor;
    } cases[] = {{1, 2}, {0.8, 1.6}, {0.4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom);
        Loupe loupe;
        // Ten natural pixels left of the page's black-to-white edge.
        const test::Picture shown = loupe.at(kEdge - 10, 150, c.zoom);
        const int y = loupe.middle();
        const int edge = static_cast<int>(std::floor(loupe.middle() + 0.5 + 10 * c.factor));
        EXPECT_NEAR(grey(shown.at(edge - 3, y)), kBlackUnderLens, 3);
        EXPECT_NEAR(grey(shown.at(loupe.middle(), y)), kBlackUnderLens, 3);
        EXPECT_EQ(grey(shown.at(edge + 3, y)), 255);
        EXPECT_EQ(grey(shown.at(edge + 10, y)), 255);
    }
}

TEST(Magnifier, ThePagesCornerUnderThePointerFillsOnlyTheLowerRightQuarter) {
    Loupe loupe;
    const test::Picture shown = loupe.at(0, 0, 1);
    const int m = loupe.middle();
    EXPECT_NEAR(grey(shown.at(m - 40, m - 40)), kBesideUnderLens, 2);
    EXPECT_NEAR(grey(shown.at(m + 40, m - 40)), kBesideUnderLens, 2);
    EXPECT_NEAR(grey(shown.at(m - 40, m + 40)), kBesideUnderLens, 2);
    EXPECT_NEAR(grey(shown.at(m + 40, m + 40)), kBlackUnderLens, 3);
    // The grey line around the part of the page shown, just outside it.
    const int left = loupe.screen.x(kLoupeSide / 2);
    EXPECT_NEAR(grey(shown.at(left - 1, m + 40)), kEdgeLineUnderLens, 3);
    EXPECT_NEAR(grey(shown.at(m + 40, left - 1)), kEdgeLineUnderLens, 3);
    EXPECT_NEAR(grey(shown.at(left, m + 40)), kBlackUnderLens, 3);
}

TEST(Magnifier, FarFromThePageOnlyTheLensShows) {
    Loupe loupe;
    const test::Picture lensAlone = loupe.at(0, 0, 0.8, false);
    const test::Picture farAway = loupe.at(-90000, 150, 0.8);
    EXPECT_EQ(farAway.pixels, lensAlone.pixels);
    const int m = loupe.middle();
    EXPECT_NEAR(grey(farAway.at(m, m)), kBesideUnderLens, 2);
    EXPECT_LT(grey(farAway.at(1, m)), grey(farAway.at(m, m)) - 20) << "the lens's darker rim";
    RECT r{};
    GetWindowRect(loupe.window.hwnd(), &r);
    EXPECT_EQ(r.left, 500 - loupe.window.pixels().cx / 2) << "still on the pointer";
}

}  // namespace
}  // namespace kq::viewer::win32
