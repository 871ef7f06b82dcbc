#include "viewer/page_view/magnifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace kq::viewer {
namespace {

const double kNaN = std::nan("");

TEST(Loupe, EnlargesTwiceTheViewButNeverBelowTheNaturalSize) {
    const struct {
        double scale, factor;
    } cases[] = {
        {0.8, 1.6}, {1, 2}, {0.51, 1.02},  // twice the view
        {0.5, 1},   {0.4, 1}, {0.1, 1},    // the natural size: more than twice the view
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(loupeFactor(c.scale), c.factor) << c.scale;
}

TEST(Loupe, OpensOnlyOverAPageDrawnAtAScale) {
    const struct {
        bool pageShown;
        double scale;
        bool opens;
    } cases[] = {
        {true, 0.8, true}, {true, 0.05, true},
        {true, 0, false},  // no page drawn yet
        {false, 0.8, false},  // the cross shows, the scale is an earlier page's
        {true, -1, false}, {true, kNaN, false},
    };
    for (const auto& c : cases) EXPECT_EQ(loupeOpens(c.pageShown, c.scale), c.opens) << c.pageShown << " " << c.scale;
}

void expectNear(const Rect& got, const Rect& want) {
    EXPECT_DOUBLE_EQ(got.left, want.left);
    EXPECT_DOUBLE_EQ(got.top, want.top);
    EXPECT_DOUBLE_EQ(got.width, want.width);
    EXPECT_DOUBLE_EQ(got.height, want.height);
}

TEST(Loupe, ShowsThePartOfThePageAroundThePointerCutToThePage) {
    constexpr double kSide = kLoupeSide;
    const struct {
        const char* what;
        double x, y, scale, pageWidth, pageHeight;
        std::optional<LoupePart> part;
    } cases[] = {
        {"inside the page: the whole loupe, 1.6 times natural", 2000, 1600, 0.8, 6000, 4000,
         LoupePart{{1398.4375, 898.4375, 2203.125, 2203.125}, {0, 0, kSide, kSide}}},
        {"the page's top-left corner at the centre: the lower-right quarter", 0, 0, 0.8, 6000, 4000,
         LoupePart{{0, 0, 1101.5625, 1101.5625}, {1762.5, 1762.5, 1762.5, 1762.5}}},
        {"the bottom-right corner at natural size: the upper-left quarter", 2400, 1600, 0.4, 6000, 4000,
         LoupePart{{4237.5, 2237.5, 1762.5, 1762.5}, {0, 0, 1762.5, 1762.5}}},
        {"a page smaller than the loupe: cut on every side", 500, 250, 1, 1000, 500,
         LoupePart{{0, 0, 1000, 500}, {762.5, 1262.5, 2000, 1000}}},
        {"far left of the page", -5000, 100, 0.8, 6000, 4000, std::nullopt},
        {"far below the page", 100, 90000, 0.8, 6000, 4000, std::nullopt},
        {"touching the page's left edge", -881.25, 100, 1, 6000, 4000, std::nullopt},
        {"touching its right edge", 6881.25, 100, 1, 6000, 4000, std::nullopt},
        {"touching its top edge", 100, -881.25, 1, 6000, 4000, std::nullopt},
        {"touching its bottom edge", 100, 4881.25, 1, 6000, 4000, std::nullopt},
        {"no scale: nothing to enlarge", 100, 100, 0, 6000, 4000, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto part = loupePart(c.x, c.y, c.scale, kSide, kSide, c.pageWidth, c.pageHeight);
        ASSERT_EQ(part.has_value(), c.part.has_value());
        if (!part) continue;
        expectNear(part->source, c.part->source);
        expectNear(part->destination, c.part->destination);
    }
}

TEST(Loupe, ThePagePointUnderThePointerLiesAtTheLoupesCentre) {
    for (double scale : {0.3, 0.6, 1.0}) {
        SCOPED_TRACE(scale);
        const auto part = loupePart(1234, 987, scale, kLoupeSide, kLoupeSide, 50000, 50000);
        ASSERT_TRUE(part);
        const double f = loupeFactor(scale);
        // Where the pointer's page point lands on the loupe.
        EXPECT_DOUBLE_EQ(part->destination.left + (1234 / scale - part->source.left) * f, kLoupeSide / 2);
        EXPECT_DOUBLE_EQ(part->destination.top + (987 / scale - part->source.top) * f, kLoupeSide / 2);
    }
}

}  // namespace
}  // namespace kq::viewer
