// Sheet watches through the simulated host and the real add-in library: what
// a save stores in the workbook's properties is what the next opening reads.
// The unit tests store into the simulated host directly; only here do the
// event sink, the dispatch façade and the saved file meet.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/tools/end_to_end_support.h"

namespace kq {
namespace {

namespace fs = std::filesystem;
using test::windowsPath;

TEST(WatchEndToEnd, TwoWatchesOfOneSheetIdKeepTheirPropertiesAcrossSaveAndReopen) {
    const fs::path scratch = test::freshScratch("watches");
    const fs::path book = scratch / "Twins.xls";
    fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/twin_watches.simbook")), book);
    const fs::path transcript = scratch / "transcript.txt";

    // Both properties as they were, after the first save and after the second,
    // and both sheets watched in between: the expected transcript says so.
    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/quorvex_twin_watches.txt", transcript,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)}, {"BOOK", book.string()}}, 120000,
                                           KQ_TEST_DATA "/simhost/quorvex_twin_watches.expected");
    EXPECT_EQ(exitCode, 0) << "transcript:\n" << test::readText(transcript);
}

}  // namespace
}  // namespace kq
