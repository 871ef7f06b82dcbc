#include "host/sim/range_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace kq::host::sim {
namespace {

std::vector<CellRect> areasOf(const std::string& address) {
    const auto parsed = parseAddress(address, kSmallGrid);
    std::vector<CellRect> rects;
    for (const auto& a : parsed.value()) rects.push_back(a.rect);
    return rects;
}

std::string addressOf(const std::vector<CellRect>& areas) { return formatAreas(areas, kSmallGrid); }

struct MergeCase {
    std::string areas;
    std::string merged;
};

TEST(SimUnion, MergesAreasThatFormOneRectangleAndKeepsTheOthersInOrder) {
    const MergeCase cases[] = {
        {"A1,A2", "$A$1:$A$2"},                   // same columns, touching
        {"A2,A1", "$A$1:$A$2"},
        {"A1:B2,A3:B4", "$A$1:$B$4"},
        {"A1:B3,A2:B5", "$A$1:$B$5"},             // same columns, overlapping
        {"A1,B1", "$A$1:$B$1"},                   // same rows, touching
        {"A1:C3,B2", "$A$1:$C$3"},                // one holds the other
        {"B2,A1:C3", "$A$1:$C$3"},
        {"A1,A1", "$A$1"},
        {"A1,B2", "$A$1,$B$2"},                   // diagonal: no rectangle
        {"A1:B1,A2", "$A$1:$B$1,$A$2"},           // different columns
        {"A1,A3", "$A$1,$A$3"},                   // a gap
        {"A1:A2,B2:B3", "$A$1:$A$2,$B$2:$B$3"},   // overlapping rows but not the same
        {"C1,A1,B1", "$A$1:$C$1"},                // B1 joins C1, then A1 joins them
        {"A1,C1,B1", "$A$1:$C$1"},
        {"$1:$2,$3:$3", "$1:$3"},
        {"A:A,B:B,D:D", "$A:$B,$D:$D"},
        {"$1:$1,A1", "$1:$1"},
    };
    for (const auto& c : cases) EXPECT_EQ(addressOf(mergeAreas(areasOf(c.areas))), c.merged) << c.areas;
}

TEST(SimIntersect, GivesTheOverlapOfEveryPairOfAreas) {
    EXPECT_EQ(addressOf(intersectAreas(areasOf("A1:C3"), areasOf("B2:D4"))), "$B$2:$C$3");
    EXPECT_EQ(addressOf(intersectAreas(areasOf("A1:C3"), areasOf("C3"))), "$C$3");
    EXPECT_TRUE(intersectAreas(areasOf("A1:B2"), areasOf("C3")).empty());
    EXPECT_EQ(addressOf(intersectAreas(areasOf("$1:$2"), areasOf("B:B"))), "$B$1:$B$2");
    EXPECT_EQ(addressOf(intersectAreas(areasOf("A1:A5,C1:C5"), areasOf("$2:$2"))), "$A$2,$C$2");
}

struct MoveCase {
    const char* edit;  // "+r2x1": insert 1 row before row 2; "-c1x2": delete columns 1 to 2
    std::string before;
    std::string after;  // "" when the cells are gone
};

StructuralEdit editOf(const std::string& text) {
    StructuralEdit e;
    e.insert = text[0] == '+';
    e.axis = text[1] == 'r' ? StructuralEdit::Axis::rows : StructuralEdit::Axis::columns;
    const std::size_t x = text.find('x');
    e.first = std::stoi(text.substr(2, x - 2));
    e.count = std::stoi(text.substr(x + 1));
    return e;
}

TEST(SimStructuralEdit, AreasMoveAsTheHostMovesRanges) {
    const MoveCase cases[] = {
        {"+r1x1", "A1", "$A$2"},
        {"+r2x1", "A1", "$A$1"},             // above the insert
        {"+r2x3", "A1:A3", "$A$1:$A$6"},     // inside: widens
        {"+r1x1", "A1:A3", "$A$2:$A$4"},     // at its top: moves
        {"+r1x1", "A:A", "$A:$A"},           // whole columns stay whole
        {"+r1x1", "$1:$1", "$2:$2"},
        {"+c1x2", "A1:B2", "$C$1:$D$2"},
        {"+c2x1", "$1:$2", "$1:$2"},         // whole rows under a column insert
        {"+r65536x1", "A65536", ""},         // pushed off the grid
        {"+r2x1", "A1:A65536", "$A:$A"},
        {"+r3x1", "A2:A65536", "$A$2:$A$65536"},  // cut at the grid's end
        {"-r1x1", "A2", "$A$1"},
        {"-r2x1", "A2", ""},
        {"-r2x2", "A1:A5", "$A$1:$A$3"},
        {"-r1x2", "A2:A5", "$A$1:$A$3"},     // cut at its top
        {"-r4x5", "A2:A5", "$A$2:$A$3"},     // cut at its bottom
        {"-r2x4", "A2:A5", ""},
        {"-r9x1", "A2:A5", "$A$2:$A$5"},
        {"-r1x1", "A:A", "$A:$A"},
        {"-c2x1", "A1:C1", "$A$1:$B$1"},
        {"-c1x1", "$1:$1", "$1:$1"},
        {"-c1x3", "B2", ""},
    };
    for (const auto& c : cases) {
        const auto moved = movedRect(areasOf(c.before).front(), editOf(c.edit), kSmallGrid);
        EXPECT_EQ(moved ? formatRect(*moved, kSmallGrid) : "", c.after) << c.edit << " " << c.before;
    }
}

TEST(SimStructuralEdit, EditLogCatchesUpOnlyWithEditsNotSeen) {
    EditLog log(kSmallGrid);
    log.record(editOf("+r1x1"));
    const std::size_t seen = log.size();
    log.record(editOf("+c1x1"));
    log.record(editOf("-r5x1"));
    EXPECT_EQ(addressOf(log.catchUp(areasOf("A2,A5:B5,A9"), seen)), "$B$2,$B$8");
    EXPECT_EQ(addressOf(log.catchUp(areasOf("A1"), 0)), "$B$2");
}

}  // namespace
}  // namespace kq::host::sim
