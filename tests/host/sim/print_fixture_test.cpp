// The workbook the end-to-end print test records: its page grid, its shapes
// and comments, and its sheet-watch property must read as the recorder
// expects them.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::SimWorld;

std::vector<std::string> addresses(const std::vector<RangePtr>& ranges) {
    std::vector<std::string> out;
    for (const auto& r : ranges) out.push_back(r->Address());
    return out;
}

std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts{""};
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

struct PrintBook {
    PrintBook() {
        std::ifstream in(std::string(KQ_TEST_DATA) + "/sim/print3x2.simbook", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        book = w.app->loadWorkbook(text.str());
        sheet = book->worksheet("Ledger");
    }
    SimWorld w;
    std::shared_ptr<SimWorkbook> book;
    std::shared_ptr<SimWorksheet> sheet;
};

TEST(SimPrintFixture, ThePrintAreaIsThreePagesDownAndTwoAcross) {
    PrintBook p;
    ASSERT_TRUE(p.sheet);
    const auto setup = p.sheet->PageSetup();
    EXPECT_EQ(setup->PrintArea(), "$B$3:$M$120");
    EXPECT_EQ(setup->PrintTitleRows(), "$1:$2");
    EXPECT_EQ(setup->PrintTitleColumns(), "$A:$A");
    EXPECT_EQ(setup->PaperSize(), 9);
    EXPECT_EQ(setup->Orientation(), 1);
    EXPECT_NE(setup->PrintComments(), xlPrintNoComments);
    EXPECT_EQ(addresses(p.sheet->HPageBreaks()), (std::vector<std::string>{"$B$52", "$B$101"}));
    EXPECT_EQ(addresses(p.sheet->VPageBreaks()), (std::vector<std::string>{"$J$3"}));

    // The breaks do not depend on the view the recorder switches to.
    p.book->window()->SetView(xlPageBreakPreview);
    EXPECT_EQ(p.sheet->HPageBreaks().size(), 2u);
    EXPECT_EQ(p.sheet->VPageBreaks().size(), 1u);
}

TEST(SimPrintFixture, TheWatchPropertyHasItsSixFieldsAndThreeKindsOfHeading) {
    PrintBook p;
    const std::string value = p.book->CustomDocumentProperties()->ValueOf("KEZ_QUORVEX_INFO_Ledger");
    const auto fields = splitOn(value, '\t');
    ASSERT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[0], "0");
    EXPECT_EQ(fields[2].size(), 17u);
    EXPECT_EQ(fields[3].size(), 17u);
    EXPECT_EQ(fields[4], "");  // automatic: the print area

    const auto headings = splitOn(fields[5], '|');
    ASSERT_EQ(headings.size(), 3u);
    const auto cells = splitOn(headings[0], '/');
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(p.sheet->Range(cells[1])->Count(), 12);
    EXPECT_THROW(p.sheet->Range(splitOn(headings[1], '/')[1]), HostError);  // literal text
    EXPECT_EQ(splitOn(headings[2], '/')[1], "#REF");
}

TEST(SimPrintFixture, ShapesAnswerAsTheRecorderReadsThem) {
    PrintBook p;
    const auto shapes = p.sheet->Shapes();
    ASSERT_EQ(shapes.size(), 2u);

    const auto& group = shapes[0];
    EXPECT_EQ(group->Type(), msoGroup);
    EXPECT_TRUE(group->Visible());
    EXPECT_EQ(group->TopLeftCell()->Address(), "$C$5");
    EXPECT_EQ(group->BottomRightCell()->Address(), "$E$9");
    const auto items = group->GroupItems();
    ASSERT_EQ(items.size(), 2u);

    // Which of the four text sources each shape has: the text, or empty when reading fails.
    struct Sources {
        ShapePtr shape;
        std::string name;
        bool visible;
        std::optional<std::string> caption, objectText, objectCaption, effectText;
    };
    const Sources expected[] = {
        {items[0], "Text Box 2", true, "確認済み", {}, {}, {}},
        {items[1], "Label 3", true, {}, {}, "承認", {}},
        {shapes[1], "Hidden Note", false, {}, "内部メモ", {}, {}},
    };
    auto read = [](const std::function<std::string()>& source) -> std::optional<std::string> {
        try {
            return source();
        } catch (const HostError&) {
            return std::nullopt;
        }
    };
    for (const Sources& s : expected) {
        EXPECT_EQ(s.shape->Name(), s.name);
        EXPECT_EQ(s.shape->Visible(), s.visible) << s.name;
        EXPECT_EQ(read([&] { return s.shape->DrawingObjectCaption(); }), s.caption) << s.name;
        EXPECT_EQ(read([&] { return s.shape->DrawingObjectObjectText(); }), s.objectText) << s.name;
        EXPECT_EQ(read([&] { return s.shape->DrawingObjectObjectCaption(); }), s.objectCaption) << s.name;
        EXPECT_EQ(read([&] { return s.shape->TextEffectText(); }), s.effectText) << s.name;
    }
    EXPECT_EQ(shapes[1]->TopLeftCell()->Address(), "$K$60");
    EXPECT_EQ(shapes[1]->BottomRightCell()->Address(), "$L$62");
    EXPECT_THROW(shapes[1]->GroupItems(), HostError);
}

TEST(SimPrintFixture, CommentsKeepTheirLineFeeds) {
    PrintBook p;
    const auto comments = p.sheet->Comments();
    ASSERT_EQ(comments.size(), 2u);
    EXPECT_EQ(comments[0]->Parent()->Address(), "$C$4");
    EXPECT_EQ(comments[0]->Text(), "単価は\n電話で合意");
    EXPECT_EQ(comments[0]->Author(), "佐藤");
    EXPECT_EQ(comments[1]->Parent()->Address(), "$J$60");
    EXPECT_EQ(comments[1]->Author(), "Tanaka");
}

}  // namespace
}  // namespace kq::host::sim
