// The event sink's judgement of a print and its road to the after-print call,
// against the simulated host: which prints are scheduled, the helper
// workbook's way from the library into the host, the busy flag and its
// limits, and the message when the helper workbook cannot be had.

#include "addin/core/xl_events.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/texts.h"
#include "common/settings_store.h"
#include "host/sim/sim_application.h"
#include "tests/addin/core/sink_test_world.h"
#include "tests/support/history_folder_world.h"

namespace kq::addin {
namespace {

using host::sim::SimApplication;
using host::sim::SimWorkbook;

constexpr char kAfterPrint[] = "Kez_Quorvex.xla!WorkbookAfterPrint";
constexpr std::int32_t kChecked = msgbox::kChecked;
const std::string kXlaError =
    "必要ファイル「Kez_Quorvex.xla」が読み込まれていないため、「Brelmont for Excel」が動作しません。\r\n"
    "この現象は、マクロまたは他のプログラム言語から、CreateObject関数でエクセルを生成してプログラム上から印刷するときに発生します。\r\n"
    "これは仕様（エクセルの制限）です。\r\n"
    "\r\n"
    "これ以外の条件で、本メッセージが表示される場合は、開発元にお問い合わせください。\r\n";

class EventSink : public ::testing::Test {
protected:
    void SetUp() override { connect("16.0"); }

    // The state as the connection makes it: host, settings, then the sink.
    void connect(const std::string& version) {
        state.reset();
        sim = SimApplication::create(services.memoryFiles(), version);
        book = sim->addWorkbook("Ledger.xls", "C:\\Data");
        watched = book->addWorksheet("Watched");
        plain = book->addWorksheet("Plain");
        chart = book->addChartSheet("Chart");
        book->properties()->add({"KEZ_QUORVEX_INFO_Watched", host::msoPropertyTypeString,
                                 "0\t月次\t20240101090000AAA\t20240101090000BBB\t\t"});
        state = std::make_unique<AddinState>(sim);
        state->g_Setting = std::make_shared<c_Setting>(store, world.services(), std::stod(version));
        state->g_Xl = std::make_unique<c_Xl>(*state, services, [this](AddinState&) { ++refreshes; });
        watched->activate();
    }

    // The user's print of the selected sheets, by the command that notes this kind.
    void printAs(std::int32_t kind) {
        state->PrintCommandKind = kind;
        sim->print();
    }

    std::vector<std::string> scheduled() const {
        std::vector<std::string> names;
        for (const auto& entry : sim->onTimeQueue()) names.push_back(entry.procedure);
        return names;
    }

    std::shared_ptr<SimWorkbook> helperBook() const {
        for (const auto& open : sim->books()) {
            if (open->Name() == "Kez_Quorvex.xla") return open;
        }
        return nullptr;
    }

    test::FakeSinkServices services;
    MemorySettingsStore store;
    test::HistoryFolderWorld world;
    std::shared_ptr<SimApplication> sim;
    std::shared_ptr<SimWorkbook> book;
    std::shared_ptr<host::sim::SimWorksheet> watched, plain;
    std::shared_ptr<host::sim::SimChartSheet> chart;
    std::unique_ptr<AddinState> state;
    int refreshes = 0;
};

TEST_F(EventSink, EachPrintKindIsRecordedAsItsSettingSays) {
    struct Case {
        std::int32_t kind;
        bool directPrint, preview, unknown;
        bool scheduled;
    };
    const Case cases[] = {
        {print_kind::kOther, true, true, true, true},
        {print_kind::kOther, true, true, false, false},
        {print_kind::kPrint, false, false, false, true},
        {print_kind::kQuickPrint, true, false, false, true},
        {print_kind::kQuickPrint, false, true, true, false},
        {print_kind::kPreview, false, true, false, true},
        {print_kind::kPreview, true, false, true, false},
        {4, true, true, true, false},
        {-1, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " direct " + std::to_string(c.directPrint) + " preview " +
                     std::to_string(c.preview) + " unknown " + std::to_string(c.unknown));
        connect("11.0");  // a host that still asks the setting for prints of other origin
        state->g_Setting->Surveillance_DirectPrint(c.directPrint);
        state->g_Setting->Surveillance_Preview(c.preview);
        state->g_Setting->Surveillance_Unkown(c.unknown);
        printAs(c.kind);
        EXPECT_EQ(scheduled(), c.scheduled ? std::vector<std::string>{kAfterPrint} : std::vector<std::string>{});
        EXPECT_EQ(state->AfterPrintPending, c.scheduled);
        EXPECT_EQ(state->PrintCommandKind, print_kind::kOther);  // the kind is used up either way
    }
}

TEST_F(EventSink, OnlySelectedWorksheetsWithAWatchMakeThePrintCount) {
    struct Case {
        std::vector<std::string> selected;
        bool scheduled;
    };
    const std::vector<Case> cases = {
        {{"Watched"}, true},
        {{"Plain"}, false},
        {{"Plain", "Watched"}, true},
        {{"Chart", "Watched"}, true},  // a chart sheet among them is passed over
        {{"Chart"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected.front() + (c.selected.size() > 1 ? " and more" : ""));
        connect("16.0");
        book->selectSheets(c.selected);
        printAs(print_kind::kPrint);
        EXPECT_EQ(sim->onTimeQueue().size(), c.scheduled ? 1u : 0u);
        // A print that concerns no watch leaves the kind for the next one.
        EXPECT_EQ(state->PrintCommandKind, c.scheduled ? print_kind::kOther : print_kind::kPrint);
    }
}

TEST_F(EventSink, TheFirstPrintBringsTheHelperWorkbookInAndLaterOnesOnlySchedule) {
    // A file left in the temp folder by an earlier run is replaced.
    services.memoryFiles().addFile(test::kHelperInTemp, {'o', 'l', 'd'});
    printAs(print_kind::kPrint);
    ASSERT_NE(helperBook(), nullptr);
    EXPECT_TRUE(helperBook()->isAddin());
    EXPECT_TRUE(helperBook()->readOnly());
    EXPECT_EQ(helperBook()->fullName(), test::kHelperInTemp);
    EXPECT_FALSE(services.memoryFiles().isFile(test::kHelperInTemp));  // deleted once open
    ASSERT_EQ(sim->onTimeQueue().size(), 1u);
    EXPECT_EQ(sim->onTimeQueue()[0].when, *vb::ToOleDate(services.settableClock().now()));

    state->AfterPrintPending = false;  // the macro's call came
    printAs(print_kind::kPrint);
    EXPECT_EQ(services.helperFileReads, 1);
    EXPECT_EQ(scheduled(), (std::vector<std::string>{kAfterPrint, kAfterPrint}));
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(EventSink, APrintWhilePendingSchedulesNothingUntilThePendingCallIsLost) {
    struct Case {
        int secondsLater;
        std::size_t scheduledInAll;
    };
    const Case cases[] = {
        {0, 1},
        {60, 1},
        {61, 2},   // a minute without the call: it was lost
        {-61, 2},  // the clock was set back meanwhile
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.secondsLater);
        connect("16.0");
        services.settableClock().set({2024, 3, 1, 9, 30, 0});
        printAs(print_kind::kPrint);
        services.settableClock().advanceSeconds(c.secondsLater);
        printAs(print_kind::kQuickPrint);
        EXPECT_EQ(sim->onTimeQueue().size(), c.scheduledInAll);
        EXPECT_TRUE(state->AfterPrintPending);
        EXPECT_EQ(state->PrintCommandKind, print_kind::kOther);
    }
}

TEST_F(EventSink, AHostThatRefusesTheScheduleLeavesNothingPending) {
    sim->refuseOnTime(true);
    printAs(print_kind::kPrint);
    EXPECT_FALSE(state->AfterPrintPending);
    sim->refuseOnTime(false);
    printAs(print_kind::kPrint);
    EXPECT_EQ(scheduled(), std::vector<std::string>{kAfterPrint});
}

TEST_F(EventSink, AMissingHelperWorkbookIsReportedOnceInARowOfFailures) {
    services.helperFile.clear();  // the library's resource cannot be read
    printAs(print_kind::kPrint);
    ASSERT_EQ(services.boxes.size(), 1u);
    const MsgBoxExArgs& box = services.boxes[0];
    EXPECT_EQ(box.Prompt, kXlaError);
    EXPECT_EQ(box.Buttons, 0x2040);
    EXPECT_EQ(box.Title, "Brelmont for Excel");
    EXPECT_TRUE(box.ShowCheck);
    EXPECT_TRUE(box.CheckValue);
    EXPECT_EQ(box.CheckCaption, "次回も表示起動する");
    EXPECT_FALSE(state->AfterPrintPending);
    EXPECT_TRUE(sim->onTimeQueue().empty());

    printAs(print_kind::kPrint);
    EXPECT_EQ(services.boxes.size(), 1u);  // the same failure again: no second message

    services.helperFile = {'x', 'l', 'a'};
    printAs(print_kind::kPrint);
    EXPECT_EQ(sim->onTimeQueue().size(), 1u);
    // Found open once, a later failure is reported again.
    sim->closeWorkbook(helperBook());
    services.helperFile.clear();
    state->AfterPrintPending = false;
    printAs(print_kind::kPrint);
    EXPECT_EQ(services.boxes.size(), 2u);
    EXPECT_TRUE(state->g_Setting->ShowMessageXlaError());
}

TEST_F(EventSink, UntickingTheMessagesBoxSwitchesItOff) {
    struct Case {
        std::int32_t answer;
        bool stillShown;
    };
    const Case cases[] = {
        {msgbox::kOk | kChecked, true},
        {msgbox::kOk, false},
        {0, false},  // closed by its close box, which never reads the tick
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        connect("16.0");
        services.helperFile.clear();
        services.boxes.clear();
        services.answers = {c.answer};
        printAs(print_kind::kPrint);
        EXPECT_EQ(state->g_Setting->ShowMessageXlaError(), c.stillShown);
    }
    // Switched off, the message never comes; the print is still not scheduled.
    connect("16.0");
    services.boxes.clear();
    state->g_Setting->ShowMessageXlaError(false);
    printAs(print_kind::kPrint);
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_FALSE(state->AfterPrintPending);
    EXPECT_TRUE(sim->onTimeQueue().empty());
}

TEST_F(EventSink, AHelperWorkbookThatCannotBeHadIsReportedAndNotLeftBehind) {
    // The host refuses to open it: the file written for it goes all the same.
    sim->refuseToOpen("Kez_Quorvex.xla");
    printAs(print_kind::kPrint);
    EXPECT_EQ(helperBook(), nullptr);
    EXPECT_EQ(services.boxes.size(), 1u);
    EXPECT_FALSE(services.memoryFiles().isFile(test::kHelperInTemp));

    // Something in the temp folder holds the name: the file cannot be made.
    connect("16.0");
    services.boxes.clear();
    services.memoryFiles().addDirectory(test::kHelperInTemp);
    printAs(print_kind::kPrint);
    EXPECT_EQ(helperBook(), nullptr);
    EXPECT_EQ(services.boxes.size(), 1u);
    EXPECT_TRUE(services.memoryFiles().isDirectory(test::kHelperInTemp));
}

TEST_F(EventSink, AWatchTheWorkbookRefusesAtSaveIsSaidAndKeepsWhatWasStored) {
    const std::string stored = book->properties()->find("KEZ_QUORVEX_INFO_Watched")->value;
    state->g_DocPros().Find(watched)->Category(std::string(host::kTextPropertyMaxLength, 'c'));
    host::ignoreErrors([&] { book->Save(); });
    ASSERT_EQ(services.prompts_.messages.size(), 1u);
    EXPECT_EQ(services.prompts_.messages[0].text, texts::WatchTooLong(host::kTextPropertyMaxLength) + " Watched");
    EXPECT_EQ(services.prompts_.messages[0].style, mb::kOkOnly | mb::kIconExclamation);
    EXPECT_EQ(book->properties()->find("KEZ_QUORVEX_INFO_Watched")->value, stored);
}

TEST_F(EventSink, ChangesOfTheActiveWorkbookWindowOrSheetRefreshTheToggle) {
    refreshes = 0;
    plain->activate();        // SheetActivate
    sim->newWorkbook();       // WindowDeactivate, NewWorkbook, WorkbookActivate, WindowActivate
    sim->activateWorkbook(book);  // WindowDeactivate, WorkbookActivate, WindowActivate
    EXPECT_EQ(refreshes, 8);
    host::ignoreErrors([&] { book->Save(); });  // neither a save
    printAs(print_kind::kPrint);  // nor a print changes what is active
    EXPECT_EQ(refreshes, 8);
}

}  // namespace
}  // namespace kq::addin
