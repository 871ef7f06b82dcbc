// Scenario scripts are read whole and checked before anything runs, so a
// mistake in a test's script is reported with its line, not half-way through.

#include <gtest/gtest.h>

#include "tools/simhost/scenario_script.h"

namespace kq::simhost {
namespace {

using Words = std::vector<std::string>;

TEST(ScenarioScript, WordsAndQuotes) {
    struct Case {
        const char* line;
        Words words;
    };
    const Case cases[] = {
        {"call A.B Twice 21", {"call", "A.B", "Twice", "21"}},
        {"  echo\t two  blanks ", {"echo", "two", "blanks"}},
        {"echo \"a b\" c", {"echo", "a b", "c"}},
        {"echo \"\"", {"echo", ""}},
        {"echo \"tab\\there\\r\\n\\\"q\\\" \\\\\"", {"echo", "tab\there\r\n\"q\" \\"}},
        {"open C:\\books\\a.simbook", {"open", "C:\\books\\a.simbook"}},
        {"echo 売上", {"echo", "売上"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitWords(c.line), c.words) << c.line;
    EXPECT_THROW(splitWords("echo \"open"), std::invalid_argument);
    EXPECT_THROW(splitWords("echo \"bad \\q\""), std::invalid_argument);
}

TEST(ScenarioScript, ValuesFromTheCommandLine) {
    const std::map<std::string, std::string> values{{"ADDIN", "Z:\\b\\x.dll"}, {"E", ""}};
    EXPECT_EQ(substitute("register ${ADDIN}", values), "register Z:\\b\\x.dll");
    EXPECT_EQ(substitute("echo ${E}${ADDIN}${E}", values), "echo Z:\\b\\x.dll");
    EXPECT_EQ(substitute("echo $ADDIN {ADDIN}", values), "echo $ADDIN {ADDIN}");
    EXPECT_THROW(substitute("echo ${OTHER}", values), std::invalid_argument);
    EXPECT_THROW(substitute("echo ${ADDIN", values), std::invalid_argument);
}

TEST(ScenarioScript, AValueStaysTheOneWordItStandsIn) {
    const std::map<std::string, std::string> values{{"DIR", "Z:\\履歴 フォルダ\\new\\"}, {"Q", "\"x\""}};
    const auto script = parseScript("regset Key Folder ${DIR}\necho \"in ${Q} quotes\" ${DIR}tail\n", values);
    ASSERT_EQ(script.size(), 2u);
    EXPECT_EQ(script[0].words, (Words{"regset", "Key", "Folder", "Z:\\履歴 フォルダ\\new\\"}));
    EXPECT_EQ(script[1].words, (Words{"echo", "in \"x\" quotes", "Z:\\履歴 フォルダ\\new\\tail"}));
    EXPECT_EQ(script[0].source, "regset Key Folder ${DIR}");
}

TEST(ScenarioScript, CommentsAndBlankLinesAreSkipped) {
    const auto script = parseScript("# heading\r\n\r\n  # indented\nversion 13.0\r\nload\n", {});
    ASSERT_EQ(script.size(), 2u);
    EXPECT_EQ(script[0].number, 4);
    EXPECT_EQ(script[0].source, "version 13.0");
    EXPECT_EQ(script[1].words, Words{"load"});
    EXPECT_EQ(script[1].number, 5);
}

TEST(ScenarioScript, CommentsAreNeitherSubstitutedNorSplit) {
    // What a comment holds is prose: a value no run gives, a stray quote, an
    // escape the word splitter would refuse.
    const char* const comments[] = {
        "# run with -D ${BOOK}, a scratch copy",
        "  # the user's \"quick print",
        "\t# C:\\q \\z \"\\q\"",
        "#${",
    };
    for (const char* comment : comments) {
        SCOPED_TRACE(comment);
        std::vector<ScriptLine> script;
        ASSERT_NO_THROW(script = parseScript(std::string(comment) + "\nload\n", {}));
        ASSERT_EQ(script.size(), 1u);
        EXPECT_EQ(script[0].number, 2);
    }
}

TEST(ScenarioScript, MistakesNameTheirLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"load\nfly away\n", 2},
        {"load now\n", 1},
        {"version\n", 1},
        {"call OnlyProgId\n", 1},
        {"macro a b\n", 1},
        {"run\n", 1},
        {"open-resource lib.dll XLA 10\n", 1},
        {"box ok\nbox press:OK\n", 2},
        {"box tick:\n", 1},
        {"show everything\n", 1},
        {"show registry\n", 1},
        {"show registration\n", 1},
        {"show unload\n", 1},
        {"show windows\n", 1},
        {"control 18 maybe\n", 1},
        {"open a.simbook writable\n", 1},
        {"time\n", 1},
        {"load\ntime fly\n", 2},
        {"time load now\n", 1},
        {"copies forget\n", 1},
        {"\n\necho \"open\n", 3},
        {"register ${MISSING}\n", 1},
        {"load\npress\n", 2},
        {"press A B\n", 1},
        {"builtin\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseScript(c.text, {});
            ADD_FAILURE() << "accepted";
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.line(), c.line);
        }
    }
    EXPECT_NO_THROW(parseScript("box untick:次回も表示起動する ok\nbox \"click:Yes please\"\nshow properties Book1\n", {}));
    EXPECT_NO_THROW(parseScript("show ribbon\npress KEZ_QUORVEX_TAB_MAIN\nbuiltin FilePrint\n", {}));
}

// A started command's block is checked as a whole before anything runs: a
// dialog line outside a block, or a block that never ends, would otherwise
// leave a modal dialog that nothing closes.
TEST(ScenarioScript, DialogBlocks) {
    struct Case {
        const char* text;
        int line;  // 0: accepted
    };
    const Case cases[] = {
        {"start call A.B Setting\ndialog x\ntype \"a b\" 5\npress OK\nend\n", 0},
        {"start print\nbox ok\nshow registry K\nend\nstart call A.B C\nend\n", 0},
        {"start call A.B C\nkey shift+tab enter\nshow dialog\nscreenshot a.png\nclose-dialog\nend\n", 0},
        {"pick Kinds A\n", 1},
        {"load\nshow dialog\n", 2},
        {"start call A.B C\nend\ntick x\n", 3},
        {"start call A.B C\ndialog x\n", 1},
        {"end\n", 1},
        {"start call A.B C\nstart call A.B D\nend\nend\n", 2},
        {"start\nend\n", 1},
        {"start call OnlyProgId\nend\n", 1},
        {"start tick OK\nend\n", 1},
        // A ribbon press may open a dialog (a toggle's registration dialog).
        {"start press SOME_TOGGLE\nend\n", 0},
        {"start end\nend\n", 1},
        {"start call A.B C\ntype x\nend\n", 2},
        {"start call A.B C\npick list\nend\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseScript(c.text, {});
            EXPECT_EQ(c.line, 0) << "accepted";
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.line(), c.line) << e.what();
        }
    }
}

}  // namespace
}  // namespace kq::simhost
