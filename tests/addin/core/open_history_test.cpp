// The viewer start: the command line the viewer reads its start from, and
// what the command gathers for it from the host, the watches and the settings.

#include "addin/core/open_history.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "common/settings_store.h"
#include "host/sim/sim_application.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin {
namespace {

using host::sim::SimApplication;

class FakeViewerStart final : public ViewerStartServices {
public:
    std::int32_t HostWindowHandle(const host::ApplicationPtr&) override {
        if (!window) throw host::HostError(host::err::kObjectDisconnected, "The object invoked has disconnected");
        return *window;
    }
    std::string LibraryFolder() override { return folder; }
    std::optional<SystemFailure> StartProcess(const std::string& program, const std::string& commandLine) override {
        started.push_back({program, commandLine});
        return failure;
    }
    Prompts& prompts() override { return shown; }

    struct Start {
        std::string program, commandLine;
        friend bool operator==(const Start&, const Start&) = default;
    };
    std::optional<std::int32_t> window = 66192;
    std::string folder = "C:\\Program Files\\Kez";
    std::optional<SystemFailure> failure;
    std::vector<Start> started;
    test::ScriptedPrompts shown;
};

TEST(ViewerCommandLine, ProgramQuotedItemsTabSeparatedAndUnquoted) {
    struct Case {
        std::string program;
        ViewerStartItems items;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"C:\\Program Files\\Kez\\Kez_Quorvex_View.exe",
         {-2147483647 - 1, true, "D:\\履歴 フォルダ", "20240101090000AAA_20240101090000AAA", "月次 締め"},
         "\"C:\\Program Files\\Kez\\Kez_Quorvex_View.exe\" ParentHwnd=-2147483648\tParentWindowMaximized=1\t"
         "SaveFolder=D:\\履歴 フォルダ\tShowId=20240101090000AAA_20240101090000AAA\tShowCategory=月次 締め"},
        {"C:\\Kez_Quorvex_View.exe", {0, false, "", "", ""},
         "\"C:\\Kez_Quorvex_View.exe\" ParentHwnd=0\tParentWindowMaximized=0\tSaveFolder=\tShowId=\tShowCategory="},
    };
    for (const Case& c : cases) EXPECT_EQ(ViewerCommandLine(c.program, c.items), c.line);
}

class OpenHistory : public ::testing::Test {
protected:
    void SetUp() override {
        world.files.addDirectory("D:\\Hist");
        store.set("Setting", "Folder", "D:\\Hist\\");
        state.g_Setting = std::make_shared<c_Setting>(store, world.services(), 16);
        const auto book = sim->addWorkbook("Ledger.xls", "C:\\Data");
        watched = book->addWorksheet("Watched");
        plain = book->addWorksheet("Plain");
        chart = book->addChartSheet("Chart");
        state.g_DocPros().Add(book, watched, "月次", "20240101090000AAA", "20240101090000BBB", "", {}, {}, {});
    }

    std::string itemsOf(const std::string& line) const { return line.substr(line.find("\" ") + 2); }

    MemorySettingsStore store;
    test::HistoryFolderWorld world;
    std::shared_ptr<SimApplication> sim = SimApplication::create();
    AddinState state{sim};
    FakeViewerStart viewer;
    std::shared_ptr<host::sim::SimWorksheet> watched, plain;
    std::shared_ptr<host::sim::SimChartSheet> chart;
};

TEST_F(OpenHistory, TheViewerIsToldTheHostWindowTheFolderAndTheActiveSheetsWatch) {
    struct Case {
        std::shared_ptr<host::sim::SimSheetBase> active;
        bool released;
        std::int32_t windowState;
        std::string items;
    };
    const std::string ids = "ShowId=20240101090000AAA_20240101090000BBB\tShowCategory=月次";
    const std::vector<Case> cases = {
        {watched, false, host::xlMaximized, "ParentHwnd=66192\tParentWindowMaximized=1\tSaveFolder=D:\\Hist\t" + ids},
        {watched, false, host::xlNormal, "ParentHwnd=66192\tParentWindowMaximized=0\tSaveFolder=D:\\Hist\t" + ids},
        {watched, true, host::xlMaximized, "ParentHwnd=66192\tParentWindowMaximized=1\tSaveFolder=D:\\Hist\t" + ids},
        {plain, false, host::xlMaximized,
         "ParentHwnd=66192\tParentWindowMaximized=1\tSaveFolder=D:\\Hist\tShowId=\tShowCategory="},
        {chart, false, host::xlMaximized,
         "ParentHwnd=66192\tParentWindowMaximized=1\tSaveFolder=D:\\Hist\tShowId=\tShowCategory="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active->name() + (c.released ? " released" : ""));
        if (c.released) state.g_DocPros().Release(watched);
        c.active->activate();
        sim->setWindowState(c.windowState);
        viewer.started.clear();
        Command_OpenHistory(state, viewer);
        ASSERT_EQ(viewer.started.size(), 1u);
        EXPECT_EQ(viewer.started[0].program, "C:\\Program Files\\Kez\\Kez_Quorvex_View.exe");
        EXPECT_EQ(itemsOf(viewer.started[0].commandLine), c.items);
    }
    EXPECT_TRUE(viewer.shown.messages.empty());
}

TEST_F(OpenHistory, WhatCannotBeLearntIsLeftEmptyAndTheViewerStillStarts) {
    viewer.window.reset();           // the host is going away
    viewer.folder = "C:\\Tools\\";   // a library folder that ends with "\"
    const auto emptyHost = SimApplication::create();
    AddinState bare(emptyHost);      // no workbook, no settings
    Command_OpenHistory(bare, viewer);
    ASSERT_EQ(viewer.started.size(), 1u);
    EXPECT_EQ(viewer.started[0],
              (FakeViewerStart::Start{"C:\\Tools\\Kez_Quorvex_View.exe",
                                      "\"C:\\Tools\\Kez_Quorvex_View.exe\" ParentHwnd=0\tParentWindowMaximized=1\t"
                                      "SaveFolder=\tShowId=\tShowCategory="}));
}

TEST_F(OpenHistory, AViewerThatCannotBeStartedIsReportedWithTheSystemsWords) {
    viewer.failure = SystemFailure{2, "指定されたファイルが見つかりません。"};
    Command_OpenHistory(state, viewer);
    EXPECT_EQ(viewer.shown.messages,
              (std::vector<test::ShownMessage>{{"err(2) 指定されたファイルが見つかりません。", "Brelmont for Excel", 0x10}}));
}

}  // namespace
}  // namespace kq::addin
