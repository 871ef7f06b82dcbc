#include "addin/core/this_sheet_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/procedures.h"
#include "addin/core/texts.h"
#include "tests/host/sim/sim_test_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin {
namespace {

using kq::test::ShownMessage;

struct CommandWorld {
    CommandWorld() {
        sim.sheet1->setCell("B2", std::string("請求書"));
        procedures.SetThisSiteCheckButtonPushed = [this](AddinState&, bool forceUp) {
            calls.push_back(forceUp ? "toggle up" : "toggle");
        };
        procedures.Command_Setting = [this](AddinState&) { calls.push_back("settings"); };
        procedures.Command_About = [this](AddinState&) { calls.push_back("about"); };
    }

    void run() {
        const ThisSheetCheckServices services{
            prompts, [this](AddinState&, const host::WorkbookPtr& book, const host::WorksheetPtr& sheet) {
                calls.push_back("dialog " + book->Name() + " " + sheet->Name());
                return exit;
            }};
        Command_ThisSheetCheck(state, procedures, services);
    }

    void watchSheet1() { state.g_DocPros().Add(sim.book, sim.sheet1, "請求書", "id", "id", "", {}, {}, {}); }

    host::sim::test::SimWorld sim;
    AddinState state{sim.app};
    Procedures procedures;
    kq::test::ScriptedPrompts prompts;
    RegistrationExit exit = RegistrationExit::cancelled;
    std::vector<std::string> calls;
};

ShownMessage refusal(std::string_view text) {
    return {std::string(text), "Brelmont for Excel", mb::kIconCritical};
}

TEST(ThisSheetCommand, EachRefusalHasItsMessageAndOpensNothing) {
    struct Case {
        const char* what;
        std::function<void(CommandWorld&)> arrange;
        std::string_view message;
    };
    const Case cases[] = {
        {"no host", [](CommandWorld& w) { w.state.g_Application.reset(); }, texts::kNoActiveApplication},
        {"no workbook", [](CommandWorld& w) { w.sim.app->closeWorkbook(w.sim.book); }, texts::kNoActiveBook},
        {"a workbook without sheets",
         [](CommandWorld& w) {
             w.sim.app->closeWorkbook(w.sim.book);
             w.sim.app->addWorkbook("Empty.xls");
         },
         texts::kNoActiveSheet},
        {"grouped sheets, one of them watched",
         [](CommandWorld& w) {
             w.watchSheet1();
             w.sim.book->selectSheets(std::vector<std::string>{"Sheet1", "Sheet2"});
         },
         texts::kSheetsGrouped},
        {"an empty sheet", [](CommandWorld& w) { w.sim.sheet2->activate(); }, texts::kNothingToWatch},
        {"one empty cell used", [](CommandWorld& w) { w.sim.sheet1->setCell("B2", host::Empty{}); },
         texts::kNothingToWatch},
        {"a chart sheet",
         [](CommandWorld& w) {
             w.sim.book->addChartSheet("Chart1");
             w.sim.book->sheet("Chart1")->activate();
         },
         texts::kNothingToWatch},
    };
    for (const Case& c : cases) {
        CommandWorld w;
        c.arrange(w);
        w.run();
        EXPECT_EQ(w.prompts.messages, std::vector<ShownMessage>{refusal(c.message)}) << c.what;
        EXPECT_TRUE(w.calls.empty()) << c.what;
        EXPECT_EQ(w.prompts.beeps, 0) << c.what;
    }
}

TEST(ThisSheetCommand, WhileACellIsEditedItOnlyBeeps) {
    CommandWorld w;
    w.sim.app->control(host::sim::kControlEditingOff)->setEnabled(false);
    w.run();
    EXPECT_EQ(w.prompts.beeps, 1);
    EXPECT_TRUE(w.prompts.messages.empty());
    EXPECT_TRUE(w.calls.empty());
}

TEST(ThisSheetCommand, OneValueAnywhereIsSomethingToWatch) {
    CommandWorld w;
    w.sim.sheet2->setCell("F9", 1.0);
    w.sim.sheet2->activate();
    w.run();
    EXPECT_EQ(w.calls, (std::vector<std::string>{"dialog Book1.xls Sheet2", "toggle"}));
}

TEST(ThisSheetCommand, AWatchedSheetAsksWhetherToReleaseOrToEdit) {
    struct Case {
        const char* what;
        int answer;
        std::vector<std::string> calls;
        bool released;
    };
    const Case cases[] = {
        {"yes releases", mb::kIdYes, {"toggle"}, true},
        {"no edits", mb::kIdNo, {"dialog Book1.xls Sheet1", "toggle"}, false},
        {"cancel does nothing", mb::kIdCancel, {}, false},
    };
    for (const Case& c : cases) {
        CommandWorld w;
        w.watchSheet1();
        w.prompts.answers = {c.answer};
        w.run();
        ASSERT_EQ(w.prompts.messages.size(), 1u) << c.what;
        EXPECT_EQ(w.prompts.messages[0],
                  (ShownMessage{std::string(texts::kReleaseQuestion), "Brelmont for Excel",
                                mb::kYesNoCancel | mb::kIconQuestion}))
            << c.what;
        EXPECT_EQ(w.calls, c.calls) << c.what;
        EXPECT_EQ(w.state.g_DocPros().Find(w.sim.sheet1)->Released(), c.released) << c.what;
    }
}

TEST(ThisSheetCommand, AReleasedWatchOpensTheDialogWithoutAsking) {
    CommandWorld w;
    w.watchSheet1();
    w.state.g_DocPros().Release(w.sim.sheet1);
    w.run();
    EXPECT_TRUE(w.prompts.messages.empty());
    EXPECT_EQ(w.calls, (std::vector<std::string>{"dialog Book1.xls Sheet1", "toggle"}));
}

TEST(ThisSheetCommand, TheDialogsLinksLeadOnToTheirWindows) {
    struct Case {
        RegistrationExit exit;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {RegistrationExit::registered, {"dialog Book1.xls Sheet1", "toggle"}},
        {RegistrationExit::openSettings, {"dialog Book1.xls Sheet1", "settings", "toggle"}},
        {RegistrationExit::openAbout, {"dialog Book1.xls Sheet1", "about", "toggle"}},
    };
    for (const Case& c : cases) {
        CommandWorld w;
        w.exit = c.exit;
        w.run();
        EXPECT_EQ(w.calls, c.calls);
    }
}

}  // namespace
}  // namespace kq::addin
