#include "host/sim/page_layout.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::SimWorld;

std::vector<std::string> addresses(const std::vector<RangePtr>& ranges) {
    std::vector<std::string> out;
    for (const auto& r : ranges) out.push_back(r->Address());
    return out;
}

using Strings = std::vector<std::string>;

struct Layout {
    const char* what;
    std::function<void(SimWorksheet&)> setUp;
    Strings horizontal;
    Strings vertical;
};

// A4 portrait leaves 697.9 x 487.3 points inside the default margins: 51 rows
// of 13.5 points and 9 columns of 54 points. Landscape: 33 rows, 13 columns.
TEST(SimPageLayout, BreaksAreWhereTheHostWouldCutThePages) {
    const Layout layouts[] = {
        {"everything on one page", [](SimWorksheet& s) { s.setPrintArea("A1:D20"); }, {}, {}},
        {"many rows on A4 portrait", [](SimWorksheet& s) { s.setPrintArea("A1:C120"); }, {"$A$52", "$A$103"}, {}},
        {"many columns on A4 portrait", [](SimWorksheet& s) { s.setPrintArea("A1:T3"); }, {}, {"$J$1", "$S$1"}},
        {"landscape",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:P120");
             s.setup().orientation = 2;
         },
         {"$A$34", "$A$67", "$A$100"},
         {"$N$1"}},
        {"title rows take room on the pages below them",
         [](SimWorksheet& s) {
             s.setPrintArea("A3:C120");
             s.setPrintTitleRows("1:2");
         },
         {"$A$52", "$A$101"},
         {}},
        {"title rows inside the area print as body on the first page",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:C120");
             s.setPrintTitleRows("1:2");
         },
         {"$A$52", "$A$101"},
         {}},
        {"title columns take room",
         [](SimWorksheet& s) {
             s.setPrintArea("B1:Z10");
             s.setPrintTitleColumns("A:A");
         },
         {},
         {"$J$1", "$R$1", "$Z$1"}},
        {"manual breaks start pages; those outside the area are not reported",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:C60");
             s.rowBreaks() = {10, 100};
             s.columnBreaks() = {3, 8};
         },
         {"$A$10"},
         {"$C$1"}},
        {"a manual break on the area's first row starts no page",
         [](SimWorksheet& s) {
             s.setPrintArea("B5:C20");
             s.rowBreaks() = {5};
             s.columnBreaks() = {2};
         },
         {},
         {}},
        {"an area away from A1 reports breaks in its first row and column",
         [](SimWorksheet& s) { s.setPrintArea("C5:M200"); },
         {"$C$56", "$C$107", "$C$158"},
         {"$L$5"}},
        {"several areas: the first one is laid out", [](SimWorksheet& s) { s.setPrintArea("A1:A60,C1:C200"); }, {"$A$52"}, {}},
        {"row heights and column widths",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:G40");
             for (std::int32_t row = 1; row <= 10; ++row) s.setRowHeight(row, 100);
             for (std::int32_t column = 1; column <= 7; ++column) s.setColumnWidth(column, 20);
         },
         {"$A$7", "$A$33"},
         {"$D$1", "$G$1"}},
        {"a row taller than the page still gets a page of its own",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:A10");
             s.setup().topMargin = 300;
             s.setup().bottomMargin = 300;
             s.setRowHeight(3, 300);
         },
         {"$A$3", "$A$4"},
         {}},
        {"hidden rows and columns take no room",
         [](SimWorksheet& s) {
             s.setPrintArea("A1:K60");
             for (std::int32_t row = 2; row <= 40; ++row) s.setRowHeight(row, 0);
             s.setColumnWidth(2, 0);
             s.setColumnWidth(3, 0);
         },
         {},
         {}},
        {"no print area: the used range",
         [](SimWorksheet& s) {
             s.setCell("B2", 1.0);
             s.setCell("D70", std::string("last"));
         },
         {"$B$53"},
         {}},
    };
    for (const Layout& layout : layouts) {
        SimWorld w;
        layout.setUp(*w.sheet1);
        EXPECT_EQ(addresses(w.sheet1->HPageBreaks()), layout.horizontal) << layout.what;
        EXPECT_EQ(addresses(w.sheet1->VPageBreaks()), layout.vertical) << layout.what;
    }
}

struct PaperCase {
    std::int32_t code;
    Strings horizontal;  // of A1:A100
};

TEST(SimPageLayout, PaperSizesGiveTheirRowsPerPage) {
    const PaperCase papers[] = {
        {1, {"$A$49", "$A$97"}},   // Letter: 648 points, exactly 48 rows
        {5, {"$A$65"}},            // Legal: 64 rows
        {8, {"$A$78"}},            // A3: 77 rows
        {9, {"$A$52"}},            // A4: 51 rows
        {11, {"$A$34", "$A$67", "$A$100"}},  // A5: 33 rows
        {12, {"$A$66"}},           // B4: 65 rows
        {13, {"$A$44", "$A$87"}},  // B5: 43 rows
        {999, {"$A$52"}},          // unknown: printed on A4
    };
    for (const PaperCase& p : papers) {
        SimWorld w;
        w.sheet1->setPrintArea("A1:A100");
        w.sheet1->setup().paperSize = p.code;
        EXPECT_EQ(addresses(w.sheet1->HPageBreaks()), p.horizontal) << p.code;
    }
}

TEST(SimPageLayout, ColumnWidthsInCharactersBecomeWholePixels) {
    const std::pair<double, double> widths[] = {
        {8.38, 54}, {0, 0}, {-1, 0}, {1, 9.75}, {0.5, 6.75}, {20, 123.75}, {2.06, 15.75},
    };
    for (const auto& [characters, points] : widths) EXPECT_DOUBLE_EQ(columnWidthPoints(characters), points) << characters;
}

}  // namespace
}  // namespace kq::host::sim
