// A watch registered through the registration dialog of the real add-in
// library, driven in the simulated host as a user would work it, down to the
// history file a print of the sheet leaves. The dialog's unit tests see the
// simulated host directly; only here do the dialog's window, the host's input
// box over dispatch, the stored property, a save and a reopening meet.

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
using test::withIdsMasked;

std::vector<fs::path> historyFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    }
    return files;
}

TEST(RegistrationEndToEnd, AWatchMadeInTheDialogIsSavedReopenedPrintedEditedAndReleased) {
    const fs::path scratch = fs::path(windowsPath(KQ_E2E_SCRATCH)) / "register";
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    const fs::path history = scratch / "history";
    fs::create_directories(history);
    const fs::path book = scratch / "Slips.xls";
    fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/register.simbook")), book);
    const fs::path transcript = scratch / "transcript.txt";

    // The dialog's controls, the refusal of the other sheet's cells, the
    // stored property before and after the save, the edit's "please save"
    // and the release: the expected transcript says so.
    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/quorvex_register.txt", transcript,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)},
                                            {"BOOK", book.string()},
                                            {"HISTORY", history.string()},
                                            {"SHOTS", windowsPath(KQ_SHOT_DIR)}},
                                           240000);
    const std::string got = test::readText(transcript);
    ASSERT_EQ(exitCode, 0) << "transcript:\n" << got;
    const fs::path expected = windowsPath(KQ_TEST_DATA "/simhost/quorvex_register.expected");
    EXPECT_EQ(withIdsMasked(got), test::readText(expected));

    const std::vector<fs::path> files = historyFiles(history);
    ASSERT_EQ(files.size(), 1u) << "history files written";
    const std::vector<std::uint8_t> bytes = test::readBytes(files[0]);
    MemorySource source(bytes);
    const HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
    ASSERT_TRUE(read) << read.damage;
    const HistoryRecords& records = *read.value;
    EXPECT_EQ(records.header.strCategory, "納品書");
    EXPECT_EQ(records.header.strSaveRange, "$B$2:$D$10");
    EXPECT_EQ(records.header.strSheetName, "Slips");
    // A cell's value, a range's shown texts joined, a literal as typed.
    const std::vector<UserHeadingRecord> headings = {{"日付", "$B$2", "伝票 No.17", 0},
                                                     {"明細", "$C$3:$D$4", "品名数量ボールペン1,200", 1},
                                                     {"区分", "定型", "定型", 0}};
    EXPECT_EQ(records.headings, headings);
    EXPECT_TRUE(records.errorLines.empty());
}

}  // namespace
}  // namespace kq
