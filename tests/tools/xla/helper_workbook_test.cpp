#include "tools/xla/helper_workbook.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/ole/macro_workbook.h"

namespace kq::xla {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// The build's helper workbook, read with our own readers: the streams, the
// project's records and each module's source as stored.
TEST(HelperWorkbook, TheBuildsFileReadsBackWhole) {
    const Bytes file = readFile(KQ_HELPER_WORKBOOK);
    ASSERT_FALSE(file.empty()) << KQ_HELPER_WORKBOOK;
    const auto compound = ole::CompoundFile::read(file);
    ASSERT_TRUE(compound) << compound.damage;
    EXPECT_EQ(compound->streamPaths(), (std::vector<std::string>{
                                           "Workbook",
                                           "_VBA_PROJECT_CUR/PROJECT",
                                           "_VBA_PROJECT_CUR/PROJECTwm",
                                           "_VBA_PROJECT_CUR/VBA/dir",
                                           "_VBA_PROJECT_CUR/VBA/Sheet1",
                                           "_VBA_PROJECT_CUR/VBA/s_WorkbookAfterPrint",
                                           "_VBA_PROJECT_CUR/VBA/ThisWorkbook",
                                           "_VBA_PROJECT_CUR/VBA/_VBA_PROJECT",
                                       }));

    const auto book = ole::readMacroWorkbook(file, systemAnsiCodec());
    ASSERT_TRUE(book) << book.damage;
    EXPECT_EQ(book->workbook, (ole::BiffWorkbook{true, true, "ThisWorkbook", {{"Sheet1", "Sheet1"}}}));
    ASSERT_TRUE(book->project);
    const ole::VbaProject& project = *book->project;
    EXPECT_EQ(project.name, "Kez_Quorvex_Xla");
    EXPECT_EQ(project.codePage, 932);
    ASSERT_EQ(project.modules.size(), 3u);
    EXPECT_EQ(project.modules[0].name, "ThisWorkbook");
    EXPECT_EQ(project.modules[0].kind, ole::VbaModuleKind::document);
    EXPECT_EQ(project.modules[1].name, "Sheet1");
    EXPECT_EQ(project.modules[1].kind, ole::VbaModuleKind::document);
    EXPECT_EQ(project.modules[2].name, "s_WorkbookAfterPrint");
    EXPECT_EQ(project.modules[2].kind, ole::VbaModuleKind::procedural);

    // The macro's source is the text file, line ends CR LF, in code page 932
    // (iconv's, independent of the codec the maker used).
    std::string text;
    for (std::uint8_t b : readFile(KQ_HELPER_MACRO_SOURCE)) {
        if (b == '\n') text += '\r';
        text += static_cast<char>(b);
    }
    const Bytes expected = readFile(KQ_HELPER_MACRO_SOURCE_CP932);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(project.modules[2].source, expected);
    EXPECT_EQ(systemAnsiCodec().fromAnsi(std::string(expected.begin(), expected.end())), text);
    for (const auto& document : {project.modules[0], project.modules[1]}) {
        const std::string source(document.source.begin(), document.source.end());
        EXPECT_EQ(source.rfind("Attribute VB_Name = \"" + document.name + "\"\r\n", 0), 0u);
        EXPECT_EQ(source.find("Sub "), std::string::npos) << "document modules carry no code";
    }

    const auto projectText = compound->stream("_VBA_PROJECT_CUR/PROJECT");
    ASSERT_TRUE(projectText);
    const std::string properties(projectText->begin(), projectText->end());
    EXPECT_NE(properties.find("Name=\"Kez_Quorvex_Xla\"\r\n"), std::string::npos);
    EXPECT_NE(properties.find("Module=s_WorkbookAfterPrint\r\n"), std::string::npos);
}

TEST(HelperWorkbook, StoresSourcesWithCrLfInTheCodePage) {
    const AnsiCodec& codec = systemAnsiCodec();
    struct Case {
        const char* name;
        std::string utf8;
        std::string stored;
    };
    const Case cases[] = {
        {"line feeds", "a\nb\n", "a\r\nb\r\n"},
        {"already CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"no line end at the end", "a\nb", "a\r\nb\r\n"},
        {"blank lines kept", "a\n\n\nb\n", "a\r\n\r\n\r\nb\r\n"},
        {"Japanese", "\xE6\x9C\xAC\xE4\xBD\x93\n", "\x96\x7B\x91\xCC\r\n"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(storedSource(c.utf8, codec), bytesOf(c.stored));
    }
    EXPECT_THROW(storedSource("\xF0\x9F\x98\x80\n", codec), SourceError);  // not in code page 932
}

TEST(HelperWorkbook, TakesTheModuleNameFromTheFirstLine) {
    EXPECT_EQ(moduleName("Attribute VB_Name = \"s_Work1\"\r\nOption Explicit\r\n"), "s_Work1");
    for (const char* bad : {"", "Option Explicit\n", "Attribute VB_Name = \"\"\n", "Attribute VB_Name = \"1st\"\n",
                            "Attribute VB_Name = \"a b\"\n", "Attribute VB_Name = \"open", " Attribute VB_Name = \"a\"\n"}) {
        EXPECT_THROW(moduleName(bad), SourceError) << bad;
    }
}

}  // namespace
}  // namespace kq::xla
