#include "host/sim/fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/sim/fixture_format.h"
#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::SimWorld;

std::string readTestFile(const std::string& name) {
    std::ifstream in(std::string(KQ_TEST_DATA) + "/sim/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A workbook that uses every part of the format.
void fillEverything(SimWorld& w) {
    auto& props = *w.book->properties();
    props.add({"KEZ_QUORVEX_INFO_Sheet1", msoPropertyTypeString, "0\tcat\t\"quoted\"\\", true});
    props.add({"Number", msoPropertyTypeNumber, "12", true});
    props.add({"Flag", msoPropertyTypeBoolean, "True", true});
    props.add({"When", msoPropertyTypeDate, "2024/01/31", true});
    props.add({"Rate", msoPropertyTypeFloat, "0.1", true});
    props.add({"Hidden", msoPropertyTypeString, "", false});

    auto& s = *w.sheet1;
    s.setCell("A1", 0.1);
    s.setCell("B1", -1e300, "tiny");
    s.setCell("C1", std::string("two words\tand a tab\nand \"quotes\""));
    s.setCell("D1", std::string("#not a comment"));
    s.setCell("E1", false);
    s.setCell("F1", Date{45322.5});
    s.setCell("G1", CellError{2023});
    s.setCell("A2", std::string(""));
    s.setCell("H9", std::string("集計"), "集計 ");
    s.setColumnWidth(3, 0.5);
    s.setRowHeight(9, 13.5);
    s.setPrintArea("A1:H9,J1");
    s.setPrintTitleRows("1:1");
    s.setPrintTitleColumns("A:B");
    PageSetupData& setup = s.setup();
    setup.leftHeader = "&L\"Page\" &P";
    setup.rightFooter = " ";
    setup.topMargin = 0.3;
    setup.centerVertically = true;
    setup.paperSize = 8;
    setup.firstPageNumber = 3;
    setup.order = xlOverThenDown;
    s.rowBreaks().insert(5);
    s.columnBreaks().insert(3);
    ShapeData group;
    group.name = "Group 1";
    group.type = msoGroup;
    group.anchor = {2, 2, 4, 4};
    ShapeData member;
    member.name = "in group";
    member.visible = false;
    member.caption = "";
    member.objectText = "a";
    member.objectCaption = "b";
    member.effectText = "c";
    group.items.push_back(std::make_shared<ShapeData>(member));
    s.addShape(group);
    s.addComment(3, 3, "", "line\r\nbreak");
    w.book->addChartSheet("My chart");
    w.book->defineName("Head", "Sheet1!$A$1:$B$2,Sheet1!$D:$D");
    w.book->defineName("Quoted", "Sheet2!$A$1");
    w.sheet2->rename("It's");
    w.book->selectSheets(std::vector<std::string>{"My chart", "Sheet1"});
}

TEST(SimFixture, AWorkbookWrittenAndReadBackIsTheSame) {
    SimWorld w;
    fillEverything(w);
    const std::string text = writeFixture(*w.book);
    w.app->closeWorkbook(w.book);

    const auto again = w.app->loadWorkbook(text);
    EXPECT_EQ(writeFixture(*again), text);
    EXPECT_EQ(again->name(), "Book1.xls");
    EXPECT_EQ(again->path(), "C:\\books");
    EXPECT_EQ(again->properties()->all(), w.book->properties()->all());
    const auto sheet = again->worksheet("Sheet1");
    EXPECT_EQ(sheet->cells(), w.sheet1->cells());
    EXPECT_EQ(sheet->setup(), w.sheet1->setup());
    EXPECT_EQ(sheet->columnWidths(), w.sheet1->columnWidths());
    EXPECT_EQ(sheet->Range("Head")->Address(), "$A$1:$B$2,$D:$D");
    EXPECT_EQ(again->worksheet("It's")->Range("Quoted")->Address(), "$A$1");
    ASSERT_EQ(sheet->shapes().size(), 1u);
    EXPECT_EQ(sheet->shapes()[0]->items[0]->objectCaption, "b");
    EXPECT_EQ(sheet->comments()[0]->text, "line\r\nbreak");
    EXPECT_EQ(again->activeSheet()->name(), "My chart");
    EXPECT_EQ(again->selectedSheets().size(), 2u);
    EXPECT_FALSE(again->sheet("My chart")->isWorksheet());
}

TEST(SimFixture, TheSampleFileReadsAsWritten) {
    SimWorld w;
    const auto book = w.app->loadWorkbook(readTestFile("orders.simbook"));
    EXPECT_EQ(book->name(), "Orders.xls");
    const auto props = book->CustomDocumentProperties();
    EXPECT_EQ(props->Count(), 3);
    EXPECT_EQ(props->Value(1), "0\tMonthly\t20240131120000ABC\t20240131120000DEF\t$A$1:$D$20\tCustomer/$B$2/1");
    EXPECT_THROW(props->Value(3), HostError);
    const auto orders = book->worksheet("Orders");
    EXPECT_EQ(orders->Range("C3")->Text(), "1,250");
    EXPECT_EQ(orders->Range("C3")->CellValue(), Value{1250.0});
    EXPECT_EQ(orders->Range("B3")->Text(), "2024/1/31");
    EXPECT_EQ(orders->Range("Lines")->Address(), "$A$3:$D$4,$A$10");
    EXPECT_EQ(orders->PageSetup()->PrintTitleRows(), "$1:$2");
    EXPECT_EQ(orders->PageSetup()->Orientation(), 2);
    EXPECT_EQ(orders->PageSetup()->PaperSize(), 9);
    EXPECT_EQ(orders->Comments()[0]->Text(), "Price agreed\non the phone");
    EXPECT_EQ(orders->Shapes()[1]->DrawingObjectObjectText(), "see\nbelow");
    EXPECT_EQ(orders->UsedRange()->Address(), "$A$1:$D$4");
    EXPECT_EQ(book->Worksheets().size(), 2u);
    EXPECT_EQ(book->sheets().size(), 3u);
}

struct DamageCase {
    std::string text;
    int line;
};

TEST(SimFixture, DamagedFilesAreReportedWithTheirLine) {
    const std::string head = "simulated-workbook 1\nbook B\n";
    const DamageCase cases[] = {
        {"", 1},
        {"simulated-workbook 2\nbook B\n", 1},
        {"simulated-workbook 1", 1},                     // no book line: reported at the end
        {head, 2},                                       // no sheet
        {head + "worksheet S\nfrobnicate 1\n", 4},
        {head + "cell A1 number 1\nworksheet S\n", 3},   // a cell before any sheet
        {head + "chart C\ncell A1 number 1\n", 4},
        {head + "worksheet S\ncell A1 number one\n", 4},
        {head + "worksheet S\ncell A1 number 1e999\n", 4},
        {head + "worksheet S\ncell A0 number 1\n", 4},
        {head + "worksheet S\ncell A1:B2 number 1\n", 4},
        {head + "worksheet S\ncell A1 number\n", 4},
        {head + "worksheet S\ncell A1 number 1 shown extra\n", 4},
        {head + "worksheet S\ncell A1 bool yes\n", 4},
        {head + "worksheet S\ncell A1 date 2024/2/30\n", 4},
        {head + "worksheet S\ncell A1 error #OOPS\n", 4},
        {head + "worksheet S\ncell A1 text \"open\n", 4},
        {head + "worksheet S\ncell A1 text \"bad\\q\"\n", 4},
        {head + "worksheet S\ncell A1 text \"a\"b\n", 4},
        {head + "worksheet S\ncell A1 text \"\xFF\"\n", 4},
        {head + "worksheet S\ncell A1 text \"\xE3\x81\"\n", 4},     // cut inside a character
        {head + "worksheet S\nwidth 1 10\n", 4},
        {head + "worksheet S\nheight 0 10\n", 4},
        {head + "worksheet S\nsetup paper A4\n", 4},
        {head + "worksheet S\nsetup print-area Other!A1\n", 4},
        {head + "worksheet S\nsetup colour red\n", 4},
        {head + "worksheet S\nbreak row 1\n", 4},
        {head + "worksheet S\nbreak page 2\n", 4},
        {head + "worksheet S\nshape X 1 C3 B2\n", 4},
        {head + "worksheet S\nshape X 1 A1 B2 caption\n", 4},
        {head + "worksheet S\nshape X 1 A1 B2 colour red\n", 4},
        {head + "worksheet S\nshape X 1 A1 B2\nitem Y 1 A1 A1\n", 5},  // X is no group
        {head + "worksheet S\nworksheet s\n", 4},        // name taken, letter case ignored
        {head + "worksheet S\nworksheet a/b\n", 4},
        {head + "worksheet S\nname N Other!$A$1\n", 4},
        {head + "name N S!$A$1\nworksheet S\nname 1x S!$A$1\n", 5},
        {head + "worksheet S\nselected T\n", 4},
        {head + "book C\nworksheet S\n", 3},
        {head + "property P text v\nproperty P text w\nworksheet S\n", 4},
        {head + "property P money v\nworksheet S\n", 3},
        {head + "property P text v hidden\nworksheet S\n", 3},
    };
    for (const auto& c : cases) {
        SimWorld w;
        try {
            w.app->loadWorkbook(c.text);
            ADD_FAILURE() << "read without complaint: " << c.text;
        } catch (const FixtureError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text << "\n" << e.what();
        }
    }
}

TEST(SimFixture, FieldsComeBackWhole) {
    const std::string cases[] = {"plain", "C:\\books", "two words", "", "\"", "tab\there", "#hash", "a\\tb", "end\\", "é漢字", "\x7F"};
    for (const auto& text : cases) {
        std::string why;
        const auto fields = fixture::splitFields("x " + fixture::field(text) + " y", why);
        ASSERT_TRUE(fields) << text << ": " << why;
        EXPECT_EQ(*fields, (std::vector<std::string>{"x", text, "y"})) << text;
    }
}

}  // namespace
}  // namespace kq::host::sim
