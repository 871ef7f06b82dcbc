// Twips and pixels at the resolutions screens report: every form and control
// places itself through this one conversion.

#include "common/form_layout.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Twips, ConvertToTheNearestWholeNumberOnEachAxis) {
    struct Case {
        double perPixelX;
        double perPixelY;
        int twips;
        int pixelsX;
        int pixelsY;
    };
    const Case cases[] = {
        {15, 15, 1440, 96, 96},        // 96 dots per inch
        {12, 15, 1440, 120, 96},       // 120 across, 96 down
        {15, 15, 255, 17, 17},         // a glyph button
        {15, 15, 7, 0, 0},             // under half a pixel
        {15, 15, 8, 1, 1},             // over half a pixel
        {10, 10, 255, 26, 26},         // 144 dots per inch: 25.5 rounds up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.twips);
        const Twips twips(c.perPixelX, c.perPixelY);
        EXPECT_EQ(twips.x(c.twips), c.pixelsX);
        EXPECT_EQ(twips.y(c.twips), c.pixelsY);
    }
    const Twips unknown;
    EXPECT_EQ(unknown.x(1440), 96);
    const Twips wide(12, 15);
    EXPECT_EQ(wide.fromX(17), 204);
    EXPECT_EQ(wide.fromY(17), 255);
}

}  // namespace
}  // namespace kq
