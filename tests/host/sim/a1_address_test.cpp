#include "host/sim/a1_address.h"

#include <gtest/gtest.h>

#include <string>

namespace kq::host::sim {
namespace {

struct AddressCase {
    std::string text;
    std::string address;  // as the host gives it back
};

TEST(SimAddress, ReadsEveryFormAndGivesTheHostsAbsoluteAddress) {
    const AddressCase cases[] = {
        {"A1", "$A$1"},
        {"$A$1", "$A$1"},
        {"a1", "$A$1"},
        {"$B2", "$B$2"},
        {"B$2", "$B$2"},
        {"B2:C3", "$B$2:$C$3"},
        {"C3:B2", "$B$2:$C$3"},    // corners put in order
        {"C2:B3", "$B$2:$C$3"},
        {"B2:B2", "$B$2"},         // one cell written as a rectangle
        {"1:2", "$1:$2"},
        {"$3:$3", "$3:$3"},
        {"A:B", "$A:$B"},
        {"$c:$c", "$C:$C"},
        {"A1:IV1", "$A$1:$IV$1"},  // a full row only on the small grid
        {"A1,B2:C3", "$A$1,$B$2:$C$3"},
        {"B2:C3,A1", "$B$2:$C$3,$A$1"},  // areas keep the order written
        {"A1,A1", "$A$1,$A$1"},
        {"Sheet1!A1", "$A$1"},
        {"'My sheet'!$A$1:$B$2", "$A$1:$B$2"},
        {"XFD1048576", "$XFD$1048576"},
    };
    for (const auto& c : cases) {
        const auto areas = parseAddress(c.text, kLargeGrid);
        ASSERT_TRUE(areas) << c.text;
        std::vector<CellRect> rects;
        for (const auto& a : *areas) rects.push_back(a.rect);
        EXPECT_EQ(formatAreas(rects, kLargeGrid), c.address) << c.text;
        // What the host gives back reads as the same cells.
        const auto again = parseAddress(c.address, kLargeGrid);
        ASSERT_TRUE(again) << c.address;
        EXPECT_EQ(again->size(), areas->size()) << c.address;
    }
}

TEST(SimAddress, RefusesWhatIsNoAddressOnTheGrid) {
    const std::string cases[] = {
        "", "A", "1", "A0", "0:1", "$", "A$", "$$A1", "A1:", ":A1", "A1:B", "1:B", "A1B", "1A", "A01",
        "A1,", ",A1", "A1,,B2", "A1 ", " A1", "A1:B2:C3", "Total", "ABCD1", "!A1", "'Sheet1!A1", "''!A1",
        "A1048577", "XFE1",
    };
    for (const auto& text : cases) EXPECT_FALSE(parseAddress(text, kLargeGrid)) << text;
}

TEST(SimAddress, GridOfTheHostVersionBoundsAddresses) {
    EXPECT_EQ(gridForVersion("11.0"), kSmallGrid);
    EXPECT_EQ(gridForVersion("9.0"), kSmallGrid);
    EXPECT_EQ(gridForVersion("12.0"), kLargeGrid);
    EXPECT_EQ(gridForVersion("16.0"), kLargeGrid);

    EXPECT_TRUE(parseAddress("IV65536", kSmallGrid));
    EXPECT_FALSE(parseAddress("IW1", kSmallGrid));
    EXPECT_FALSE(parseAddress("A65537", kSmallGrid));
    // The same rectangle is whole rows on one grid and not on the other.
    EXPECT_EQ(formatRect({1, 1, 2, 256}, kSmallGrid), "$1:$2");
    EXPECT_EQ(formatRect({1, 1, 2, 256}, kLargeGrid), "$A$1:$IV$2");
    EXPECT_EQ(formatRect({1, 3, 65536, 3}, kSmallGrid), "$C:$C");
    EXPECT_EQ(formatRect({1, 1, 1048576, 16384}, kLargeGrid), "$1:$1048576");
}

TEST(SimAddress, ColumnLettersAtTheirEdges) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {256, "IV"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"},
    };
    for (const auto& [column, letters] : cases) {
        EXPECT_EQ(columnLetters(column), letters);
        EXPECT_EQ(parseColumnLetters(letters, kLargeGrid), column) << letters;
    }
}

TEST(SimAddress, KeepsTheSheetQualifierOfEachArea) {
    const auto areas = parseAddress("'It''s'!A1,Sheet2!B2,C3", kLargeGrid);
    ASSERT_TRUE(areas);
    ASSERT_EQ(areas->size(), 3u);
    EXPECT_EQ((*areas)[0].sheet, "It's");
    EXPECT_EQ((*areas)[1].sheet, "Sheet2");
    EXPECT_FALSE((*areas)[2].sheet);

    EXPECT_EQ(quoteSheetName("Sheet1"), "Sheet1");
    EXPECT_EQ(quoteSheetName("My sheet"), "'My sheet'");
    EXPECT_EQ(quoteSheetName("It's"), "'It''s'");
    EXPECT_EQ(quoteSheetName("A1"), "'A1'");  // would read as a cell
    EXPECT_EQ(quoteSheetName("2024"), "'2024'");
}

}  // namespace
}  // namespace kq::host::sim
