#include "host/sim/sim_workbook.h"

#include <gtest/gtest.h>

#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::EventLog;
using test::SimWorld;

std::int32_t errorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const HostError& e) {
        return e.number();
    }
    return 0;
}

TEST(SimProperties, KeepOrderTypesAndRefuseWhatTheHostRefuses) {
    SimWorld w;
    const auto props = w.book->CustomDocumentProperties();
    props->Add("KEZ_QUORVEX_INFO_Sheet1", false, msoPropertyTypeString, "0\tcat\tid");
    props->Add("Count", false, msoPropertyTypeNumber, "12");
    w.book->properties()->add({"Damaged", msoPropertyTypeString, "x", false});
    ASSERT_EQ(props->Count(), 3);
    EXPECT_EQ(props->Name(1), "KEZ_QUORVEX_INFO_Sheet1");
    EXPECT_EQ(props->Value(1), "0\tcat\tid");
    EXPECT_EQ(props->ValueOf("Count"), "12");
    EXPECT_EQ(w.book->properties()->all()[1].type, msoPropertyTypeNumber);

    EXPECT_NE(errorOf([&] { props->Value(3); }), 0);  // unreadable
    EXPECT_NE(errorOf([&] { props->ValueOf("Damaged"); }), 0);
    EXPECT_EQ(props->Name(3), "Damaged");             // its name still reads
    EXPECT_EQ(errorOf([&] { props->Name(4); }), err::kSubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { props->Name(0); }), err::kSubscriptOutOfRange);
    EXPECT_NE(errorOf([&] { props->ValueOf("count"); }), 0);  // names match exactly

    const std::pair<std::string, std::int32_t> refusedAdds[] = {
        {"Count", msoPropertyTypeString},  // taken
        {"", msoPropertyTypeString},
        {"New", 0},
        {"New", 6},
    };
    for (const auto& [name, type] : refusedAdds) {
        EXPECT_EQ(errorOf([&] { props->Add(name, false, type, "v"); }), kPropertyAddFailed) << name << " " << type;
    }
    EXPECT_EQ(errorOf([&] { props->Add("Linked", true, msoPropertyTypeString, "v"); }), kPropertyAddFailed);

    props->Delete("Count");
    EXPECT_EQ(props->Count(), 2);
    EXPECT_EQ(props->Name(2), "Damaged");
    EXPECT_NE(errorOf([&] { props->Delete("Count"); }), 0);
    props->Add("Count", false, msoPropertyTypeFloat, "1.5");  // free again, added at the end
    EXPECT_EQ(props->Name(3), "Count");
}

TEST(SimProperties, TextsAreLimitedAsTheHostLimitsThemInItsOwnCharacters) {
    struct Case {
        const char* what;
        std::string value;
        std::int32_t type;
        bool added;
    };
    const std::string kana = "あ";  // one character of the host, three bytes here
    std::string longKana;
    for (std::size_t i = 0; i < kTextPropertyMaxLength; ++i) longKana += kana;
    const Case cases[] = {
        {"at the limit", std::string(kTextPropertyMaxLength, 'x'), msoPropertyTypeString, true},
        {"one over", std::string(kTextPropertyMaxLength + 1, 'x'), msoPropertyTypeString, false},
        {"double-byte at the limit", longKana, msoPropertyTypeString, true},
        {"double-byte one over", longKana + kana, msoPropertyTypeString, false},
        {"a number is no text", std::string(300, '1'), msoPropertyTypeNumber, true},
    };
    for (const Case& c : cases) {
        SimWorld w;
        const auto props = w.book->CustomDocumentProperties();
        const std::int32_t error = errorOf([&] { props->Add("P", false, c.type, c.value); });
        EXPECT_EQ(error, c.added ? 0 : kPropertyAddFailed) << c.what;
        EXPECT_EQ(props->Count(), c.added ? 1 : 0) << c.what;
    }
}

TEST(SimProperties, ALockedWorkbookRefusesEveryChangeButStillReads) {
    SimWorld w;
    const auto props = w.book->CustomDocumentProperties();
    props->Add("Kept", false, msoPropertyTypeString, "v");
    w.book->properties()->setLocked(true);
    EXPECT_EQ(errorOf([&] { props->Add("New", false, msoPropertyTypeString, "v"); }), kPropertyAddFailed);
    EXPECT_EQ(errorOf([&] { props->Delete("Kept"); }), kPropertyAddFailed);
    EXPECT_EQ(props->ValueOf("Kept"), "v");
    w.book->properties()->setLocked(false);
    props->Delete("Kept");
    EXPECT_EQ(props->Count(), 0);
}

TEST(SimSheets, ChartSheetsTakePartInTabOrderButAreNoWorksheets) {
    SimWorld w;
    const auto chart = w.book->addChartSheet("Chart1");
    const auto sheet3 = w.book->addWorksheet("Sheet3");
    EXPECT_EQ(chart->Type(), xlChart);
    EXPECT_EQ(chart->AsWorksheet(), nullptr);
    EXPECT_EQ(w.sheet1->Type(), xlWorksheet);
    EXPECT_EQ(w.sheet1->AsWorksheet(), w.sheet1);

    const auto worksheets = w.book->Worksheets();
    ASSERT_EQ(worksheets.size(), 3u);
    EXPECT_EQ(worksheets[2]->Name(), "Sheet3");
    EXPECT_EQ(w.book->FindWorksheet("sheet3"), sheet3);
    EXPECT_EQ(w.book->FindWorksheet("Chart1"), nullptr);

    w.book->selectSheets(std::vector<std::string>{"Sheet3", "Chart1", "Sheet1"});
    std::vector<std::string> selected;
    for (const auto& s : w.app->ActiveWindow()->SelectedSheets()) selected.push_back(s->Name());
    EXPECT_EQ(selected, (std::vector<std::string>{"Sheet1", "Chart1", "Sheet3"}));  // tab order
    EXPECT_EQ(w.app->ActiveSheet()->Name(), "Sheet3");

    chart->activate();  // within the group: the group stays
    EXPECT_EQ(w.app->ActiveWindow()->SelectedSheets().size(), 3u);
    EXPECT_EQ(w.app->ActiveCell(), nullptr);
    EXPECT_EQ(errorOf([&] { w.app->Selection(); }), err::kTypeMismatch);
    w.sheet2->Activate();  // outside it: the group breaks up
    EXPECT_EQ(w.app->ActiveWindow()->SelectedSheets().size(), 1u);
}

TEST(SimSheets, RenameFollowsTheHostsRulesForSheetNames) {
    SimWorld w;
    const std::string refused[] = {"", "Sheet2", "SHEET2", "a:b", "a/b", "a\\b", "a?b", "a*b", "a[b", "a]b", "'ab", "ab'",
                                   std::string(32, 'x')};
    for (const auto& name : refused) EXPECT_EQ(errorOf([&] { w.sheet1->rename(name); }), err::kApplicationDefined) << name;
    EXPECT_EQ(w.sheet1->Name(), "Sheet1");

    const auto range = w.sheet1->Range("A1");
    w.sheet1->rename("集計 2024");
    EXPECT_EQ(w.sheet1->Name(), "集計 2024");
    EXPECT_EQ(w.book->FindWorksheet("集計 2024"), w.sheet1);
    EXPECT_EQ(w.sheet1->Range("'集計 2024'!B2")->Address(), "$B$2");
    EXPECT_EQ(range->Parent()->Name(), "集計 2024");
    w.sheet1->rename("sheet1");  // its own name in another case is fine
    w.sheet1->rename(std::string(31, 'x'));
}

TEST(SimSheets, DeletedSheetsAndClosedWorkbooksFailWhenReached) {
    SimWorld w;
    const auto range = w.sheet2->Range("A1");
    EventLog log;
    const auto connection = w.app->Advise(log);
    w.sheet2->Activate();
    log.seen.clear();

    w.book->deleteSheet("Sheet2");
    EXPECT_EQ(errorOf([&] { w.sheet2->Type(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { w.sheet2->Name(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { range->Address(); }), err::kObjectRequired);
    EXPECT_EQ(w.book->Worksheets().size(), 1u);
    EXPECT_EQ(w.app->ActiveSheet()->Name(), "Sheet1");  // the neighbour took over
    EXPECT_EQ(log.seen, (std::vector<std::string>{"SheetActivate Sheet1"}));
    EXPECT_EQ(errorOf([&] { w.book->deleteSheet("Sheet1"); }), err::kApplicationDefined);  // the last one stays

    w.app->closeWorkbook(w.book);
    EXPECT_EQ(errorOf([&] { w.sheet1->Type(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { w.book->Name(); }), err::kObjectDisconnected);
    EXPECT_EQ(w.app->ActiveWorkbook(), nullptr);
    EXPECT_EQ(w.app->ActiveSheet(), nullptr);
    EXPECT_EQ(w.app->Selection(), nullptr);
    EXPECT_TRUE(w.app->Workbooks().empty());
}

TEST(SimSheets, StructuralEditsCarrySheetContentsAlong) {
    SimWorld w;
    auto& s = *w.sheet1;
    s.setColumnWidth(2, 20);
    s.setRowHeight(3, 30);
    s.rowBreaks().insert(10);
    s.columnBreaks().insert(4);
    s.setPrintArea("A1:D20");
    s.setPrintTitleRows("A1:B2");  // widened to whole rows
    s.addComment(5, 2, "me", "note");
    ShapeData box;
    box.name = "Box";
    box.anchor = {4, 2, 6, 3};
    s.addShape(box);
    EXPECT_EQ(s.PageSetup()->PrintTitleRows(), "$1:$2");

    s.insertRows(2);
    s.insertColumns(1);
    EXPECT_EQ(s.rowHeights().begin()->first, 4);
    EXPECT_EQ(s.columnWidths().begin()->first, 3);
    EXPECT_EQ(s.HPageBreaks().front()->Address(), "$B$11");  // in the print area's first column
    EXPECT_EQ(s.VPageBreaks().front()->Address(), "$E$1");
    EXPECT_EQ(s.PageSetup()->PrintArea(), "$B$1:$E$21");
    EXPECT_EQ(s.PageSetup()->PrintTitleRows(), "$1:$3");
    EXPECT_EQ(s.Comments().front()->Parent()->Address(), "$C$6");
    EXPECT_EQ(s.Shapes().front()->TopLeftCell()->Address(), "$C$5");
    EXPECT_EQ(s.Shapes().front()->BottomRightCell()->Address(), "$D$7");

    const auto comment = s.Comments().front();
    const auto shape = s.Shapes().front();
    s.deleteRows(5, 3);
    EXPECT_TRUE(s.Comments().empty());
    EXPECT_TRUE(s.Shapes().empty());
    EXPECT_EQ(errorOf([&] { comment->Text(); }), err::kObjectRequired);
    EXPECT_EQ(errorOf([&] { shape->Name(); }), err::kObjectRequired);
}

TEST(SimSheets, ShapeTextSourcesThatAreMissingFailWhenRead) {
    SimWorld w;
    ShapeData group;
    group.name = "Group 1";
    group.type = msoGroup;
    ShapeData label;
    label.name = "Label";
    label.caption = "";
    label.effectText = "art";
    group.items.push_back(std::make_shared<ShapeData>(label));
    w.sheet1->addShape(group);
    ShapeData plain;
    plain.name = "Plain";
    w.sheet1->addShape(plain);

    const auto shapes = w.sheet1->Shapes();
    ASSERT_EQ(shapes.size(), 2u);
    const auto items = shapes[0]->GroupItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->DrawingObjectCaption(), "");
    EXPECT_EQ(items[0]->TextEffectText(), "art");
    EXPECT_NE(errorOf([&] { items[0]->DrawingObjectObjectText(); }), 0);
    EXPECT_NE(errorOf([&] { items[0]->DrawingObjectObjectCaption(); }), 0);
    EXPECT_NE(errorOf([&] { shapes[1]->GroupItems(); }), 0);
}

}  // namespace
}  // namespace kq::host::sim
