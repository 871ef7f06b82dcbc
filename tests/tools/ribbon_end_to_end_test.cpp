// A print started with the ribbon's repurposed print command, through the
// simulated host and both product libraries, down to the history file. The
// ribbon bridge's unit tests see the command with a stand-in core, the print
// tests see a print without the ribbon; only here does the bridge's call on
// the core come before the core's recording in one host.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "common/history_reader.h"
#include "common/text_codec.h"
#include "tests/tools/end_to_end_support.h"

namespace kq {
namespace {

namespace fs = std::filesystem;
using test::windowsPath;

TEST(RibbonEndToEnd, ARepurposedPrintOfAWatchedSheetIsRecordedOnce) {
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
    // The bridge's onAction let the print go on, and the host printed.
    EXPECT_NE(text.find("FilePrint: onAction of Kez_QuorvexForRibbon.Connect2 done, not cancelled\n"
                        "  the host runs FilePrint\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("failed"), std::string::npos) << text;

    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(history)) {
        if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u) << text;
    const std::vector<std::uint8_t> bytes = test::readBytes(files[0]);
    MemorySource source(bytes);
    const HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
    ASSERT_TRUE(read) << read.damage;
    EXPECT_EQ(read.value->header.strSheetName, "Ledger");
    EXPECT_EQ(read.value->header.intPageCount, 6);
}

}  // namespace
}  // namespace kq
