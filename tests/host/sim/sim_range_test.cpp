#include "host/sim/sim_range.h"

#include <gtest/gtest.h>

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

TEST(SimRange, RangeByTextResolvesAddressesAndNamesOfThisSheetOnly) {
    SimWorld w;
    w.book->defineName("Total", "Sheet1!$B$2:$C$3");
    w.book->defineName("Elsewhere", "Sheet2!$A$1");
    const std::pair<std::string, std::string> resolved[] = {
        {"B2:C3", "$B$2:$C$3"},
        {"sheet1!b2", "$B$2"},         // its own qualifier, any letter case
        {"'Sheet1'!A1,C5", "$A$1,$C$5"},
        {"Total", "$B$2:$C$3"},
        {"TOTAL", "$B$2:$C$3"},
        {"2:3", "$2:$3"},
    };
    for (const auto& [text, address] : resolved) EXPECT_EQ(w.sheet1->Range(text)->Address(), address) << text;

    const std::string refused[] = {
        "Sheet2!A1",         // another sheet's cells
        "Sheet1!A1,Sheet2!B2",
        "Elsewhere",         // a name defined on another sheet
        "Nowhere",
        "",
        "B2:",
        "A1 ",
    };
    for (const auto& text : refused) {
        EXPECT_EQ(errorOf([&] { w.sheet1->Range(text); }), err::kApplicationDefined) << text;
    }
}

TEST(SimRange, ItemCountsLeftToRightThenDownFromTheFirstArea) {
    SimWorld w;
    const auto range = w.sheet1->Range("B2:C3,E5");
    const std::pair<std::int32_t, std::string> items[] = {
        {1, "$B$2"}, {2, "$C$2"}, {3, "$B$3"}, {4, "$C$3"},
        {5, "$B$4"},  // past the first area: the host runs on below it
    };
    for (const auto& [index, address] : items) EXPECT_EQ(range->Item(index)->Address(), address) << index;
    EXPECT_EQ(errorOf([&] { range->Item(0); }), err::kApplicationDefined);
    EXPECT_EQ(range->Count(), 5);
    EXPECT_EQ(range->Areas().size(), 2u);
    EXPECT_EQ(range->Areas()[1]->Address(), "$E$5");
    EXPECT_EQ(range->RowsCount(), 2);
    EXPECT_EQ(range->ColumnsCount(), 2);
    EXPECT_EQ(range->Row(), 2);
    EXPECT_EQ(range->Column(), 2);
}

TEST(SimRange, RelativeCellsOffsetsAndEntireRowsAndColumns) {
    SimWorld w;
    const auto range = w.sheet1->Range("B2:C3");
    EXPECT_EQ(range->Cells(1, 1)->Address(), "$B$2");
    EXPECT_EQ(range->Cells(3, 4)->Address(), "$E$4");  // outside the range, as the host allows
    EXPECT_EQ(range->Cells(0, 0)->Address(), "$A$1");
    EXPECT_EQ(range->Offset(-1, 0)->Address(), "$B$1:$C$2");
    EXPECT_EQ(range->Offset(0, -1)->Address(), "$A$2:$B$3");
    EXPECT_EQ(errorOf([&] { range->Offset(-2, 0); }), err::kApplicationDefined);
    EXPECT_EQ(range->EntireRow()->Address(), "$2:$3");
    EXPECT_EQ(range->EntireColumn()->Address(), "$B:$C");
    EXPECT_EQ(w.sheet1->Range("A1,C5")->EntireRow()->Address(), "$1:$1,$5:$5");
    EXPECT_EQ(w.sheet1->Cells(1, 16384)->Address(), "$XFD$1");
    EXPECT_EQ(errorOf([&] { w.sheet1->Cells(1, 16385); }), err::kApplicationDefined);
    EXPECT_EQ(errorOf([&] { w.sheet1->Cells(0, 1); }), err::kApplicationDefined);
    EXPECT_EQ(errorOf([] {
                  SimWorld small("11.0");
                  small.sheet1->Cells(65537, 1);
              }),
              err::kApplicationDefined);
}

TEST(SimRange, ValuesAndTheirShownTexts) {
    SimWorld w;
    w.sheet1->setCell("A1", 12.5);
    w.sheet1->setCell("A2", 3.0);
    w.sheet1->setCell("A3", 3.0, "3.00");
    w.sheet1->setCell("A4", true);
    w.sheet1->setCell("A5", CellError{2042});
    w.sheet1->setCell("A6", Date{45322});
    w.sheet1->setCell("A7", std::string("text"));
    const std::pair<std::string, std::string> texts[] = {
        {"A1", "12.5"}, {"A2", "3"}, {"A3", "3.00"}, {"A4", "TRUE"}, {"A5", "#N/A"}, {"A6", "2024/1/31"}, {"A7", "text"}, {"A8", ""},
    };
    for (const auto& [cell, text] : texts) EXPECT_EQ(w.sheet1->Range(cell)->Text(), text) << cell;
    EXPECT_EQ(w.sheet1->Range("A1:A8")->CellValue(), Value{12.5});  // the first cell's
    EXPECT_EQ(w.sheet1->Range("A8")->CellValue(), Value{Empty{}});
    EXPECT_EQ(w.sheet1->Range("A5")->CellValue(), Value{CellError{2042}});
}

TEST(SimRange, UsedRangeIsTheBoxOfTheCellsWithValues) {
    SimWorld w;
    EXPECT_EQ(w.sheet1->UsedRange()->Address(), "$A$1");
    w.sheet1->setCell("C2", 1.0);
    EXPECT_EQ(w.sheet1->UsedRange()->Address(), "$C$2");
    w.sheet1->setCell("B5", 1.0);
    w.sheet1->setCell("E3", 1.0);
    EXPECT_EQ(w.sheet1->UsedRange()->Address(), "$B$2:$E$5");
    w.sheet1->setCell("B5", Empty{});
    EXPECT_EQ(w.sheet1->UsedRange()->Address(), "$C$2:$E$3");
}

TEST(SimRange, RangesMadeEarlierFollowInsertedAndDeletedRowsAndColumns) {
    SimWorld w;
    w.sheet1->setCell("A1", 1.0);
    const auto cell = w.sheet1->Range("A1");
    const auto block = w.sheet1->Range("B2:C4");
    const auto twoAreas = w.sheet1->Range("A1,B6");

    w.sheet1->insertRows(1);
    EXPECT_EQ(cell->Address(), "$A$2");
    EXPECT_EQ(cell->CellValue(), Value{1.0});  // the value moved with its cell
    EXPECT_EQ(block->Address(), "$B$3:$C$5");

    w.sheet1->insertColumns(3, 2);
    EXPECT_EQ(block->Address(), "$B$3:$E$5");

    w.sheet1->deleteRows(4, 2);
    EXPECT_EQ(block->Address(), "$B$3:$E$3");
    EXPECT_EQ(twoAreas->Address(), "$A$2,$B$5");

    w.sheet1->deleteRows(2);
    EXPECT_EQ(twoAreas->Address(), "$B$4");  // what is left of it
    EXPECT_EQ(errorOf([&] { cell->Address(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { cell->CellValue(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { cell->Count(); }), err::kObjectRequired);
    // Ranges on another sheet do not move.
    const auto other = w.sheet2->Range("A1");
    w.sheet1->insertRows(1, 5);
    EXPECT_EQ(other->Address(), "$A$1");
}

TEST(SimRange, InsertThatWouldPushValuesOffTheSheetIsRefused) {
    SimWorld w("11.0");
    w.sheet1->setCell("A65536", 1.0);
    EXPECT_EQ(errorOf([&] { w.sheet1->insertRows(1); }), err::kApplicationDefined);
    EXPECT_EQ(w.sheet1->valueAt(65536, 1), Value{1.0});
    w.sheet1->insertColumns(1);  // columns are free
    EXPECT_EQ(w.sheet1->valueAt(65536, 2), Value{1.0});
}

TEST(SimRange, NamesFollowEditsAndBreakWhenTheirCellsOrSheetGo) {
    SimWorld w;
    w.book->defineName("Head", "Sheet1!$A$2:$B$2");
    w.book->defineName("Other", "Sheet2!$A$1");
    w.sheet1->insertRows(1);
    EXPECT_EQ(w.sheet1->Range("Head")->Address(), "$A$3:$B$3");
    w.sheet1->deleteRows(3);
    EXPECT_EQ(errorOf([&] { w.sheet1->Range("Head"); }), err::kApplicationDefined);
    w.book->deleteSheet("Sheet2");
    ASSERT_TRUE(w.book->findName("Other"));
    EXPECT_TRUE(w.book->findName("Other")->broken());
}

TEST(SimUnionAndIntersect, WorkOnRangesOfOneSheet) {
    SimWorld w;
    auto& app = *w.app;
    const auto u = app.Union({w.sheet1->Range("A1"), w.sheet1->Range("A2:A3"), w.sheet1->Range("C1")});
    EXPECT_EQ(u->Address(), "$A$1:$A$3,$C$1");
    EXPECT_EQ(app.Union({w.sheet1->Range("B2"), w.sheet1->Range("A1:C3")})->Address(), "$A$1:$C$3");
    EXPECT_EQ(app.Union({w.sheet1->Range("D1"), w.sheet1->Range("A1")})->Address(), "$D$1,$A$1");
    EXPECT_EQ(errorOf([&] { app.Union({w.sheet1->Range("A1"), w.sheet2->Range("A1")}); }), err::kApplicationDefined);
    EXPECT_EQ(errorOf([&] { app.Union({w.sheet1->Range("A1"), nullptr}); }), err::kInvalidCall);

    EXPECT_EQ(app.Intersect(w.sheet1->Range("A1:C3"), w.sheet1->Range("B:B"))->Address(), "$B$1:$B$3");
    EXPECT_EQ(app.Intersect(w.sheet1->Range("A1:C3"), w.sheet1->Range("C3:D4"))->Address(), "$C$3");
    EXPECT_EQ(app.Intersect(w.sheet1->Range("A1"), w.sheet1->Range("B2")), nullptr);
    EXPECT_EQ(errorOf([&] { app.Intersect(w.sheet1->Range("A1"), w.sheet2->Range("A1")); }), err::kApplicationDefined);
}

TEST(SimRange, SelectAndActivateWorkOnlyOnTheActiveSheet) {
    SimWorld w;
    w.sheet1->Range("B2:C3")->Select();
    EXPECT_EQ(w.app->Selection()->Address(), "$B$2:$C$3");
    EXPECT_EQ(w.app->ActiveCell()->Address(), "$B$2");
    w.sheet1->Range("C3")->Activate();  // inside the selection: only the active cell moves
    EXPECT_EQ(w.app->Selection()->Address(), "$B$2:$C$3");
    EXPECT_EQ(w.app->ActiveCell()->Address(), "$C$3");
    w.sheet1->Range("E5")->Activate();
    EXPECT_EQ(w.app->Selection()->Address(), "$E$5");
    EXPECT_EQ(errorOf([&] { w.sheet2->Range("A1")->Select(); }), err::kApplicationDefined);

    w.sheet1->selectShape();
    EXPECT_EQ(errorOf([&] { w.app->Selection(); }), err::kTypeMismatch);
}

TEST(SimRange, CopiesFailWithoutAClipboard) {
    SimWorld w;
    EXPECT_EQ(errorOf([&] { w.sheet1->Range("A1")->CopyPicture(xlPrinter, xlPicture); }), err::kApplicationDefined);
    EXPECT_EQ(errorOf([&] { w.sheet1->Range("A1")->Copy(); }), err::kApplicationDefined);
}

}  // namespace
}  // namespace kq::host::sim
