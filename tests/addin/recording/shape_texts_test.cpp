#include "addin/recording/shape_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/sim_application.h"

namespace kq::addin::recording {
namespace {

using host::sim::CellRect;
using host::sim::ShapeData;

// A sheet printed from C5 to F20 with the print titles $1:$2 and $A:$A.
class ShapeTexts : public ::testing::Test {
protected:
    ShapeTexts() {
        book = app->addWorkbook("Shapes.xls", "C:\\books");
        useNewSheet("Drawn");
        book->addWorksheet("Active")->activate();
    }

    void useNewSheet(const std::string& name) {
        sheet = book->addWorksheet(name);
        printRange = sheet->Range("$C$5:$F$20");
        titleRows = sheet->Range("$1:$2");
        titleColumns = sheet->Range("$A:$A");
    }

    std::vector<ShapeRecord> collectShapes() {
        RecordingLists lists;
        for (const host::ShapePtr& shape : sheet->Shapes()) {
            CollectShapeText(*app, lists, shape, printRange, titleRows, titleColumns, false, {}, {});
        }
        return lists.colShapes;
    }

    std::shared_ptr<host::sim::SimApplication> app = host::sim::SimApplication::create();
    std::shared_ptr<host::sim::SimWorkbook> book;
    std::shared_ptr<host::sim::SimWorksheet> sheet;
    host::RangePtr printRange;
    host::RangePtr titleRows;
    host::RangePtr titleColumns;
};

ShapeData textBox(std::string name, CellRect anchor, std::optional<std::string> caption) {
    ShapeData shape;
    shape.name = std::move(name);
    shape.type = 17;
    shape.anchor = anchor;
    shape.caption = std::move(caption);
    return shape;
}

TEST_F(ShapeTexts, ShapesInThePrintedAreaWithATextAreKept) {
    struct Case {
        const char* name;
        ShapeData shape;
        std::vector<ShapeRecord> kept;
    };
    ShapeData hidden = textBox("Hidden", {6, 4, 7, 5}, "secret");
    hidden.visible = false;
    ShapeData objectText = textBox("Object text", {6, 4, 7, 5}, std::nullopt);
    objectText.objectText = "from the object";
    ShapeData objectCaption = textBox("Object caption", {6, 4, 7, 5}, std::nullopt);
    objectCaption.objectCaption = "from its caption";
    ShapeData effect = textBox("Word art", {6, 4, 7, 5}, std::nullopt);
    effect.effectText = "from the effect";
    ShapeData emptyCaption = textBox("Empty", {6, 4, 7, 5}, "");
    emptyCaption.effectText = "not looked at";
    ShapeData noText = textBox("Line", {6, 4, 7, 5}, std::nullopt);

    const std::vector<Case> cases = {
        {"inside", textBox("Inside", {6, 4, 7, 5}, "in\ttab"), {{"Inside", "in\ttab", "$D$6", "$E$7"}}},
        {"hidden", hidden, {}},
        {"one cell over the corner", textBox("Corner", {20, 6, 25, 8}, "c"), {{"Corner", "c", "$F$20", "$H$25"}}},
        {"outside", textBox("Outside", {22, 8, 23, 9}, "o"), {}},
        {"beside, in the title rows", textBox("Rows", {1, 8, 2, 9}, "r"), {{"Rows", "r", "$H$1", "$I$2"}}},
        {"below, in the title columns", textBox("Columns", {30, 1, 31, 1}, "k"), {{"Columns", "k", "$A$30", "$A$31"}}},
        {"object text", objectText, {{"Object text", "from the object", "$D$6", "$E$7"}}},
        {"object caption", objectCaption, {{"Object caption", "from its caption", "$D$6", "$E$7"}}},
        {"text effect", effect, {{"Word art", "from the effect", "$D$6", "$E$7"}}},
        {"empty caption ends the search", emptyCaption, {}},
        {"no text anywhere", noText, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useNewSheet(std::string("Case ").append(std::to_string(++n)));
        sheet->addShape(c.shape);
        EXPECT_EQ(collectShapes(), c.kept);
    }
}

TEST_F(ShapeTexts, GroupGivesItsVisibleMembersWithTheGroupsCells) {
    ShapeData group;
    group.name = "Group 1";
    group.type = host::msoGroup;
    group.anchor = {6, 4, 9, 5};
    ShapeData a = textBox("A", {6, 4, 6, 4}, "first");
    ShapeData b = textBox("B", {7, 4, 7, 4}, "hidden");
    b.visible = false;
    ShapeData c = textBox("C", {40, 40, 41, 41}, std::nullopt);
    c.objectText = "third";
    group.items = {std::make_shared<ShapeData>(a), std::make_shared<ShapeData>(b), std::make_shared<ShapeData>(c)};
    sheet->addShape(group);
    ShapeData away = group;
    away.name = "Group 2";
    away.anchor = {30, 10, 31, 11};
    sheet->addShape(away);

    EXPECT_EQ(collectShapes(),
              (std::vector<ShapeRecord>{{"A", "first", "$D$6", "$E$9"}, {"C", "third", "$D$6", "$E$9"}}));
}

TEST_F(ShapeTexts, CommentsInThePrintedAreaWithATextAreKept) {
    sheet->addComment(5, 3, "Sato", "two\nlines");
    sheet->addComment(22, 8, "Sato", "outside");
    sheet->addComment(1, 7, "Tanaka", "in the title rows");
    sheet->addComment(6, 4, "Tanaka", "");
    RecordingLists lists;
    for (const host::CommentPtr& comment : sheet->Comments()) {
        CollectCommentText(*app, lists, comment, printRange, titleRows, titleColumns);
    }
    EXPECT_EQ(lists.colComments,
              (std::vector<CommentRecord>{{"two\nlines", "$C$5", "Sato"}, {"in the title rows", "$G$1", "Tanaka"}}));
    std::vector<std::string> shown;
    for (const auto& text : app->statusBarHistory()) shown.push_back(text.value_or("(host)"));
    EXPECT_EQ(shown.front(), "印刷履歴を保存中...$C$5");
}

TEST_F(ShapeTexts, PrintedAreaIsThePrintRangeWithItsTitles) {
    struct Case {
        std::string from;
        std::string to;
        bool titles;
        bool inside;
    };
    const std::vector<Case> cases = {
        {"$C$5", "$C$5", true, true},    {"$A$1", "$B$3", true, true},  {"$A$1", "$B$3", false, false},
        {"$G$21", "$H$22", true, false}, {"$B$4", "$C$5", false, true}, {"nowhere", "$C$5", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from + ":" + c.to);
        EXPECT_EQ(IsInPrintArea(*app, printRange, c.titles ? titleRows : nullptr, c.titles ? titleColumns : nullptr,
                                c.from, c.to),
                  c.inside);
    }
}

}  // namespace
}  // namespace kq::addin::recording
