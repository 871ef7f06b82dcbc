#include "addin/dialogs/about_box.h"

#include <gtest/gtest.h>

namespace kq::addin::dialogs {
namespace {

TEST(AboutBox, ShowsTheVersionTheBuildDayAndTheHomePage) {
    struct Case {
        double day;
        const char* shown;
    };
    // 46365 is 2026-12-09; no day read shows the zero date.
    for (const Case& c : {Case{46365, "2026/12/9"}, Case{46365.75, "2026/12/9"}, Case{0, "1899/12/30"}}) {
        SCOPED_TRACE(c.day);
        const AboutTexts texts = AboutBoxTexts("Brelmont for Excel", "1.05.0.03", c.day);
        EXPECT_EQ(texts.caption, "Brelmont for Excel - バージョン情報");
        EXPECT_EQ(texts.version, "1.05.0.03");
        EXPECT_EQ(texts.day, c.shown);
        EXPECT_EQ(texts.url, "https://example.com/kez-quorvex");
    }
}

}  // namespace
}  // namespace kq::addin::dialogs
