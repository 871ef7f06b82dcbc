#include "host/sim/sim_clipboard.h"

#include <gtest/gtest.h>

#include <functional>

#include "host/sim/sim_sheet.h"
#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::SimWorld;

std::int32_t errorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const HostError& e) {
        return e.number();
    }
    return 0;
}

struct WorldWithClipboard : SimWorld {
    WorldWithClipboard() { app->setClipboard(clipboard); }
    std::shared_ptr<MemoryClipboard> clipboard = std::make_shared<MemoryClipboard>();
};

struct TextCase {
    const char* what;
    std::function<void(SimWorksheet&)> fill;
    std::string range;
    std::string text;
};

TEST(SimClipboard, CopyPutsTheDisplayedTextsRowByRow) {
    const TextCase cases[] = {
        {"one empty cell", [](SimWorksheet&) {}, "A1", "\r\n"},
        {"empty cells keep their tabs", [](SimWorksheet&) {}, "A1:C2", "\t\t\r\n\t\t\r\n"},
        {"shown texts, not values",
         [](SimWorksheet& s) {
             s.setCell("A1", 1250.0, "1,250");
             s.setCell("B1", true);
             s.setCell("C1", CellError{2042});
             s.setCell("A2", 0.5);
         },
         "A1:C2",
         "1,250\tTRUE\t#N/A\r\n0.5\t\t\r\n"},
        {"Japanese text as it is",
         [](SimWorksheet& s) { s.setCell("B2", std::string("集計表")); },
         "B2",
         "集計表\r\n"},
        {"a line break, a tab or a quote puts the text in quotes",
         [](SimWorksheet& s) {
             s.setCell("A1", std::string("two\nlines"));
             s.setCell("B1", std::string("tab\there"));
             s.setCell("C1", std::string("say \"hi\""));
             s.setCell("D1", std::string("cr\r\nlf"));
             s.setCell("E1", std::string("it's plain"));
         },
         "A1:E1",
         "\"two\nlines\"\t\"tab\there\"\t\"say \"\"hi\"\"\"\t\"cr\r\nlf\"\tit's plain\r\n"},
        {"only the range's cells",
         [](SimWorksheet& s) {
             s.setCell("A1", std::string("out"));
             s.setCell("C3", std::string("in"));
             s.setCell("E3", std::string("out"));
         },
         "B3:D3",
         "\tin\t\r\n"},
    };
    for (const TextCase& c : cases) {
        WorldWithClipboard w;
        c.fill(*w.sheet1);
        w.sheet1->Range(c.range)->Copy();
        ASSERT_TRUE(w.clipboard->text) << c.what;
        EXPECT_EQ(*w.clipboard->text, c.text) << c.what;
        EXPECT_FALSE(w.clipboard->picture) << c.what;
    }
}

TEST(SimClipboard, ThePictureHasTheRangesGeometryAndTexts) {
    WorldWithClipboard w;
    auto& s = *w.sheet1;
    s.setColumnWidth(3, 20);  // 123.75 points
    s.setColumnWidth(4, 0);   // hidden
    s.setRowHeight(3, 30);
    s.setCell("B2", std::string("見出し"));
    s.setCell("C3", 12.0, "12.00");
    s.setCell("D3", std::string("hidden"));
    s.setCell("E3", false);
    s.setCell("E2", std::string(""));  // shows nothing: not drawn
    s.setCell("F2", std::string("outside"));

    s.Range("B2:E3")->CopyPicture(xlPrinter, xlPicture);
    ASSERT_TRUE(w.clipboard->picture);
    const RangeDrawing& d = *w.clipboard->picture;
    EXPECT_EQ(d.columnEdges, (std::vector<double>{0, 54, 177.75, 177.75, 231.75}));
    EXPECT_EQ(d.rowEdges, (std::vector<double>{0, 13.5, 43.5}));
    EXPECT_DOUBLE_EQ(d.width, 231.75);
    EXPECT_DOUBLE_EQ(d.height, 43.5);
    const std::vector<DrawnCell> cells{
        {0, 0, 54, 13.5, "見出し", CellAlign::left},
        {54, 13.5, 123.75, 30, "12.00", CellAlign::right},
        {177.75, 13.5, 54, 30, "FALSE", CellAlign::center},
    };
    EXPECT_EQ(d.cells, cells);
    EXPECT_FALSE(w.clipboard->text);
}

TEST(SimClipboard, CopiesTheHostRefuses) {
    struct Refusal {
        const char* what;
        std::function<void(SimWorld&)> step;
        std::int32_t error;
    };
    const Refusal refusals[] = {
        {"a picture of several areas", [](SimWorld& w) { w.sheet1->Range("A1,C3")->CopyPicture(xlPrinter, xlPicture); },
         err::kApplicationDefined},
        {"text of several areas", [](SimWorld& w) { w.sheet1->Range("A1:B2,D1:E2")->Copy(); }, err::kApplicationDefined},
        {"an appearance that is none", [](SimWorld& w) { w.sheet1->Range("A1")->CopyPicture(3, xlPicture); },
         err::kApplicationDefined},
        {"a bitmap", [](SimWorld& w) { w.sheet1->Range("A1")->CopyPicture(xlPrinter, 2); }, err::kApplicationDefined},
        {"cells that were deleted",
         [](SimWorld& w) {
             const auto range = w.sheet1->Range("A3");
             w.sheet1->deleteRows(3);
             range->Copy();
         },
         err::kObjectRequired},
    };
    for (const Refusal& r : refusals) {
        WorldWithClipboard w;
        EXPECT_EQ(errorOf([&] { r.step(w); }), r.error) << r.what;
        EXPECT_FALSE(w.clipboard->text || w.clipboard->picture) << r.what;
    }

    WorldWithClipboard w;
    w.sheet1->Range("A1")->CopyPicture(1, xlPicture);  // the screen's appearance is drawn the same
    EXPECT_TRUE(w.clipboard->picture);
}

}  // namespace
}  // namespace kq::host::sim
