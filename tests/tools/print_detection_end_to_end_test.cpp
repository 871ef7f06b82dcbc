// The first half of the road of a print, through the simulated host and the
// real add-in library: the host's print commands, the event sink's judgement,
// the helper workbook carried in the library and played by the host, and the
// history files that follow; then the viewer start and the help command,
// whose programs are stood in for by the command-line recorder.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/history_reader.h"
#include "common/text_codec.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/tools/end_to_end_support.h"
#include "tests/tools/shell_open_recorder.h"
#include "tools/simhost/transcript.h"

namespace kq {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::windowsPath;

constexpr DWORD kScenarioLimitMs = 240000;

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::vector<fs::path> historyFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    }
    return files;
}

// A scenario on a scratch copy of the watched ledger with an empty history
// folder. A test scenario's transcript must equal its .expected file; the
// README's main job (scripts/demo) shows the print times, so only its history
// files are looked at.
struct PrintScenario {
    const char* name;
    std::size_t historyFiles;
    const char* folder = KQ_TEST_DATA "/simhost/";
    bool transcriptFixed = true;
};

class PrintDetection : public ::testing::TestWithParam<PrintScenario> {};

TEST_P(PrintDetection, RecordsAsTheSettingsSay) {
    const PrintScenario& scenario = GetParam();
    const fs::path scratch = test::freshScratch(scenario.name);
    const fs::path history = scratch / "history";
    fs::create_directories(history);
    const fs::path book = scratch / "Ledger.xls";
    fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/watched_ledger.simbook")), book);
    const fs::path transcript = scratch / "transcript.txt";

    const std::string script = std::string(scenario.folder) + scenario.name;
    const int exitCode = test::runScenario(script + ".txt", transcript,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)},
                                            {"BOOK", utf8(book)},
                                            {"HISTORY", utf8(history)}},
                                           kScenarioLimitMs, scenario.transcriptFixed ? script + ".expected" : "");
    EXPECT_EQ(exitCode, 0) << "transcript:\n" << readText(transcript);
    if (std::string_view(scenario.name) == "main_job") {
        // It ends with the viewer open on what it recorded.
        const fs::path closing = scratch / "closing.txt";
        EXPECT_EQ(test::runScenario(KQ_SOURCE_DIR "/scripts/demo/close_viewer.txt", closing, {}, kScenarioLimitMs, ""), 0)
            << readText(closing);
    }

    // What was recorded is what the project's reader accepts, one file a print.
    const std::vector<fs::path> files = historyFiles(history);
    EXPECT_EQ(files.size(), scenario.historyFiles);
    for (const fs::path& file : files) {
        SCOPED_TRACE(utf8(file.filename()));
        const std::vector<std::uint8_t> bytes = test::readBytes(file);
        MemorySource source(bytes);
        const HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
        ASSERT_TRUE(read) << read.damage;
        EXPECT_EQ(read.value->header.strSheetName, "Ledger");
        EXPECT_EQ(read.value->header.strCategory, "月次 締め");
        EXPECT_GE(read.value->header.intPageCount, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(ThroughSimhost, PrintDetection,
                         ::testing::Values(PrintScenario{"quorvex_print_kinds", 6},
                                           PrintScenario{"quorvex_print_other", 1},
                                           PrintScenario{"quorvex_xla_missing", 0},
                                           PrintScenario{"quorvex_let_go", 1},
                                           PrintScenario{"main_job", 3, KQ_SOURCE_DIR "/scripts/demo/", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The add-in library in a folder with blanks, Japanese and a letter outside
// the ANSI code page, the command-line recorder beside it in the viewer's
// place, and a history folder of the same kind.
class ViewerAndHelp : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = test::freshScratch("viewer");
        program_ = scratch_ / L"プログラム フォルダ ü";
        history_ = scratch_ / L"履歴 フォルダ ü";
        fs::create_directories(program_);
        fs::create_directories(history_);
        addin_ = program_ / L"Kez_Quorvex.dll";
        fs::copy_file(fs::path(windowsPath(KQ_ADDIN_DLL)), addin_);
        viewer_ = program_ / L"Kez_Quorvex_View.exe";
        fs::copy_file(fs::path(windowsPath(KQ_RECORDER_EXE)), viewer_);
        book_ = scratch_ / L"Ledger.xls";
        fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/watched_ledger.simbook")), book_);
    }

    // Opens the history and the help from the ribbon on the watched sheet.
    std::string runCommands(const std::string& scenario = "quorvex_open_history", const std::string& expected = "") {
        const fs::path transcript = scratch_ / L"transcript.txt";
        const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/" + scenario + ".txt", transcript,
                                               {{"ADDIN", utf8(addin_)},
                                                {"BOOK", utf8(book_)},
                                                {"HISTORY", utf8(history_)},
                                                {"CAPTION", kCaption}},
                                               kScenarioLimitMs, expected);
        const std::string text = readText(transcript);
        EXPECT_EQ(exitCode, 0) << text;
        return text;
    }

    static constexpr char kCaption[] = "Kq viewer start host";
    fs::path scratch_, program_, history_, addin_, viewer_, book_;
};

TEST_F(ViewerAndHelp, TheViewerGetsItsCommandLineWholeAndTheHelpFileOpensWithTheShell) {
    const fs::path help = program_ / L"quorvex.chm";
    std::ofstream(help, std::ios::binary) << "help";
    const test::ShellOpenRecorder shell(test::wide(windowsPath(KQ_RECORDER_EXE)), {L".chm", L"http", L"https"});

    const std::string transcript = runCommands();
    EXPECT_EQ(transcript.find("  box "), std::string::npos) << transcript;

    const std::optional<std::wstring> line =
        test::ShellOpenRecorder::waitForLog(test::ShellOpenRecorder::logOf(viewer_.wstring()), 10000);
    ASSERT_TRUE(line) << "the viewer was not started";
    // The host's main window is simhost's own, which is gone by now: its handle is some number but 0.
    const std::wstring before = L"\"" + viewer_.wstring() + L"\" ParentHwnd=";
    const std::wstring after = L"\tParentWindowMaximized=1\tSaveFolder=" + history_.wstring() +
                               L"\tShowId=20240301093000KQD_20240301093000KQV\tShowCategory=月次 締め";
    ASSERT_TRUE(line->starts_with(before) && line->ends_with(after)) << win32::narrow(*line);
    const std::wstring handle = line->substr(before.size(), line->size() - before.size() - after.size());
    EXPECT_EQ(handle.find_first_not_of(L"-0123456789"), std::wstring::npos) << win32::narrow(handle);
    EXPECT_NE(handle, L"0");

    const std::optional<std::wstring> opened = shell.opened();
    ASSERT_TRUE(opened) << "the shell opened nothing";
    EXPECT_TRUE(fs::equivalent(fs::path(*opened), help)) << win32::narrow(*opened);
}

// The viewer itself this time: its window stands over the host's, and on a
// screen while the host's window is minimized (the transcript says where).
TEST_F(ViewerAndHelp, TheViewerOpensOverTheHostsWindowOrOnAScreenWhenThatIsMinimized) {
    fs::remove(viewer_);
    fs::copy_file(fs::path(windowsPath(KQ_VIEWER_EXE)), viewer_);
    runCommands("quorvex_viewer_start", KQ_TEST_DATA "/simhost/quorvex_viewer_start.expected");
}

TEST_F(ViewerAndHelp, AMissingViewerOrHelpFileIsReportedNotPassedOver) {
    fs::remove(viewer_);
    const std::string transcript = runCommands();
    // The system's own text follows the number, without the line end the system gives it.
    const std::string viewerBox = "  box \"Brelmont for Excel\" \"err(2) ";
    const std::size_t viewerAt = transcript.find(viewerBox);
    ASSERT_NE(viewerAt, std::string::npos) << transcript;
    const std::string viewerLine = transcript.substr(viewerAt, transcript.find('\n', viewerAt) - viewerAt);
    EXPECT_TRUE(viewerLine.ends_with("\" icon stop buttons ok")) << viewerLine;
    EXPECT_EQ(viewerLine.find("err(2) \""), std::string::npos) << viewerLine;
    EXPECT_EQ(viewerLine.find("\\r\\n\""), std::string::npos) << viewerLine;
    const std::string helpBox = "  box \"Brelmont for Excel\" \"ヘルプファイル " +
                                simhost::escaped(utf8(program_ / L"quorvex.chm")) + " が見つかりません。\" icon stop buttons ok";
    EXPECT_NE(transcript.find(helpBox), std::string::npos) << transcript;
}

}  // namespace
}  // namespace kq
