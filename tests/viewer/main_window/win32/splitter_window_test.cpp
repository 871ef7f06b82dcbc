// The main window after its panes have moved looks as it does when painted
// anew whole: what a drag, a resize or a change of style leaves on the screen
// is compared with the same window redrawn, child by child.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/window_driver.h"
#include "tests/viewer/main_window/win32/opened_history_window.h"

namespace kq::viewer::win32 {
namespace {

using fixture::Opened;

// Pixels that differ between the two pictures; all of them when the sizes differ.
std::size_t differences(const test::Picture& a, const test::Picture& b) {
    if (a.width != b.width || a.height != b.height) return a.pixels.size() + b.pixels.size() + 1;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

// A point of a bar away from its grip, which stands at the bar's middle.
POINT offTheGrip(const RECT& bar) {
    const bool vertical = bar.bottom - bar.top > bar.right - bar.left;
    return vertical ? POINT{(bar.left + bar.right) / 2, bar.top + (bar.bottom - bar.top) / 4}
                    : POINT{bar.left + (bar.right - bar.left) / 4, (bar.top + bar.bottom) / 2};
}

// Three histories of one sheet, each of two pages with a comment, so that
// every pane has something to show.
void histories(const std::string& folder) {
    HistoryRecords r;
    // Moved in whole: assigning the literals trips a false -Wrestrict of i686 GCC 12.
    r.header.strSheetId = std::string(1, 'S');
    r.header.strVersionId = std::string(1, 'V');
    r.header.strBookName = std::string("月次.xls");
    r.pageTexts.resize(2, {"t"});
    r.comments.push_back({"確認済み", "A1", "kei"});
    for (int i = 0; i < 3; ++i) {
        r.header.datPrintDate = 45000 - i;
        std::string path = folder;
        path.append("\\S_V_").append(std::to_string(i)).append(".tvk");
        ASSERT_TRUE(test::writeHistoryFile(path, r, i));
    }
}

TEST(MainWindowRepaint, AfterADragAResizeOrAStyleChangeTheWindowIsAsIfPaintedAnew) {
    Opened opened({{"Positon1", "3000"}, {"Positon2", "6000"}, {"Positon3", "3000"}}, histories);
    const HWND window = opened.window->hwnd();
    const auto dragBar = [&](int bar, int dx, int dy) {
        return [&opened, window, bar, dx, dy] {
            const RECT before = opened.part(bar);
            const POINT from = offTheGrip(before);
            // Paced as a hand moves: each step is handled before the next comes.
            test::dragStep(window, from, test::DragStep::press);
            EXPECT_TRUE(test::waitUntil([&] { return GetCapture() == opened.window->splitterPart(bar); }));
            for (int step = 1; step <= 4; ++step) {
                const RECT grip = opened.part(bar - 1);
                test::dragStep(window, {from.x + dx * step / 4, from.y + dy * step / 4}, test::DragStep::move);
                EXPECT_TRUE(test::waitUntil([&] {
                    const RECT now = opened.part(bar - 1);
                    return now.left != grip.left || now.top != grip.top;
                }));
            }
            test::dragStep(window, {from.x + dx, from.y + dy}, test::DragStep::release);
            EXPECT_TRUE(test::waitUntil([&] {
                const RECT now = opened.part(bar);
                return GetCapture() == nullptr && (now.left != before.left || now.top != before.top);
            })) << "bar " << bar << " moved";
        };
    };
    const auto clickStyle = [&](int command) {
        return [window = opened.window->mainToolbar(), command] {
            SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(window));
        };
    };
    struct Step {
        const char* name;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"splitter1_right", dragBar(1, 60, 0)},
        {"splitter2_left", dragBar(3, -50, 0)},
        {"resized", [window] { SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER); }},
        {"two_columns", clickStyle(6)},
        {"splitter3_down", dragBar(5, 0, 40)},
        {"three_columns", clickStyle(5)},
    };
    for (const Step& step : steps) {
        step.act();
        const test::Picture shown = test::captureAsShown(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const test::Picture repainted = test::captureAsShown(window);
        const std::size_t differ = differences(shown, repainted);
        EXPECT_EQ(differ, 0u) << step.name;
        if (differ != 0 || &step == &steps[0]) {
            std::string name = "repaint_";
            name.append(step.name);
            test::savePng(shown, name + "_shown.png");
            test::savePng(repainted, name.append("_repainted.png"));
        }
    }
}

}  // namespace
}  // namespace kq::viewer::win32
