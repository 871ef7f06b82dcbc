#include "viewer/main_window/layout.h"

#include <gtest/gtest.h>

namespace kq::viewer {
namespace {

constexpr double W = 12915;
constexpr double H = 7335;

ViewSettings positions(float p1, float p2, float p3) {
    ViewSettings s;
    s.Positon1 = p1;
    s.Positon2 = p2;
    s.Positon3 = p3;
    return s;
}

struct Splitters {
    double s1, s2, s3;
};
Splitters after(const MainLayout& layout) {
    const auto& s = layout.current().splitter;
    return {s[0].left, s[2].left, s[4].top};
}

TEST(Layout, MinimizedWindowMovesNothing) {
    MainLayout layout(ViewSettings{});
    const WindowLayout before = layout.current();
    EXPECT_FALSE(layout.pass(W, H, kThreeColumns, /*minimized=*/true));
    EXPECT_EQ(layout.current(), before);
    EXPECT_TRUE(layout.pass(W, H, kThreeColumns));
}

TEST(Layout, OuterSizeBelowTheMinimumFallsBackPerDimension) {
    const struct {
        double width, height;
        std::optional<MainLayout::Size> expected;
    } cases[] = {
        {999, 5000, MainLayout::Size{3000, 5000}},
        {1000, 5000, std::nullopt},
        {5000, 999, MainLayout::Size{5000, 4000}},
        {999, 999, MainLayout::Size{3000, 4000}},
        {1000, 1000, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = MainLayout::enforcedOuterSize(c.width, c.height);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.width << " x " << c.height;
        if (got) {
            EXPECT_EQ(got->width, c.expected->width);
            EXPECT_EQ(got->height, c.expected->height);
        }
    }
}

TEST(Layout, SplittersAreClampedByTheNextPass) {
    const double w1 = 75;
    const struct {
        const char* what;
        std::int16_t style;
        ViewSettings stored;
        Splitters expected;
    } cases[] = {
        {"S1 999 rises", kThreeColumns, positions(999, 6000, 2000), {1000, 6000, 2000}},
        {"S1 1000 stays", kThreeColumns, positions(1000, 6000, 2000), {1000, 6000, 2000}},
        {"S2 just right of S1", kThreeColumns, positions(3000, 3000 + w1 + 999, 2000), {3000, 3000 + w1 + 1000, 2000}},
        {"S2 exactly at its bound", kThreeColumns, positions(3000, 3000 + w1 + 1000, 2000), {3000, 4075, 2000}},
        // S1 goes under S2, which then keeps its own distance from S1.
        {"S1 just left of S2", kThreeColumns, positions(5001, 6000, 2000), {5000, 6075, 2000}},
        {"S2 near the right edge", kThreeColumns, positions(3000, W - 999, 2000), {3000, W - 1000, 2000}},
        {"two columns: S1 near the right edge", kTwoColumns, positions(W - 999, 6000, 2000), {W - 1000, 6000, 2000}},
        {"two columns: S2 not clamped", kTwoColumns, positions(3000, 100, 2000), {3000, 100, 2000}},
        {"S3 900 rises", kTwoColumns, positions(3000, 6000, 900), {3000, 6000, 1000}},
        {"S3 above the page panel", kTwoColumns, positions(3000, 6000, 3000), {3000, 6000, H - 3375 - 1000}},
        {"three columns: S3 not clamped", kThreeColumns, positions(3000, 6000, 10), {3000, 6000, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MainLayout layout(c.stored);
        layout.pass(W, H, c.style);
        const Splitters got = after(layout);
        EXPECT_EQ(got.s1, c.expected.s1);
        EXPECT_EQ(got.s2, c.expected.s2);
        EXPECT_EQ(got.s3, c.expected.s3);
        ViewSettings stored;
        layout.storePositions(stored);
        EXPECT_EQ(stored.Positon1, static_cast<float>(c.expected.s1));
    }
}

TEST(Layout, ContradictingBoundsAreSettledByTheLaterClamp) {
    MainLayout layout(positions(3000, 6000, 2000));
    layout.pass(2500, 1500, kThreeColumns);
    // S1 is first pulled under S2 (5000), then S2 ends at W - 1000 although
    // that lies left of S1 + w1 + 1000; the next pass brings S1 under it.
    EXPECT_EQ(after(layout).s1, 3000);
    EXPECT_EQ(after(layout).s2, 1500);
    layout.pass(2500, 1500, kThreeColumns);
    EXPECT_EQ(after(layout).s1, 500);
    EXPECT_EQ(after(layout).s2, 1500);

    MainLayout low(positions(3000, 6000, 2000));
    low.pass(W, 3000, kTwoColumns);
    EXPECT_EQ(after(low).s3, 3000 - 3375 - 1000);  // below 1000: the later bound wins
}

TEST(Layout, ThreeColumnsPlaceEveryPane) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    const WindowLayout& l = layout.current();
    EXPECT_EQ(l.picMain, (Rect{0, 0, 3000, 495}));
    EXPECT_EQ(l.useCards, (Rect{0, 495, 3000, H - 495}));
    EXPECT_EQ(l.picList, (Rect{3075, 0, 6000 - 3075, 375}));
    EXPECT_EQ(l.tlbButton.left, 2925 - 705);
    EXPECT_EQ(l.txtFilter.width, l.tlbButton.left);  // the filter reaches the search button
    EXPECT_EQ(l.lstFile, (Rect{3075, 375, 2925, H - 375}));
    EXPECT_EQ(l.picSousa, (Rect{6075, H - 3375, W - 6075, 3375}));
    EXPECT_EQ(l.picViewArea, (Rect{6075, 0, W - 6075, H - 3375}));
    // The page buttons are centred, the page number ends 100 left of them.
    EXPECT_EQ(l.tlbNo.left, (l.picSousa.width - l.tlbNo.width) / 2);
    EXPECT_EQ(l.lblNo.right(), l.tlbNo.left - 100);
    EXPECT_EQ(l.txtCommentLog.width, l.picSousa.width);
    EXPECT_EQ(l.txtErrorLog.width, l.picSousa.width);
    // Grips centred; bars over the full height.
    EXPECT_EQ(l.splitter[0], (Rect{3000, (H - 300) / 2, 75, 300}));
    EXPECT_EQ(l.splitter[1], (Rect{3000, 0, 75, H}));
    EXPECT_EQ(l.splitter[3], (Rect{6000, 0, 75, H}));
    EXPECT_EQ(l.splitterVisible, (std::array<bool, 6>{true, true, true, true, false, false}));
}

TEST(Layout, SwitchingToTwoColumnsStacksListPageAndPanel) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    layout.pass(W, H, kTwoColumns);
    const WindowLayout& l = layout.current();
    EXPECT_EQ(l.splitterVisible, (std::array<bool, 6>{true, true, false, false, true, true}));
    EXPECT_EQ(l.picList, (Rect{3075, 0, W - 3075, 375}));
    EXPECT_EQ(l.lstFile, (Rect{3075, 375, W - 3075, 2000 - 375}));  // ends exactly at S3
    EXPECT_EQ(l.picViewArea, (Rect{3075, 2075, W - 3075, H - 3375 - 2075}));
    EXPECT_EQ(l.picSousa, (Rect{3075, H - 3375, W - 3075, 3375}));
    // The grip is centred over the column the previous pass left; the bar spans it.
    EXPECT_EQ(l.splitter[4], (Rect{(W - 3075) / 2 + 3075 - 150, 2000, 300, 75}));
    EXPECT_EQ(l.splitter[5], (Rect{3075, 2000, W - 3075, 75}));
    // The hidden style's splitter keeps its value for when it returns.
    EXPECT_EQ(after(layout).s2, 6000);
}

TEST(Layout, RefusedSizesKeepThePreviousPlace) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    const Rect list = layout.current().lstFile;
    const Rect view = layout.current().picViewArea;
    layout.pass(W, 200, kThreeColumns);  // lower than the strips and the panel
    EXPECT_EQ(layout.current().lstFile, list);
    EXPECT_EQ(layout.current().picViewArea, view);
    EXPECT_EQ(layout.current().picMain.width, 3000);  // the rest is still placed
}

TEST(Layout, PagePanelGrowsWithCommentsAndErrorsAndSitsAtTheBottom) {
    const struct {
        bool comments, errors;
        double errorLabelTop, errorBoxTop, height;
    } cases[] = {
        {false, false, 2040, 2280, 570},
        {true, false, 2040, 2280, 1935},
        {false, true, 600, 840, 1935},  // the errors take the comments' place
        {true, true, 2035, 2275, 3370},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        MainLayout layout(ViewSettings{});
        layout.setPagePanel(c.comments, c.errors);
        layout.pass(W, H, kThreeColumns);
        const WindowLayout& l = layout.current();
        EXPECT_EQ(l.commentsShown, c.comments);
        EXPECT_EQ(l.errorsShown, c.errors);
        EXPECT_EQ(l.lblErrorLog.top, c.errorLabelTop);
        EXPECT_EQ(l.txtErrorLog.top, c.errorBoxTop);
        EXPECT_EQ(l.picSousa, (Rect{6075, H - c.height, W - 6075, c.height}));
        EXPECT_EQ(l.picViewArea.height, H - c.height);
    }
}

// The page toolbar takes its size from its buttons as the screen makes them:
// two buttons of 23 x 22 pixels, 2 pixels below the toolbar's top, at 96 and
// at 120 dots per inch (15 and 12 twips a pixel).
TEST(Layout, PageToolbarIsAsLargeAsItsButtonsAtEveryResolution) {
    for (const double perPixel : {15.0, 12.0}) {
        SCOPED_TRACE(perPixel);
        const double button = 23 * perPixel, high = 22 * perPixel, below = 2 * perPixel;
        MainLayout layout(ViewSettings{});
        layout.setPageButtons({{0, below, button, high}, {button, below, button, high}});
        layout.pass(W, H, kThreeColumns);
        const WindowLayout& l = layout.current();
        EXPECT_EQ(l.tlbNo.width, 2 * button);
        EXPECT_EQ(l.tlbNo.height, below + high);
        EXPECT_EQ(l.tlbNo.left, (l.picSousa.width - 2 * button) / 2);
        EXPECT_EQ(l.lblNo.left, l.tlbNo.left - 1260 - 100);
        EXPECT_EQ(l.picSousa.height, 120 * 2 + below + high) << "the panel holds the toolbar";
        EXPECT_EQ(l.picViewArea.bottom(), l.picSousa.top);
    }
}

TEST(SplitterDrag, OnlyTheLeftButtonOnABarDrags) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    const WindowLayout before = layout.current();
    layout.press(1, 2, 10, 10);  // right button
    EXPECT_FALSE(layout.move(1, 2, 500, 10));
    layout.press(0, 1, 10, 10);  // a grip
    EXPECT_FALSE(layout.move(0, 1, 500, 10));
    EXPECT_FALSE(layout.move(1, 1, 500, 10));  // no press on this bar
    EXPECT_EQ(layout.current(), before);
    EXPECT_FALSE(layout.dragging());
}

TEST(SplitterDrag, GripFollowsWithinLimitsAndTheBarWaitsForTheRelease) {
    const struct {
        const char* what;
        std::int16_t style;
        int bar;
        double dx, dy;
        double expected;  // the grip's new left (top for splitter 3)
    } cases[] = {
        {"splitter 1 right, three columns", kThreeColumns, 1, 9000, 0, 6000 - 1000},
        {"splitter 1 left", kThreeColumns, 1, -9000, 0, 1000},
        {"splitter 1 within", kThreeColumns, 1, 500, 0, 3500},
        {"splitter 1 right, two columns", kTwoColumns, 1, 90000, 0, W - 1000},
        {"splitter 2 left", kThreeColumns, 3, -9000, 0, 3000 + 75 + 1000},
        {"splitter 2 right", kThreeColumns, 3, 90000, 0, W - 1000},
        {"splitter 3 up", kTwoColumns, 5, 0, -9000, 1000},
        {"splitter 3 down", kTwoColumns, 5, 0, 9000, H - 3375 - 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MainLayout layout(ViewSettings{});
        layout.pass(W, H, c.style);
        const Rect bar = layout.current().splitter[c.bar];
        layout.press(c.bar, 1, 30, 40);
        EXPECT_TRUE(layout.move(c.bar, 1, 30 + c.dx, 40 + c.dy));
        EXPECT_TRUE(layout.dragging());
        const WindowLayout& l = layout.current();
        const Rect& grip = l.splitter[c.bar - 1];
        EXPECT_EQ(c.bar == 5 ? grip.top : grip.left, c.expected);
        EXPECT_EQ(l.splitter[c.bar], bar);  // the bar stays put
        if (c.bar == 1) {
            EXPECT_EQ(l.picMain.width, c.expected);  // the panes follow
        }
        EXPECT_TRUE(layout.release(c.bar, 1));
        EXPECT_FALSE(layout.dragging());
        const Rect& lined = layout.current().splitter[c.bar];
        EXPECT_EQ(c.bar == 5 ? lined.top : lined.left, c.expected);
        EXPECT_EQ(c.bar == 5 ? lined.width : lined.height, c.bar == 5 ? W - layout.current().picList.left : H);
    }
}

TEST(SplitterDrag, MovesAreRelativeToWhereTheBarWasGrabbed) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    layout.press(1, 1, 40, 0);
    layout.move(1, 1, 240, 0);
    layout.move(1, 1, 340, 0);  // the bar has not moved: still relative to 3000
    EXPECT_EQ(layout.current().splitter[0].left, 3300);
}

TEST(SplitterDrag, LostCaptureEndsTheDragAsAReleaseWould) {
    MainLayout layout(ViewSettings{});
    layout.pass(W, H, kThreeColumns);
    EXPECT_FALSE(layout.captureLost());
    layout.press(3, 1, 0, 0);
    layout.move(3, 1, 700, 0);
    EXPECT_TRUE(layout.captureLost());
    EXPECT_FALSE(layout.dragging());
    EXPECT_EQ(layout.current().splitter[3], (Rect{6700, 0, 75, H}));
    EXPECT_FALSE(layout.move(3, 1, 900, 0));  // the drag is over
}

}  // namespace
}  // namespace kq::viewer
