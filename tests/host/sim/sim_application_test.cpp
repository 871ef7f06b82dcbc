#include "host/sim/sim_application.h"

#include <gtest/gtest.h>

#include "host/sim/fixture.h"
#include "tests/host/sim/sim_test_world.h"

namespace kq::host::sim {
namespace {

using test::EventLog;
using test::SimWorld;
using Seen = std::vector<std::string>;

void addFile(kq::test::MemoryFileSystem& files, const std::string& path, const std::string& text) {
    files.addFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string fileText(const kq::test::MemoryFileSystem& files, const std::string& path) {
    const auto bytes = files.contents(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(SimEvents, UserActionsRaiseTheHostsEventsInOrder) {
    SimWorld w;
    EventLog log;
    const auto connection = w.app->Advise(log);
    addFile(w.files, "C:\\books\\Sales.xls", "simulated-workbook 1\nbook x\nworksheet Data\n");

    struct Step {
        std::string action;
        std::function<void()> run;
        Seen events;
    };
    const Step steps[] = {
        {"activate sheet", [&] { w.sheet2->Activate(); }, {"SheetActivate Sheet2"}},
        {"activate it again", [&] { w.sheet2->Activate(); }, {}},
        {"open",
         [&] { w.app->OpenWorkbook("C:\\books\\Sales.xls", false); },
         {"WindowDeactivate Book1.xls", "WorkbookOpen Sales.xls", "WorkbookActivate Sales.xls", "WindowActivate Sales.xls"}},
        {"new", [&] { w.app->newWorkbook(); },
         {"WindowDeactivate Sales.xls", "NewWorkbook Book1", "WorkbookActivate Book1", "WindowActivate Book1"}},
        {"activate a sheet of another workbook",
         [&] { w.sheet1->Activate(); },
         {"WindowDeactivate Book1", "WorkbookActivate Book1.xls", "WindowActivate Book1.xls", "SheetActivate Sheet1"}},
        {"group sheets", [&] { w.book->selectSheets(std::vector<std::string>{"Sheet2", "Sheet1"}); }, {"SheetActivate Sheet2"}},
        {"print", [&] { w.app->print(); }, {"WorkbookBeforePrint Book1.xls"}},
        {"save", [&] { w.book->Save(); }, {"WorkbookBeforeSave Book1.xls"}},
        {"close the active workbook",
         [&] { w.app->closeWorkbook(w.book); },
         {"WindowDeactivate Book1.xls", "WorkbookActivate Book1", "WindowActivate Book1"}},
    };
    for (const Step& step : steps) {
        log.seen.clear();
        step.run();
        EXPECT_EQ(log.seen, step.events) << step.action;
    }
    EXPECT_EQ(w.app->printCount(), 1);
}

TEST(SimEvents, NoneWhileEventsAreOffAndNoneAfterTheSinkLetGo) {
    SimWorld w;
    EventLog log;
    auto connection = w.app->Advise(log);
    w.app->SetEnableEvents(false);
    w.sheet2->Activate();
    w.app->print();
    w.app->newWorkbook();
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(w.app->ActiveSheet()->Name(), "Sheet1");  // the actions themselves happened

    w.app->SetEnableEvents(true);
    connection.reset();
    w.app->print();
    EXPECT_TRUE(log.seen.empty());
}

TEST(SimEvents, EverySinkHearsTheEventAlsoWhenOneLetsGoMeanwhile) {
    SimWorld w;
    EventLog second;
    std::unique_ptr<EventConnection> secondConnection;
    struct Quitter final : ApplicationEvents {
        std::unique_ptr<EventConnection>* own = nullptr;
        void WorkbookBeforePrint(const WorkbookPtr&) override { own->reset(); }
        void WorkbookBeforeSave(const WorkbookPtr&) override {}
        void WorkbookOpen(const WorkbookPtr&) override {}
        void NewWorkbook(const WorkbookPtr&) override {}
        void WorkbookActivate(const WorkbookPtr&) override {}
        void WindowActivate(const WorkbookPtr&, const WindowPtr&) override {}
        void WindowDeactivate(const WorkbookPtr&, const WindowPtr&) override {}
        void SheetActivate(const SheetPtr&) override {}
    } quitter;
    std::unique_ptr<EventConnection> quitterConnection = w.app->Advise(quitter);
    quitter.own = &quitterConnection;
    secondConnection = w.app->Advise(second);
    w.app->print();
    w.app->print();
    EXPECT_EQ(second.seen, (Seen{"WorkbookBeforePrint Book1.xls", "WorkbookBeforePrint Book1.xls"}));
}

TEST(SimOnTime, RunsRegisteredMacrosOnceTheirWorkbookIsOpen) {
    SimWorld w;
    Seen ran;
    w.app->registerMacro("Kez_Quorvex.xla!WorkbookAfterPrint", [&] { ran.push_back("after print"); });
    w.app->registerMacro("Later", [&] { ran.push_back("later"); });
    w.app->registerMacro("First", [&] {
        ran.push_back("first");
        w.app->OnTime(0, "Later");  // scheduled while the queue runs
    });

    w.app->OnTime(2, "Kez_Quorvex.xla!WorkbookAfterPrint");
    EXPECT_EQ(w.app->onTimeQueue().size(), 1u);
    EXPECT_EQ(ran, Seen{});  // nothing runs until the host is idle
    EXPECT_THROW(w.app->runOnTime(), HostError);  // its workbook is not open
    EXPECT_TRUE(w.app->onTimeQueue().empty());

    addFile(w.files, "C:\\temp\\Kez_Quorvex.xla", "\xD0\xCF\x11\xE0 binary add-in");
    const auto addin = w.app->OpenWorkbook("C:\\temp\\Kez_Quorvex.xla", true);
    EXPECT_EQ(w.app->FindWorkbook("kez_quorvex.xla"), addin);
    EXPECT_TRUE(w.app->Workbooks().size() == 1);  // add-ins are not listed
    EXPECT_EQ(w.app->ActiveWorkbook(), w.book);   // nor activated

    w.app->OnTime(2, "Kez_Quorvex.xla!WorkbookAfterPrint");
    w.app->OnTime(1, "First");
    EXPECT_EQ(w.app->runOnTime(), 3);
    EXPECT_EQ(ran, (Seen{"first", "later", "after print"}));

    w.app->OnTime(0, "Unknown");
    EXPECT_THROW(w.app->runOnTime(), HostError);
}

TEST(SimInputBox, AnswersFromTheScriptAndRecordsWhatWasAsked) {
    SimWorld w;
    w.app->answerInputBox("$B$2:$C$3");
    w.app->cancelInputBox();
    w.app->answerInputBox("Sheet2!A1");

    const auto first = w.app->InputBoxRange("prompt", "title", "A1");
    EXPECT_EQ(first->Address(), "$B$2:$C$3");
    EXPECT_EQ(first->Parent(), w.sheet1);
    EXPECT_EQ(w.app->InputBoxRange("p", "t", ""), nullptr);
    const auto third = w.app->InputBoxRange("p", "t", "");
    EXPECT_EQ(third->Parent(), w.sheet2);  // the user may point at another sheet
    EXPECT_THROW(w.app->InputBoxRange("p", "t", ""), std::logic_error);

    ASSERT_EQ(w.app->inputBoxCalls().size(), 4u);
    EXPECT_EQ(w.app->inputBoxCalls()[0].prompt, "prompt");
    EXPECT_EQ(w.app->inputBoxCalls()[0].title, "title");
    EXPECT_EQ(w.app->inputBoxCalls()[0].defaultText, "A1");
}

TEST(SimApplicationState, StatusBarHistoryOfALongRunKeepsItsLatestTexts) {
    SimWorld w;
    for (int i = 0; i < 5000; ++i) w.app->SetStatusBar(std::to_string(i));
    const auto& history = w.app->statusBarHistory();
    EXPECT_GE(history.size(), SimApplication::kStatusBarHistoryKept);
    EXPECT_LE(history.size(), 2 * SimApplication::kStatusBarHistoryKept);
    EXPECT_EQ(history.back(), "4999");
    EXPECT_EQ(history.front(), std::to_string(5000 - history.size()));
}

TEST(SimInputBox, PointingAtAnotherSheetLeavesThatSheetActive) {
    SimWorld w;
    EventLog events;
    const auto connection = w.app->Advise(events);
    w.app->answerInputBox("B2");
    w.app->answerInputBox("Sheet2!C3:D4");
    w.app->answerInputBox("E5");

    EXPECT_EQ(w.app->InputBoxRange("p", "t", "")->Parent(), w.sheet1);
    EXPECT_EQ(w.app->ActiveSheet()->Name(), "Sheet1");
    EXPECT_TRUE(events.seen.empty());

    const auto elsewhere = w.app->InputBoxRange("p", "t", "");
    EXPECT_EQ(elsewhere->Address(), "$C$3:$D$4");
    EXPECT_EQ(w.app->ActiveSheet()->Name(), "Sheet2");
    EXPECT_EQ(events.seen, std::vector<std::string>{"SheetActivate Sheet2"});

    // An unqualified answer now points at the sheet the user went to.
    EXPECT_EQ(w.app->InputBoxRange("p", "t", "")->Parent(), w.sheet2);
}

TEST(SimApplicationState, ControlsAddInsStatusBarAndWindow) {
    SimWorld w("11.0");
    EXPECT_TRUE(w.app->FindControl(18)->Enabled());
    EXPECT_TRUE(w.app->FindControl(748)->Enabled());
    EXPECT_EQ(w.app->FindControl(4)->Id(), 4);
    EXPECT_EQ(w.app->FindControl(9999), nullptr);
    w.app->control(kControlEditingOff)->setEnabled(false);
    EXPECT_FALSE(w.app->FindControl(18)->Enabled());

    EXPECT_THROW(w.app->COMAddIn("Kez_Quorvex.Connect"), HostError);
    const auto entry = w.app->addComAddIn("Kez_Quorvex.Connect");
    EXPECT_EQ(w.app->COMAddIn("kez_quorvex.connect"), entry);
    EXPECT_EQ(entry->Object(), nullptr);

    w.app->SetStatusBar("saving...");
    w.app->SetStatusBar(std::nullopt);
    EXPECT_EQ(w.app->statusBar(), std::nullopt);
    EXPECT_EQ(w.app->statusBarHistory(), (std::vector<std::optional<std::string>>{"saving...", std::nullopt}));

    const auto window = w.app->ActiveWindow();
    window->SetView(xlPageBreakPreview);
    EXPECT_EQ(window->View(), xlPageBreakPreview);
    EXPECT_THROW(window->SetView(7), HostError);
    w.book->window()->setWindowState(xlMinimized);
    EXPECT_EQ(window->WindowState(), xlMinimized);
    EXPECT_EQ(w.sheet1->Range("IV65536")->Address(), "$IV$65536");
    EXPECT_THROW(w.sheet1->Range("IW1"), HostError);
}

TEST(SimFiles, SaveWritesTheWorkbookAndOpenReadsItBack) {
    SimWorld w;
    w.sheet1->setCell("A1", std::string("kept"));
    w.book->CustomDocumentProperties()->Add("Watch", false, msoPropertyTypeString, "a\tb");
    w.book->Save();
    w.book->Save();  // over the earlier file
    const std::string saved = fileText(w.files, "C:\\books\\Book1.xls");
    EXPECT_TRUE(looksLikeFixture(saved));

    w.app->closeWorkbook(w.book);
    const auto reopened = std::dynamic_pointer_cast<SimWorkbook>(w.app->OpenWorkbook("C:\\books\\Book1.xls", false));
    EXPECT_EQ(reopened->Name(), "Book1.xls");
    EXPECT_EQ(reopened->Path(), "C:\\books");
    EXPECT_EQ(reopened->CustomDocumentProperties()->ValueOf("Watch"), "a\tb");
    EXPECT_EQ(reopened->FindWorksheet("Sheet1")->Range("A1")->Text(), "kept");
    // Opening it again gives the open workbook.
    EXPECT_EQ(w.app->OpenWorkbook("c:\\books\\book1.xls", false), reopened);

    const std::pair<std::string, std::string> refused[] = {
        {"C:\\books\\missing.xls", ""},
        {"C:\\books\\binary.xls", "\xD0\xCF\x11\xE0"},
        {"C:\\books\\damaged.xls", "simulated-workbook 1\nbook x\nworksheet\n"},
        {"C:\\other\\Book1.xls", "simulated-workbook 1\nbook x\nworksheet A\n"},  // the name is taken
    };
    for (const auto& [path, text] : refused) {
        if (!text.empty()) addFile(w.files, path, text);
        EXPECT_THROW(w.app->OpenWorkbook(path, false), HostError) << path;
    }

    reopened->setReadOnly(true);
    EXPECT_THROW(reopened->Save(), HostError);
    const auto fresh = w.app->newWorkbook();
    fresh->Save();  // never saved: nothing to write to
    EXPECT_EQ(w.files.kind("C:\\books\\Book1"), PathKind::missing);
}

}  // namespace
}  // namespace kq::host::sim
