// Prints started with the ribbon's repurposed print commands, through the
// simulated host and both product libraries, down to the history files. The
// ribbon bridge's unit tests see the commands with a stand-in core, the print
// tests see prints without the ribbon; only here does the bridge's call on
// the core come before the core's event sink in one host.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/byte_io.h"
#include "common/history_reader.h"
#include "common/text_codec.h"
#include "tests/tools/end_to_end_support.h"
#include "tests/tools/shell_open_recorder.h"

namespace kq {
namespace {

namespace fs = std::filesystem;
using test::windowsPath;

TEST(RibbonEndToEnd, PrintsOfAWatchedSheetAreRecordedAsTheirCommandSays) {
    const fs::path scratch = test::freshScratch("ribbon_print");
    const fs::path history = scratch / "history";
    fs::create_directories(history);
    const fs::path book = scratch / "Ledger.xls";
    fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/print3x2.simbook")), book);
    const fs::path transcript = scratch / "transcript.txt";

    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/quorvex_ribbon_print.txt", transcript,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)},
                                            {"RIBBON", windowsPath(KQ_RIBBON_DLL)},
                                            {"BOOK", book.string()},
                                            {"HISTORY", history.string()}},
                                           240000);
    const std::string text = test::readText(transcript);
    EXPECT_EQ(exitCode, 0) << text;
    // Each command's onAction let the print go on; the history folder counts
    // what was recorded: the print and the quick print, not the preview.
    std::size_t at = 0;
    for (const auto& [command, files] : {std::pair{"FilePrint", "1 file"},
                                         std::pair{"FilePrintQuick", "2 files"},
                                         std::pair{"PrintPreviewFullScreen", "2 files"}}) {
        const std::string ran = std::string("> builtin ")
                                    .append(command)
                                    .append("\n  ")
                                    .append(command)
                                    .append(": onAction of Kez_QuorvexForRibbon.Connect2 done, not cancelled\n");
        at = text.find(ran, at);
        ASSERT_NE(at, std::string::npos) << command << "\n" << text;
        at = text.find("> show files ${HISTORY}\n", at);
        ASSERT_EQ(text.compare(text.find('\n', at) + 3, std::string_view(files).size(), files), 0) << command << "\n" << text;
    }
    EXPECT_NE(text.find("library Kez_QuorvexForRibbon.dll: unloadable"), std::string::npos) << text;
    EXPECT_EQ(text.find("failed"), std::string::npos) << text;

    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(history)) {
        if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 2u) << text;
    for (const fs::path& file : files) {
        const std::vector<std::uint8_t> bytes = test::readBytes(file);
        MemorySource source(bytes);
        const HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
        ASSERT_TRUE(read) << read.damage;
        EXPECT_EQ(read.value->header.strSheetName, "Ledger");
        EXPECT_EQ(read.value->header.intPageCount, 6);
    }
}

// The toggle's press reaches the core's this-sheet command, whose dialog and
// question the script works; the expected transcript holds the stored watch
// and the toggle's pressed state after each press.
TEST(RibbonEndToEnd, TheToggleRegistersAndReleasesTheActiveSheetsWatch) {
    const fs::path scratch = test::freshScratch("ribbon_toggle");
    const fs::path book = scratch / "Orders.xls";
    fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/orders.simbook")), book);
    const fs::path transcript = scratch / "transcript.txt";

    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/quorvex_ribbon_toggle.txt", transcript,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)},
                                            {"RIBBON", windowsPath(KQ_RIBBON_DLL)},
                                            {"BOOK", book.string()}},
                                           240000);
    const std::string got = test::readText(transcript);
    ASSERT_EQ(exitCode, 0) << "transcript:\n" << got;
    const fs::path expected = windowsPath(KQ_TEST_DATA "/simhost/quorvex_ribbon_toggle.expected");
    EXPECT_EQ(test::withIdsMasked(got), test::readText(expected));
}

// Every control of the markup each host version gets, pressed, and every
// print command it repurposes, run; the viewer and the shell are stood in for
// by the command-line recorder, so that nothing but the add-ins' own windows
// comes up. The transcript says what each did; hosts given the same document
// write the same transcript.
struct MarkupHost {
    int version;
    const char* preview;   // the host's print-preview command
    const char* document;  // the markup the bridge gives it
};

class EveryControlOfTheMarkup : public ::testing::TestWithParam<MarkupHost> {};

TEST_P(EveryControlOfTheMarkup, DoesWhatItsTranscriptSays) {
    const MarkupHost& host = GetParam();
    const std::string version = std::to_string(host.version);
    const fs::path scratch = test::freshScratch("ribbon_press_v" + version);
    const fs::path program = scratch / "program";
    const fs::path history = scratch / "history";
    fs::create_directories(program);
    fs::create_directories(history);
    const fs::path addin = program / "Kez_Quorvex.dll";
    fs::copy_file(fs::path(windowsPath(KQ_ADDIN_DLL)), addin);
    const fs::path viewer = program / "Kez_Quorvex_View.exe";
    fs::copy_file(fs::path(windowsPath(KQ_RECORDER_EXE)), viewer);
    std::ofstream(program / "quorvex.chm", std::ios::binary) << "help";
    const test::ShellOpenRecorder shell(test::wide(windowsPath(KQ_RECORDER_EXE)), {L".chm", L"http", L"https"});

    const std::string script = KQ_TEST_DATA "/simhost/quorvex_ribbon_press";
    const fs::path transcript = scratch / "transcript.txt";
    const int exitCode = test::runScenario(script + ".txt", transcript,
                                           {{"ADDIN", addin.string()},
                                            {"RIBBON", windowsPath(KQ_RIBBON_DLL)},
                                            {"HISTORY", history.string()},
                                            {"VERSION", version + ".0"},
                                            {"PREVIEW", host.preview}},
                                           240000, script + "_" + host.document + ".expected");
    EXPECT_EQ(exitCode, 0) << "transcript:\n" << test::readText(transcript);
    EXPECT_TRUE(test::ShellOpenRecorder::waitForLog(test::ShellOpenRecorder::logOf(viewer.wstring()), 10000))
        << "the viewer was not started";
    // The help file and the home page go to one stand-in, whose log keeps
    // whichever came last; what each opens is the other end-to-end tests' part.
    EXPECT_TRUE(shell.opened()) << "the shell opened nothing";
}

INSTANTIATE_TEST_SUITE_P(OnePerHostVersion, EveryControlOfTheMarkup,
                         ::testing::Values(MarkupHost{12, "FilePrintPreview", "2007"},
                                           MarkupHost{14, "PrintPreviewFullScreen", "2010"},
                                           MarkupHost{15, "PrintPreviewFullScreen", "2010"},
                                           MarkupHost{16, "PrintPreviewFullScreen", "2010"}),
                         [](const auto& info) { return "Host" + std::to_string(info.param.version); });

}  // namespace
}  // namespace kq
