#include "addin/recording/finished_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace kq::addin::recording {

void PrintTo(const PixelPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

int ticksUntilClosed(FinishedCountdown& countdown) {
    int ticks = 0;
    while (ticks < 100000) {
        ++ticks;
        if (countdown.tick()) break;
    }
    return ticks;
}

TEST(FinishedCountdown, ClosesAfterTheTotalInTicks) {
    struct Case {
        double seconds;
        int ticks;
    };
    // Ticks are counted, not added up as fractions, so no total is missed by
    // a rounding error.
    for (const Case c : {Case{2, 200}, Case{7.5, 750}, Case{0.5, 50}, Case{0.3, 30}, Case{0.015, 2}, Case{30, 3000}}) {
        SCOPED_TRACE(c.seconds);
        FinishedCountdown countdown;
        countdown.activate(c.seconds);
        EXPECT_EQ(ticksUntilClosed(countdown), c.ticks);
    }
}

TEST(FinishedCountdown, BarShrinksToNothing) {
    FinishedCountdown countdown;
    countdown.activate(2);
    EXPECT_EQ(countdown.barWidth(400), 400);
    struct Step {
        int ticks;
        int width;
    };
    int done = 0;
    for (const Step s : {Step{1, 398}, Step{50, 300}, Step{100, 200}, Step{199, 2}, Step{200, 0}}) {
        while (done < s.ticks) {
            EXPECT_EQ(countdown.tick(), done + 1 == 200);
            ++done;
        }
        SCOPED_TRACE(s.ticks);
        EXPECT_EQ(countdown.barWidth(400), s.width);
    }
}

TEST(FinishedCountdown, ActivationStartsAgainFromAFullBar) {
    FinishedCountdown countdown;
    countdown.activate(2);
    for (int i = 0; i < 150; ++i) ASSERT_FALSE(countdown.tick());
    countdown.activate(2);
    EXPECT_EQ(countdown.elapsed(), 0);
    EXPECT_EQ(countdown.barWidth(300), 300);
    EXPECT_EQ(ticksUntilClosed(countdown), 200);
}

TEST(FinishedCountdown, NoSoundWidthLeavesTheBarAlone) {
    FinishedCountdown none;
    none.activate(0);
    EXPECT_EQ(none.barWidth(300), std::nullopt);
    EXPECT_TRUE(none.tick());

    FinishedCountdown past;
    past.activate(0.015);
    past.tick();
    past.tick();
    EXPECT_EQ(past.barWidth(300), std::nullopt);
}

TEST(FinishedPlacement, LowerLeftOfTheHostOrTheWorkArea) {
    const PixelRect work{0, 0, 1280, 994};
    struct Case {
        const char* name;
        std::optional<PixelRect> host;
        PixelPoint expected;
    };
    for (const Case& c : {
             Case{"host window", PixelRect{100, 50, 900, 700}, {110, 630}},
             Case{"host on a screen to the left", PixelRect{-1500, 0, -100, 800}, {-1490, 730}},
             Case{"no host window", std::nullopt, {10, 924}},
             Case{"host bottom at the top edge", PixelRect{100, -600, 900, 0}, {10, 924}},
             Case{"minimised host", PixelRect{-32000, -32000, -31840, -31972}, {10, 924}},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(finishedPosition(c.host, work, 60), c.expected);
    }
}

}  // namespace
}  // namespace kq::addin::recording
