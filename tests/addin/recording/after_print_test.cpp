// The add-in object's after-print call: a recording with what the connection
// holds, and nothing at all while it holds no host or no settings.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/recording/save_history.h"
#include "tests/addin/recording/recorder_test_world.h"

namespace kq::addin::recording {
namespace {

using test::RecorderTestWorld;

constexpr char kSheetId[] = "20240101090000SAA";
constexpr char kVersionId[] = "20240101090000VAA";

class AfterPrint : public ::testing::Test {
protected:
    AfterPrint() {
        book = w.sim->addWorkbook("Book.xls", "C:\\books");
        const auto sheet = book->addWorksheet("Watched");
        test::fillWithAddresses(*sheet, 1, 1, 3, 3);
        book->selectSheets({"Watched"});
        // The watch is known to the connection's collection only, not to the world's.
        state.g_DocPros().Add(book, sheet, "月次", kSheetId, kVersionId, "", {}, {}, {});
        state.g_Setting = connectionSetting();
    }

    // The settings as the connection reads them, from the world's store.
    std::shared_ptr<c_Setting> connectionSetting() {
        return std::make_shared<c_Setting>(w.store,
                                           HistoryFolderServices{.files = w.files,
                                                                 .prompts = w.prompts,
                                                                 .knownFolders = w.known,
                                                                 .programFolder = "C:\\Program Files\\Kez",
                                                                 .title = test::kTitle},
                                           16);
    }

    RecorderTestWorld w;
    std::shared_ptr<host::sim::SimWorkbook> book;
    AddinState state{w.application};
};

TEST_F(AfterPrint, RecordsWithTheConnectionsHostSettingsAndWatches) {
    state.g_Setting->ShowMessageWhenPrintRun(true);
    SaveHistory(state, w.system);

    // The confirmation is the connection's setting at work, under the add-in's title.
    ASSERT_EQ(w.system.boxes.size(), 1u);
    EXPECT_EQ(w.system.boxes[0].Title, "Brelmont for Excel");
    const std::vector<std::string> files = w.historyFiles();
    ASSERT_EQ(files.size(), 1u);
    const HistoryRecords records = w.readHistory(files[0]);
    EXPECT_EQ(records.header.strSheetId, kSheetId);
    EXPECT_EQ(records.header.strVersionId, kVersionId);
    EXPECT_EQ(records.header.strBookName, "Book.xls");
    EXPECT_TRUE(w.prompts.messages.empty());
}

TEST_F(AfterPrint, DoesNothingWithoutAHostOrSettings) {
    struct Case {
        const char* name;
        bool host;
        bool setting;
    };
    const std::vector<Case> cases = {{"no host", false, true}, {"no settings", true, false}, {"neither", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.host) state.g_Application.reset();
        if (!c.setting) state.g_Setting.reset();
        SaveHistory(state, w.system);
        EXPECT_TRUE(w.system.boxes.empty());
        EXPECT_TRUE(w.prompts.messages.empty());
        EXPECT_TRUE(w.historyFiles().empty());
        EXPECT_EQ(book->properties()->Count(), 0);
        state.g_Application = w.application;
        state.g_Setting = connectionSetting();
    }
}

}  // namespace
}  // namespace kq::addin::recording
