#include "viewer/start/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

namespace kq::viewer {
namespace {

StartValues read(std::string_view arguments, Grouping grouping = Grouping::sheet, int* asked = nullptr) {
    StartValues values;
    readStartValues(
        arguments, values,
        [&] {
            if (asked) ++*asked;
            return grouping;
        },
        systemAnsiCodec());
    return values;
}

TEST(CommandLine, ProgramPathIsSkippedQuotedOrWithBlanks) {
    const std::string program = "C:\\Program Files\\Kez\\Kez_Quorvex_View.exe";
    const struct {
        std::string line;
        const char* arguments;
    } cases[] = {
        {std::string("\"") + program + "\" ParentHwnd=1\tSaveFolder=D:\\H", "ParentHwnd=1\tSaveFolder=D:\\H"},
        {program + " ParentHwnd=1", "ParentHwnd=1"},
        {"c:\\program files\\kez\\KEZ_QUORVEX_VIEW.EXE ParentHwnd=1", "ParentHwnd=1"},  // letter case
        {"Kez_Quorvex_View.exe   ParentHwnd=1", "ParentHwnd=1"},
        {std::string("\"") + program + "\"", ""},
        {program, ""},
        {std::string("\"") + program, ""},  // an unclosed quote takes the rest
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(argumentsOf(c.line, program), c.arguments);
    }
}

TEST(CommandLine, ItemsSetTheStartValues) {
    const struct {
        const char* arguments;
        StartValues expected;
    } cases[] = {
        {"", {}},
        {"ParentHwnd=66192\tParentWindowMaximized=1\tSaveFolder=D:\\Hist\tShowId=\tShowCategory=",
         {66192, true, "D:\\Hist", ""}},
        {"parenthwnd=5\tPARENTWINDOWMAXIMIZED=1\tsaveFOLDER=x", {5, true, "x", ""}},  // keys in any case
        {"SaveFolder=\"C:\\My Hist\"", {0, false, "C:\\My Hist", ""}},                // quotes removed
        {"SaveFolder=D:\\a=b\\c", {0, false, "D:\\a=b\\c", ""}},                      // after the first "="
        {"ParentHwnd=&H10", {16, false, "", ""}},
        {"ParentHwnd=  12abc", {12, false, "", ""}},
        {"ParentHwnd=2.5", {2, false, "", ""}},  // halves to even
        {"ParentHwnd=3.5", {4, false, "", ""}},
        {"ParentHwnd=-2147483648", {-2147483647 - 1, false, "", ""}},
        {"ParentHwnd=7\tParentHwnd=2147483648", {7, false, "", ""}},  // out of range keeps the value
        {"ParentHwnd=7\tParentHwnd=1e400", {7, false, "", ""}},
        {"ParentHwnd=7\tParentHwnd=", {0, false, "", ""}},  // no digits read as 0
        {"ParentWindowMaximized=0", {}},
        {"ParentWindowMaximized=2", {}},
        {"ParentWindowMaximized=", {}},
        {"ParentWindowMaximized=1.0", {0, true, "", ""}},
        {"ParentHwnd\tSaveFolder", {}},                                 // no "=": nothing
        {"\t\tSaveFolder=A\t\t\tSaveFolder=B\t", {0, false, "B", ""}},  // the last wins
        {"Unknown=1\t=2\tParentHwnd =3", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(read(c.arguments), c.expected);
    }
}

TEST(CommandLine, ShowIdAndShowCategoryChooseTheCardByGrouping) {
    const char* const ids = "20240301080000AAA_20240302090000BBB";
    const struct {
        Grouping grouping;
        std::string arguments;
        const char* key;
    } cases[] = {
        {Grouping::all, std::string("ShowId=") + ids, ""},
        {Grouping::sheet, std::string("ShowId=") + ids, "20240301080000AAA"},
        {Grouping::sheet, "ShowId=NOUNDERSCORE", "NOUNDERSCORE"},
        {Grouping::sheet, std::string("ShowId=") + ids + "\tShowId=", "20240301080000AAA"},  // empty changes nothing
        {Grouping::version, std::string("ShowId=") + ids, ids},
        {Grouping::version, std::string("ShowId=") + ids + "\tShowId=", ""},
        {Grouping::category, std::string("ShowId=") + ids, ""},
        {Grouping::category, "ShowCategory=経理", "CATEGORY_経理"},
        {Grouping::category, "ShowCategory=経理\tShowCategory=", ""},
        {Grouping::sheet, std::string("ShowId=") + ids + "\tShowCategory=経理", "20240301080000AAA"},
        {Grouping::version, "ShowCategory=経理", ""},
        {Grouping::all, "ShowCategory=経理", ""},
        // Outside the code page: as the history file stores it.
        {Grouping::category, "ShowCategory=café", "CATEGORY_cafe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(read(c.arguments, c.grouping).gShowCardKey, c.key);
    }
}

TEST(CommandLine, GroupingIsAskedOnlyForShowItems) {
    int asked = 0;
    read("ParentHwnd=1\tSaveFolder=D:\\H", Grouping::sheet, &asked);
    EXPECT_EQ(asked, 0);  // the view settings stay unloaded
    read("ShowId=A_B\tShowCategory=C", Grouping::sheet, &asked);
    EXPECT_EQ(asked, 2);
}

TEST(CommandLine, HandedOverLineAsksForACardUnderTheCurrentGrouping) {
    const ShowRequest request = readShowRequest("ParentHwnd=1\tshowid=S_V\tSHOWCATEGORY=経理\tShowId=T_W");
    EXPECT_EQ(request.showId, "T_W");
    EXPECT_EQ(request.showCategory, "経理");
    const auto& codec = systemAnsiCodec();
    EXPECT_EQ(requestedCardKey(request, Grouping::all, codec), "");
    EXPECT_EQ(requestedCardKey(request, Grouping::sheet, codec), "T");
    EXPECT_EQ(requestedCardKey(request, Grouping::version, codec), "T_W");
    EXPECT_EQ(requestedCardKey(request, Grouping::category, codec), "CATEGORY_経理");
    EXPECT_EQ(requestedCardKey({"", ""}, Grouping::category, codec), "");
}

TEST(CommandLine, DamagedLinesNeverFailTheStart) {
    // Pieces of real lines, separators, quotes and bytes that are not UTF-8.
    const char* const pieces[] = {"ParentHwnd", "SaveFolder", "ShowId", "ShowCategory", "=", "==", "\t", "\"",
                                  " ",          "&H",         "&HFFFFFFFFFF", "1e308", "-", "_", "\x81", "\xff",
                                  "9999999999", "ＡＢＣ",     ""};
    std::uint32_t seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        std::string line;
        for (int n = 0; n < 12; ++n) {
            seed = seed * 1664525u + 1013904223u;
            line += pieces[(seed >> 16) % std::size(pieces)];
        }
        const std::string arguments(argumentsOf(line, "C:\\Kez_Quorvex_View.exe"));
        for (Grouping g : {Grouping::all, Grouping::sheet, Grouping::version, Grouping::category}) {
            const StartValues values = read(arguments, g);
            EXPECT_EQ(values.gSaveFolder.find('"'), std::string::npos);
            EXPECT_EQ(values.gShowCardKey.find('\t'), std::string::npos);
        }
        readShowRequest(arguments);
    }
}

}  // namespace
}  // namespace kq::viewer
