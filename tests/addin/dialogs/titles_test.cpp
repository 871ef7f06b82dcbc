#include "addin/dialogs/titles_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/addin/dialogs/dialog_test_world.h"

namespace kq::addin::dialogs {
namespace {

using test::DialogWorld;
using namespace titles_design;

struct Heading {
    std::string title;
    std::string value;
    std::int32_t type = 0;
    friend bool operator==(const Heading&, const Heading&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Heading& h) {
        return out << "{" << h.title << ", " << h.value << ", " << h.type << "}";
    }
};
using Headings = std::vector<Heading>;

struct List {
    explicit List(DialogWorld& w) : model(w.context(), w.listServices()) {}
    void fill(const Headings& headings) {
        model.TitleCount(static_cast<int>(headings.size()));
        for (std::size_t k = 0; k < headings.size(); ++k) {
            TitleModel& row = model.row(k);
            row.TitleText(headings[k].title);
            row.ValueText(headings[k].value);
            row.CellLinkValueType(headings[k].type);
        }
        changed.clear();
    }
    Headings headings() {
        Headings all;
        for (int i = 1; i <= model.TitleCount(); ++i) {
            TitleModel& row = *model.Item(i);
            all.push_back({row.TitleText(), row.ValueText(), row.CellLinkValueType()});
        }
        return all;
    }
    TitlesModel model;
    std::vector<int> changed;
    std::vector<int> focused;
    int windows = 1;  // row 0's, made with the list
    std::array<Connection, 4> onModel{
        model.Change.connect([this](int index) { changed.push_back(index); }),
        model.focusRow.connect([this](std::size_t row) { focused.push_back(static_cast<int>(row)); }),
        model.rowAdded.connect([this](std::size_t) { ++windows; }),
        model.rowRemoving.connect([this](std::size_t) { --windows; }),
    };
};

const Headings kABC = {{"A", "a", 1}, {"B", "b", 0}, {"C", "c", 1}};

TEST(HeadingList, RowCommandsMoveContentsBetweenRows) {
    struct Case {
        const char* what;
        RowCommand command;
        std::size_t row;
        Headings after;
        int beeps;
    };
    const Case cases[] = {
        {"insert on the second", RowCommand::insert, 1, {kABC[0], {}, kABC[1], kABC[2]}, 0},
        {"delete the second", RowCommand::remove, 1, {kABC[0], kABC[2]}, 0},
        {"delete the first empties it and keeps its type", RowCommand::remove, 0, {{"", "", 1}, kABC[1], kABC[2]}, 0},
        {"up on the third", RowCommand::up, 2, {kABC[0], kABC[2], kABC[1]}, 0},
        {"down on the first", RowCommand::down, 0, {kABC[1], kABC[0], kABC[2]}, 0},
        {"up on the first only beeps", RowCommand::up, 0, kABC, 1},
        {"down on the last only beeps", RowCommand::down, 2, kABC, 1},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        List l(w);
        l.fill(kABC);
        l.model.rowCommand(c.command, c.row);
        EXPECT_EQ(l.headings(), c.after) << c.what;
        EXPECT_EQ(w.prompts.beeps, c.beeps) << c.what;
        EXPECT_EQ(l.windows, l.model.TitleCount()) << c.what;
        EXPECT_TRUE(l.focused.empty()) << c.what;
    }
}

TEST(HeadingList, TitleCountGrowsAndShrinksFromTheEndAndKeepsOneRow) {
    struct Case {
        int from;
        int to;
        int rows;
        Headings kept;
    };
    const Headings five = {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}};
    const Case cases[] = {
        {1, 3, 3, {{"1", "a"}, {}, {}}},
        {5, 2, 2, {{"1", "a"}, {"2", "b"}}},
        {5, 0, 1, {{}}},
        {5, -3, 1, {{}}},
        {3, 3, 3, {{"1", "a"}, {"2", "b"}, {"3", "c"}}},
    };
    for (const Case& c : cases) {
        DialogWorld w;
        List l(w);
        l.fill(Headings(five.begin(), five.begin() + c.from));
        l.model.TitleCount(c.to);
        EXPECT_EQ(l.model.TitleCount(), c.rows) << c.from << " -> " << c.to;
        EXPECT_EQ(l.headings(), c.kept) << c.from << " -> " << c.to;
        EXPECT_EQ(l.windows, c.rows);
    }
}

TEST(HeadingList, ItemAndFocusCountFromOneAndIgnoreRowsThatAreNot) {
    DialogWorld w;
    List l(w);
    l.fill(kABC);
    EXPECT_EQ(l.model.Item(1), &l.model.row(0));
    EXPECT_EQ(l.model.Item(0), nullptr);
    EXPECT_EQ(l.model.Item(4), nullptr);
    l.model.TitleSetFocus(2);
    l.model.TitleSetFocus(0);
    l.model.TitleSetFocus(4);
    EXPECT_EQ(l.focused, std::vector<int>{1});
}

TEST(HeadingList, ARowsChangeCarriesItsIndexFromZero) {
    DialogWorld w;
    List l(w);
    l.fill(kABC);
    l.model.Item(2)->ValueText("new");
    l.model.Item(3)->CellLinkValueType(0);  // the type raises nothing
    EXPECT_EQ(l.changed, std::vector<int>{1});
}

TEST(HeadingList, UpAndDownOpenBetweenTheFirstAndTheLastRow) {
    DialogWorld w;
    List l(w);
    EXPECT_FALSE(l.model.upEnabled(0));
    EXPECT_FALSE(l.model.downEnabled(0));
    l.model.add();
    EXPECT_FALSE(l.model.upEnabled(0));
    EXPECT_TRUE(l.model.downEnabled(0));
    EXPECT_TRUE(l.model.upEnabled(1));
    EXPECT_FALSE(l.model.downEnabled(1));
}

TEST(HeadingList, ScrollsByWholeRowsAsFarAsTheAddButtonNeeds) {
    DialogWorld w;
    List l(w);
    l.model.resized(1500);  // room for four rows and a bit
    EXPECT_EQ(l.model.scrollMax(), 0);
    EXPECT_FALSE(l.model.scrollEnabled());

    for (int i = 0; i < 5; ++i) l.model.add();
    // Six rows and the add button: 5 * 350 + 300 + 360 = 2410 twips, 910 more than fit.
    EXPECT_EQ(l.model.panelHeight(), 2410);
    EXPECT_EQ(l.model.scrollMax(), 3);
    EXPECT_EQ(l.model.scrollValue(), 3);  // ADD scrolled to the end
    EXPECT_EQ(l.model.panelTop(), -3 * kRowPitch);
    EXPECT_EQ(l.focused.back(), 5);

    l.model.scrollTo(1);
    EXPECT_EQ(l.model.panelTop(), -kRowPitch);
    l.model.scrollTo(3);
    l.model.TitleCount(4);  // 3 * 350 + 660 = 1710: one row to scroll
    EXPECT_EQ(l.model.scrollMax(), 1);
    EXPECT_EQ(l.model.scrollValue(), 1);
    l.model.resized(3000);
    EXPECT_EQ(l.model.scrollValue(), 0);
    EXPECT_EQ(l.model.panelTop(), 0);
}

TEST(HeadingList, DeletingARowRemembersTheTitleDeleted) {
    DialogWorld w;
    {
        List l(w);
        l.fill({{"日付", "B2"}, {"担当者", "C3"}, {"金額", "D4"}});
        l.model.rowCommand(RowCommand::remove, 1);
        EXPECT_EQ(w.list("TITLE"), "担当者\t金額");  // the deleted one, then the row that went
    }
    EXPECT_EQ(w.list("TITLE"), "担当者\t金額\t日付");
}

TEST(HeadingList, PickingInARowHidesTheDialogForTheBox) {
    DialogWorld w;
    List l(w);
    std::vector<bool> visibility;
    const Connection onVisible = l.model.parentVisible.connect([&](bool shown) { visibility.push_back(shown); });
    l.model.Item(1)->TitleText("日付");
    w.sim.app->cancelInputBox();
    l.model.Item(1)->valueMenuChosen(value_menu::kCellReference);
    EXPECT_EQ(visibility, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace kq::addin::dialogs
