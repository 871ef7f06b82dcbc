#include "addin/core/connect.h"
#include "addin/core/xl_events.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/core/check_thissite_button_push.h"
#include "addin/core/doc_pros.h"
#include "common/settings_store.h"
#include "host/sim/sim_application.h"
#include "tests/addin/core/sink_test_world.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin {
namespace {

using host::sim::SimAddIn;
using host::sim::SimApplication;
using test::ShownMessage;

constexpr char kTitle[] = "Brelmont for Excel";
constexpr unsigned kCritical = 0x10;
const std::string kM1 = "このバージョンのエクセルには対応していません。";
const std::string kM2 = "64bit版のエクセルには対応していません。";
const std::string kM3 = "このバージョンのＯＳには対応していません。";
const std::string kM4 =
    "このエクセルは「ストアアプリ版」です。「デスクトップアプリ版」のエクセルに入れ直してから再度お試しください。\r\n"
    "\r\n"
    "※Microsoft Excel (または Office)には、デスクトップアプリ版とストアアプリ版の２種類があります。"
    "本アドインは、デスクトップアプリ版にのみ対応しています。";

class FakeSystem final : public AddinSystem {
public:
    std::int32_t GetOS(std::string& versionText) override {
        versionText = "10.0";
        return os;
    }
    std::string LanguagenameFromOS() override { return country; }
    std::optional<std::string> LoadResString(std::int32_t id) override {
        const auto it = strings.find(id);
        return it == strings.end() ? std::nullopt : std::optional(it->second);
    }
    Prompts& prompts() override { return shown; }
    std::shared_ptr<c_Setting> NewSetting(double hostVersion) override {
        if (settingFailure) throw *settingFailure;
        settingVersions.push_back(hostVersion);
        return std::make_shared<c_Setting>(store, world.services(), hostVersion);
    }
    XlSinkServices& sinkServices() override { return sink; }

    // How often the settings were written: each write of the section writes "Folder" once.
    int settingsWrites() const {
        int count = 0;
        for (const auto& w : store.writes()) count += w.section == "Setting" && w.name == "Folder";
        return count;
    }

    std::int32_t os = 12;
    std::string country = "JAPAN";
    std::map<std::int32_t, std::string> strings = {{1000, "Brelmont"}, {2000, "Quorvex"}};
    test::ScriptedPrompts shown;
    MemorySettingsStore store;
    test::HistoryFolderWorld world;
    std::optional<host::HostError> settingFailure;
    std::vector<double> settingVersions;
    test::FakeSinkServices sink;
};

// The simulated host, with reads that can be made to fail as a host that is
// going away fails them.
class FlakyHost final : public host::Application {
public:
    explicit FlakyHost(std::shared_ptr<SimApplication> sim) : sim_(std::move(sim)) {}
    bool failVersion = false;
    bool failHInstance = false;

    std::string Version() override {
        if (failVersion) throw host::HostError(host::err::kObjectDisconnected, "The object invoked has disconnected");
        return sim_->Version();
    }
    std::int32_t hInstance() override {
        if (failHInstance) throw host::HostError(438, "Object doesn't support this property or method");
        return sim_->hInstance();
    }
    std::string Path() override { return sim_->Path(); }
    std::string Caption() override { return sim_->Caption(); }
    std::string UserName() override { return sim_->UserName(); }
    std::string ActivePrinter() override { return sim_->ActivePrinter(); }
    std::int32_t WindowState() override { return sim_->WindowState(); }
    std::vector<host::WorkbookPtr> Workbooks() override { return sim_->Workbooks(); }
    host::WorkbookPtr FindWorkbook(const std::string& name) override { return sim_->FindWorkbook(name); }
    host::WorkbookPtr OpenWorkbook(const std::string& path, bool readOnly) override {
        return sim_->OpenWorkbook(path, readOnly);
    }
    host::WorkbookPtr ActiveWorkbook() override { return sim_->ActiveWorkbook(); }
    host::SheetPtr ActiveSheet() override { return sim_->ActiveSheet(); }
    host::WindowPtr ActiveWindow() override { return sim_->ActiveWindow(); }
    host::RangePtr ActiveCell() override { return sim_->ActiveCell(); }
    host::RangePtr Selection() override { return sim_->Selection(); }
    void SetStatusBar(const std::optional<std::string>& text) override { sim_->SetStatusBar(text); }
    bool ScreenUpdating() override { return sim_->ScreenUpdating(); }
    void SetScreenUpdating(bool on) override { sim_->SetScreenUpdating(on); }
    bool EnableEvents() override { return sim_->EnableEvents(); }
    void SetEnableEvents(bool on) override { sim_->SetEnableEvents(on); }
    void ClearCutCopyMode() override { sim_->ClearCutCopyMode(); }
    void OnTime(double when, const std::string& procedure) override { sim_->OnTime(when, procedure); }
    host::RangePtr InputBoxRange(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) override {
        return sim_->InputBoxRange(prompt, title, defaultText);
    }
    host::RangePtr Intersect(const host::RangePtr& a, const host::RangePtr& b) override {
        return sim_->Intersect(a, b);
    }
    host::RangePtr Union(const std::vector<host::RangePtr>& ranges) override { return sim_->Union(ranges); }
    host::CommandBarControlPtr FindControl(std::int32_t id) override { return sim_->FindControl(id); }
    host::AddInEntryPtr COMAddIn(const std::string& progId) override { return sim_->COMAddIn(progId); }
    std::unique_ptr<host::EventConnection> Advise(host::ApplicationEvents& sink) override { return sim_->Advise(sink); }

private:
    std::shared_ptr<SimApplication> sim_;
};

class Connection : public ::testing::Test {
protected:
    // As the host does when it closes: the add-in then lets go of the host,
    // whose add-in list holds the add-in.
    void TearDown() override {
        if (connect) connect->AddinInstance_OnDisconnection();
    }

    // The host as it loads the add-in at start-up.
    void makeHost(const std::string& version) {
        sim = SimApplication::create(system.world.files, version);
        host = std::make_shared<FlakyHost>(sim);
        entry = sim->addComAddIn("Kez_Quorvex.Connect");
    }
    void connectTo(const std::string& version) {
        makeHost(version);
        connectNow();
    }
    void connectNow() {
        connect->AddinInstance_OnConnection(host, entry, std::make_shared<ConnectLateBound>(connect));
    }
    // The connection's state, which a test expects to be there.
    AddinState& state() {
        if (!connect->state()) throw std::logic_error("not connected");
        return *connect->state();
    }
    // What the ribbon bridge and the helper workbook reach: the entry's object.
    host::Value callByName(const std::string& name, std::vector<host::Value> args = {}) {
        const host::LateBoundPtr object = sim->COMAddIn("Kez_Quorvex.Connect")->Object();
        if (!object) throw std::logic_error("nothing published");
        return object->Invoke(name, args);
    }

    FakeSystem system;
    Procedures procedures;
    std::shared_ptr<Connect> connect = std::make_shared<Connect>(system, procedures);
    std::shared_ptr<SimApplication> sim;
    std::shared_ptr<FlakyHost> host;
    std::shared_ptr<SimAddIn> entry;
};

TEST_F(Connection, GatesAcceptOrRefuseTheHostAndTheSystem) {
    struct Case {
        std::string version;
        std::int32_t hInstance;
        std::int32_t os;
        std::string path;
        std::optional<std::string> message;  // critical, titled with the add-in's title
        bool staysLoaded;                    // AddInInst.Connect afterwards
    };
    const std::string desktop = "C:\\Program Files\\Microsoft Office\\root\\Office16";
    const std::vector<Case> cases = {
        {"9.0", 0x400000, 6, desktop, std::nullopt, true},
        {"10.0", 0x400000, 6, desktop, std::nullopt, true},
        {"11.0", 0x400000, 8, desktop, std::nullopt, true},
        {"12.0", 0, 8, desktop, std::nullopt, true},  // no bitness probe up to 12
        {"14.0", 0x400000, 9, desktop, std::nullopt, true},
        {"15.0", 0x400000, 10, desktop, std::nullopt, true},
        {"16.0", 0x400000, 12, desktop, std::nullopt, true},
        {"16.0", 0x400000, 0, desktop, std::nullopt, true},
        {"8.0", 0x400000, 12, desktop, kM1, false},
        {"13.0", 0x400000, 12, desktop, kM1, false},
        {"17.0", 0x400000, 12, desktop, kM1, false},
        {"", 0x400000, 12, desktop, kM1, false},
        {"14.0", 0, 12, desktop, kM2, false},
        {"16.0", 0, 12, desktop, kM2, false},
        {"16.0", 0x400000, 3, desktop, kM3, false},
        {"16.0", 0x400000, 13, desktop, kM3, false},
        {"11.0", 0x400000, 13, desktop, kM3, false},
        {"16.0", 0x400000, 12, "C:\\Program Files\\Windows\\Apps\\Office16", kM4, true},
        {"16.0", 0x400000, 12, "c:\\program files\\windows\\APPS\\office16", kM4, true},
        {"16.0", 0x400000, 12, "C:\\Program Files\\Windows Apps\\Office16", std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version + " os " + std::to_string(c.os) + " " + c.path);
        system = {};
        system.os = c.os;
        makeHost(c.version);
        sim->setHInstance(c.hInstance);
        sim->setPath(c.path);
        connectNow();

        const bool connected = !c.message;
        if (c.message) {
            EXPECT_EQ(system.shown.messages, (std::vector<ShownMessage>{{*c.message, kTitle, kCritical}}));
        } else {
            EXPECT_TRUE(system.shown.messages.empty());
        }
        EXPECT_EQ(entry->Connect(), c.staysLoaded);
        EXPECT_EQ(connect->state() != nullptr, connected);
        EXPECT_EQ(connect->state() && connect->state()->g_Setting, connected);
        EXPECT_EQ(entry->Object() != nullptr, connected);
        EXPECT_EQ(system.settingVersions.size(), connected ? 1u : 0u);
    }
}

TEST_F(Connection, UnreadableInstanceHandleCountsAsA64BitHost) {
    makeHost("15.0");
    host->failHInstance = true;
    connectNow();
    EXPECT_EQ(system.shown.messages, (std::vector<ShownMessage>{{kM2, kTitle, kCritical}}));
    EXPECT_FALSE(entry->Connect());
}

TEST_F(Connection, ConnectedAddinPublishesItselfAndPicksItsStringBase) {
    struct Case {
        std::string version;
        std::string country;
        std::int32_t resBase;
        std::string title;       // only hosts before 12 load it
        bool printControlsHooked;  // likewise
    };
    const std::vector<Case> cases = {
        {"16.0", "JAPAN", 1000, "", false},
        {"12.0", "UNITED STATES", 2000, "", false},
        {"11.0", "JAPAN", 1000, "Brelmont", true},
        {"9.0", "", 2000, "Quorvex", true},
        {"10.0", "Japan", 2000, "Quorvex", true},  // only the exact upper-case name counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version + " " + c.country);
        system = {};
        system.country = c.country;
        connect = std::make_shared<Connect>(system, procedures);
        makeHost(c.version);
        // The host has no quick-print control here: its sink stays empty.
        const auto print = sim->control(4);
        const auto preview = sim->control(109);
        connectNow();

        EXPECT_TRUE(system.shown.messages.empty());
        EXPECT_EQ(state().g_Application, host);
        EXPECT_EQ(system.settingVersions, std::vector<double>{std::stod(c.version)});
        EXPECT_EQ(connect->OnActionText(), "!<Kez_Quorvex.Connect>");
        EXPECT_EQ(state().g_ResBase, c.resBase);
        EXPECT_EQ(state().g_Title, c.title);
        EXPECT_EQ(connect->printSink().CB, c.printControlsHooked ? print : nullptr);
        EXPECT_EQ(connect->directPrintSink().CB, nullptr);
        EXPECT_EQ(connect->previewSink().CB, c.printControlsHooked ? preview : nullptr);
        // A click of a hooked control notes its kind in this connection's state.
        EXPECT_EQ(connect->printSink().state, c.printControlsHooked ? connect->state() : nullptr);
        // The published object is this one: a call through it reaches the add-in.
        callByName("CallForRibbon_PrintOrPreview_onAction", {3.0});
        EXPECT_EQ(state().PrintCommandKind, 3);
        connect->AddinInstance_OnDisconnection();
    }
}

TEST_F(Connection, AnErrorInAnyStepIsReportedAndLeavesOnlyWhatWasMade) {
    struct Case {
        std::string version;
        std::function<void()> arrange;
        std::string message;
        bool hostSet;
        bool settingSet;
    };
    const std::vector<Case> cases = {
        {"16.0", [this] { system.settingFailure = host::HostError(5, "Invalid procedure call or argument"); },
         "OnConnection-Err:5\r\nInvalid procedure call or argument", true, false},
        {"11.0", [this] { system.settingFailure = host::HostError(5, "Invalid procedure call or argument"); },
         "OnConnection-Err:5\r\nInvalid procedure call or argument", true, false},
        {"11.0", [this] { system.strings.clear(); },
         "OnConnection-Err:326\r\nResource with identifier '1000' not found", true, true},
        {"16.0", [this] { host->failVersion = true; },
         "OnConnection-Err:-2147417848\r\nThe object invoked has disconnected", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        system = {};
        makeHost(c.version);
        c.arrange();
        connectNow();

        EXPECT_EQ(system.shown.messages, (std::vector<ShownMessage>{{c.message, "Kez_Quorvex", 0}}));
        EXPECT_TRUE(entry->Connect());
        EXPECT_EQ(connect->state() && connect->state()->g_Application, c.hostSet);
        EXPECT_EQ(connect->state() && connect->state()->g_Setting, c.settingSet);

        // Every entry point copes with what is missing; disconnection releases what is there.
        host->failVersion = false;
        std::int32_t kind = 2;
        EXPECT_NO_THROW(connect->CallForRibbon_PrintOrPreview_onAction(kind));
        EXPECT_NO_THROW(connect->CallForXLA_WorkbookAfterPrint());
        EXPECT_FALSE(connect->CallForRibbon_GetThisSheetCheckEnabled());
        connect->AddinInstance_OnDisconnection();
        EXPECT_EQ(connect->state(), nullptr);
        EXPECT_EQ(system.settingsWrites(), c.settingSet ? 1 : 0);
    }
}

TEST_F(Connection, DisconnectionWritesTheSettingsOnceAndReleasesTheHost) {
    connectTo("16.0");
    EXPECT_EQ(system.settingsWrites(), 0);  // nothing reaches the registry while connected
    connect->AddinInstance_OnDisconnection();
    EXPECT_EQ(system.settingsWrites(), 1);
    EXPECT_EQ(connect->state(), nullptr);
    connect->AddinInstance_OnDisconnection();
    EXPECT_EQ(system.settingsWrites(), 1);
}

TEST_F(Connection, SettingsAreWrittenEvenWhenTheHostFailsAtDisconnection) {
    for (const std::string version : {"11.0", "16.0"}) {
        SCOPED_TRACE(version);
        system = {};
        connectTo(version);
        host->failVersion = true;
        connect->AddinInstance_OnDisconnection();
        EXPECT_EQ(system.settingsWrites(), 1);
        EXPECT_EQ(connect->state(), nullptr);
        EXPECT_EQ(connect->printSink().CB, nullptr);
        EXPECT_TRUE(system.shown.messages.empty());
    }
}

TEST_F(Connection, RefusedOrIdleAddinWritesNothingAtDisconnection) {
    for (const bool storeEdition : {false, true}) {
        system = {};
        makeHost(storeEdition ? "16.0" : "13.0");
        sim->setPath("C:\\Program Files\\Windows\\Apps\\Office16");
        connectNow();
        connect->AddinInstance_OnDisconnection();
        EXPECT_TRUE(system.store.writes().empty());
        EXPECT_EQ(system.shown.messages.size(), 1u);
    }
}

TEST_F(Connection, PrintKindKeepsOnlyTheThreeKindsAndLeavesTheArgument) {
    connectTo("16.0");
    struct Case {
        double given;
        std::int32_t kindAfter;
    };
    state().PrintCommandKind = 2;
    const std::vector<Case> cases = {{0, 2}, {4, 2}, {-1, 2}, {1, 1}, {3, 3}, {2, 2}, {2147483647, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        std::vector<host::Value> args = {c.given};
        sim->COMAddIn("Kez_Quorvex.Connect")->Object()->Invoke("callforribbon_printorpreview_ONACTION", args);
        EXPECT_EQ(state().PrintCommandKind, c.kindAfter);
        EXPECT_EQ(args, std::vector<host::Value>{c.given});
    }
}

TEST_F(Connection, PrintKindSinksNoteTheirCommandAndTheLaterClickWins) {
    AddinState hooked(nullptr);
    c_Xl_CB_Print print;
    c_Xl_CB_DirectPrint quick;
    c_Xl_CB_Preview preview;
    print.hook(nullptr, hooked);
    quick.hook(nullptr, hooked);
    preview.hook(nullptr, hooked);
    quick.CB_Click();
    EXPECT_EQ(hooked.PrintCommandKind, 2);
    preview.CB_Click();
    EXPECT_EQ(hooked.PrintCommandKind, 3);
    print.CB_Click();
    EXPECT_EQ(hooked.PrintCommandKind, 1);

    // An unhooked sink reaches no state.
    quick.unhook();
    quick.CB_Click();
    EXPECT_EQ(hooked.PrintCommandKind, 1);
}

TEST_F(Connection, AfterPrintClearsTheFlagBeforeRecordingAndPassesErrorsBack) {
    std::vector<bool> pendingWhileRecording;
    procedures.SaveHistory = [&](AddinState& state) {
        pendingWhileRecording.push_back(state.AfterPrintPending);
        if (pendingWhileRecording.size() == 2) {
            throw host::HostError(1004, "Application-defined or object-defined error");
        }
    };
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("16.0");

    state().AfterPrintPending = true;
    callByName("CallForXLA_WorkbookAfterPrint");
    EXPECT_EQ(pendingWhileRecording, std::vector<bool>{false});

    state().AfterPrintPending = true;
    try {
        callByName("callforxla_workbookafterprint");
        ADD_FAILURE() << "the recorder's error must reach the caller";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), 1004);
    }
    EXPECT_FALSE(state().AfterPrintPending);
}

TEST_F(Connection, RibbonCommandsReachTheirProcedureAndSwallowItsErrors) {
    std::vector<std::string> ran;
    const auto failing = [&](std::string name) {
        return [&ran, name](AddinState&) {
            ran.push_back(name);
            throw host::HostError(91, "Object variable or With block variable not set");
        };
    };
    procedures.Command_ThisSheetCheck = failing("ThisSheetCheck");
    procedures.Command_OpenHistory = failing("OpenHistory");
    procedures.Command_GotoHomePage = failing("GotoHomePage");
    procedures.Command_Setting = failing("Setting");
    procedures.Command_Help = failing("Help");
    procedures.Command_About = [&](AddinState&) {
        ran.push_back("About");
        throw std::runtime_error("not a host error");
    };
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("14.0");

    // The ribbon bridge spells one name its own way.
    for (const std::string name : {"CallForRibbon_ThisSheetCheck", "CallForRibbon_OpenHistory",
                                   "CallForRibbon_GotoHomePage", "CallForRibbon_Setting", "CallForRibbon_Help",
                                   "CallForRibbon_About"}) {
        EXPECT_NO_THROW(callByName(name)) << name;
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"ThisSheetCheck", "OpenHistory", "GotoHomePage", "Setting", "Help",
                                             "About"}));
}

TEST_F(Connection, ToggleStateComesFromItsProcedureAndItsErrorsReachTheRibbon) {
    int calls = 0;
    procedures.CheckThissiteButtonPush = [&](AddinState&) {
        if (++calls == 2) throw host::HostError(1004, "Application-defined or object-defined error");
        return true;
    };
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("16.0");
    EXPECT_EQ(callByName("CallForRibbon_GetThisSheetCheckEnabled"), host::Value(true));
    EXPECT_THROW(callByName("CallForRibbon_GetThisSheetCheckEnabled"), host::HostError);
}

TEST_F(Connection, LateBoundCallsCheckNamesAndArguments) {
    connectTo("16.0");
    struct Case {
        std::string name;
        std::vector<host::Value> args;
        std::int32_t error;
    };
    const std::vector<Case> cases = {
        {"CallForRibbon_Unknown", {}, 438},
        {"CallForXLA_WorkbookAfterPrint", {1.0}, 450},
        {"CallForRibbon_PrintOrPreview_onAction", {}, 450},
        {"CallForRibbon_PrintOrPreview_onAction", {std::string("2")}, 13},
        {"CallForRibbon_PrintOrPreview_onAction", {1e12}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            callByName(c.name, c.args);
            ADD_FAILURE() << "expected error " << c.error;
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.number(), c.error);
        }
    }
}

TEST_F(Connection, ThisSheetToggleFollowsTheActiveSheetsWatch) {
    AddinState idle(nullptr);
    EXPECT_FALSE(CheckThissiteButtonPush(idle));  // no host
    connect = std::make_shared<Connect>(system, CoreProcedures());
    connectTo("16.0");
    EXPECT_FALSE(CheckThissiteButtonPush(state()));  // no workbook

    const auto book = sim->addWorkbook("Toggle.xls", "C:\\Data");
    const auto watched = book->addWorksheet("Watched");
    const auto plain = book->addWorksheet("Plain");
    const auto chart = book->addChartSheet("Chart");
    state().g_DocPros().Add(book, watched, "cat", "20240101090000TGL", "20240101090000TGV", "", {}, {}, {});

    struct Case {
        std::shared_ptr<host::sim::SimSheetBase> active;
        bool released;
        bool pressed;
    };
    const std::vector<Case> cases = {{watched, false, true}, {plain, false, false}, {chart, false, false},
                                     {watched, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active->name());
        if (c.released) state().g_DocPros().Release(watched);
        c.active->activate();
        EXPECT_EQ(CheckThissiteButtonPush(state()), c.pressed);
        EXPECT_EQ(callByName("CallForRibbon_GetThisSheetCheckEnabled"), host::Value(c.pressed));
    }
}

TEST_F(Connection, WatchesOfOpenWorkbooksAreKnownFromTheConnectionAndStoredAtEverySave) {
    makeHost("16.0");
    const auto book = sim->addWorkbook("Open.xls", "");
    const auto sheet = book->addWorksheet("Ledger");
    book->properties()->add({"KEZ_QUORVEX_INFO_Ledger", host::msoPropertyTypeString,
                             "0\tcat\t20240101090000AAA\t20240101090000BBB\t\t"});
    connectNow();
    ASSERT_TRUE(state().g_DocPros().Find(sheet));  // loaded when the connection made the event sink

    const auto other = book->addWorksheet("Other");
    state().g_DocPros().Add(book, other, "new", "20240101090000CCC", "20240101090000CCC", "", {}, {}, {});
    host::ignoreErrors([&] { book->Save(); });  // a book never saved has nowhere to go; the event came first
    EXPECT_EQ(book->properties()->ValueOf("KEZ_QUORVEX_INFO_Other"),
              "0\tnew\t20240101090000CCC\t20240101090000CCC\t\t");

    // Once disconnected the add-in hears nothing more: a watch it knew but had
    // not stored yet is not written at the next save.
    const auto third = book->addWorksheet("Third");
    state().g_DocPros().Add(book, third, "late", "20240101090000DDD", "20240101090000DDD", "", {}, {}, {});
    connect->AddinInstance_OnDisconnection();
    host::ignoreErrors([&] { book->Save(); });
    EXPECT_THROW(book->properties()->ValueOf("KEZ_QUORVEX_INFO_Third"), host::HostError);
}

TEST_F(Connection, ASecondConnectionStartsFreshAndFindsTheStoredWatchesAgain) {
    makeHost("11.0");
    const auto book = sim->addWorkbook("Open.xls", "C:\\Data");
    const auto ledger = book->addWorksheet("Ledger");
    const auto draft = book->addWorksheet("Draft");
    book->properties()->add({"KEZ_QUORVEX_INFO_Ledger", host::msoPropertyTypeString,
                             "0\tcat\t20240101090000AAA\t20240101090000BBB\t\t"});
    connectNow();
    callByName("CallForRibbon_PrintOrPreview_onAction", {3.0});
    state().AfterPrintPending = true;
    state().g_DocPros().Add(book, draft, "draft", "20240101090000EEE", "20240101090000EEE", "", {}, {}, {});
    connect->AddinInstance_OnDisconnection();
    ASSERT_EQ(connect->state(), nullptr);

    connectNow();
    ASSERT_NE(connect->state(), nullptr);
    EXPECT_EQ(state().PrintCommandKind, print_kind::kOther);
    EXPECT_FALSE(state().AfterPrintPending);
    EXPECT_EQ(state().g_Title, "Brelmont");
    EXPECT_EQ(system.settingVersions, (std::vector<double>{11, 11}));  // the settings are read again
    EXPECT_TRUE(state().g_DocPros().Find(ledger));   // the new event sink loads what the workbook stores
    EXPECT_FALSE(state().g_DocPros().Find(draft));   // what only the first connection knew is gone
    connect->AddinInstance_OnDisconnection();
    EXPECT_EQ(system.settingsWrites(), 2);
}

TEST_F(Connection, AnObjectKeptFromAnEarlierConnectionReachesTheOneInForce) {
    // The helper workbook's macro keeps the object it first found; connected
    // again, the add-in is a new object of the same library.
    int recordings = 0;
    Procedures counted;
    counted.SaveHistory = [&](AddinState&) { ++recordings; };
    connect = std::make_shared<Connect>(system, counted);
    connectTo("16.0");
    const host::LateBoundPtr kept = sim->COMAddIn("Kez_Quorvex.Connect")->Object();
    connect->AddinInstance_OnDisconnection();
    std::vector<host::Value> kind{2.0};
    EXPECT_NO_THROW(kept->Invoke("CallForRibbon_PrintOrPreview_onAction", kind));  // nothing to reach

    const auto later = std::make_shared<Connect>(system, counted);
    later->AddinInstance_OnConnection(host, entry, std::make_shared<ConnectLateBound>(later));
    ASSERT_NE(later->state(), nullptr);
    later->state()->AfterPrintPending = true;
    std::vector<host::Value> none;
    kept->Invoke("CallForXLA_WorkbookAfterPrint", none);
    EXPECT_FALSE(later->state()->AfterPrintPending);
    EXPECT_EQ(recordings, 1);
    kept->Invoke("CallForRibbon_PrintOrPreview_onAction", kind);
    EXPECT_EQ(later->state()->PrintCommandKind, print_kind::kQuickPrint);

    later->AddinInstance_OnDisconnection();
    kept->Invoke("CallForXLA_WorkbookAfterPrint", none);
    EXPECT_EQ(recordings, 1);
}

TEST_F(Connection, DisconnectionLetsGoOfTheHost) {
    connectTo("11.0");
    sim->addWorkbook("Open.xls", "C:\\Data")->addWorksheet("Ledger");
    connect->AddinInstance_OnDisconnection();
    EXPECT_EQ(host.use_count(), 1);
}

TEST_F(Connection, EntryPointsWithoutAStateDoNothing) {
    std::vector<std::string> ran;
    const auto noting = [&](std::string name) { return [&ran, name](AddinState&) { ran.push_back(name); }; };
    procedures.SaveHistory = noting("SaveHistory");
    procedures.CheckThissiteButtonPush = [&](AddinState&) {
        ran.push_back("CheckThissiteButtonPush");
        return true;
    };
    procedures.Command_ThisSheetCheck = noting("ThisSheetCheck");
    procedures.Command_OpenHistory = noting("OpenHistory");
    procedures.Command_GotoHomePage = noting("GotoHomePage");
    procedures.Command_Setting = noting("Setting");
    procedures.Command_Help = noting("Help");
    procedures.Command_About = noting("About");

    struct Case {
        std::string situation;
        std::function<void()> arrange;
    };
    const std::vector<Case> cases = {
        {"never connected", [&] { makeHost("16.0"); }},
        {"refused", [&] { connectTo("13.0"); }},
        {"idle in the store edition",
         [&] {
             makeHost("16.0");
             sim->setPath("C:\\Program Files\\Windows\\Apps\\Office16");
             connectNow();
         }},
        {"disconnected",
         [&] {
             connectTo("16.0");
             connect->AddinInstance_OnDisconnection();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        system = {};
        ran.clear();
        connect = std::make_shared<Connect>(system, procedures);
        c.arrange();
        ASSERT_EQ(connect->state(), nullptr);
        const int writes = system.settingsWrites();

        EXPECT_NO_THROW(connect->CallForXLA_WorkbookAfterPrint());
        EXPECT_FALSE(connect->CallForRibbon_GetThisSheetCheckEnabled());
        std::int32_t kind = 2;
        EXPECT_NO_THROW(connect->CallForRibbon_PrintOrPreview_onAction(kind));
        EXPECT_EQ(kind, 2);
        EXPECT_NO_THROW(connect->CallForRibbon_ThisSheetCheck());
        EXPECT_NO_THROW(connect->CallForRibbon_OpenHistory());
        EXPECT_NO_THROW(connect->CallForRibbon_GoToHomePage());
        EXPECT_NO_THROW(connect->CallForRibbon_Setting());
        EXPECT_NO_THROW(connect->CallForRibbon_Help());
        EXPECT_NO_THROW(connect->CallForRibbon_About());
        EXPECT_NO_THROW(connect->AddinInstance_OnDisconnection());

        EXPECT_TRUE(ran.empty());
        EXPECT_EQ(connect->state(), nullptr);
        EXPECT_EQ(system.settingsWrites(), writes);
    }
}

TEST_F(Connection, ACallThatLeadsToTheDisconnectionStillHasItsState) {
    // A message loop inside the recorder can let the host disconnect the add-in.
    bool hostStillThere = false;
    procedures.SaveHistory = [&](AddinState& during) {
        connect->AddinInstance_OnDisconnection();
        hostStillThere = during.g_Application != nullptr;
        during.PrintCommandKind = print_kind::kPrint;
    };
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("16.0");
    callByName("CallForXLA_WorkbookAfterPrint");
    EXPECT_TRUE(hostStillThere);
    EXPECT_EQ(connect->state(), nullptr);
    EXPECT_EQ(system.settingsWrites(), 1);
    EXPECT_EQ(host.use_count(), 1);  // released once the call returned
}

TEST_F(Connection, ConnectingAgainWhileConnectedEndsTheEarlierConnectionFirst) {
    connectTo("11.0");
    callByName("CallForRibbon_PrintOrPreview_onAction", {2.0});
    connectNow();
    EXPECT_EQ(system.settingsWrites(), 1);
    EXPECT_EQ(state().PrintCommandKind, print_kind::kOther);
    EXPECT_EQ(connect->printSink().state, connect->state());
}

TEST_F(Connection, TwoAddinObjectsKeepTheirOwnState) {
    connectTo("16.0");
    FakeSystem otherSystem;
    const auto other = std::make_shared<Connect>(otherSystem, procedures);
    const auto otherHost = SimApplication::create(otherSystem.world.files, "16.0");
    other->AddinInstance_OnConnection(otherHost, otherHost->addComAddIn("Kez_Quorvex.Connect"),
                                      std::make_shared<ConnectLateBound>(other));

    callByName("CallForRibbon_PrintOrPreview_onAction", {3.0});
    std::int32_t quick = print_kind::kQuickPrint;
    other->CallForRibbon_PrintOrPreview_onAction(quick);
    EXPECT_EQ(state().PrintCommandKind, print_kind::kPreview);
    EXPECT_EQ(other->state()->PrintCommandKind, print_kind::kQuickPrint);

    other->AddinInstance_OnDisconnection();
    EXPECT_NE(connect->state(), nullptr);
    EXPECT_EQ(system.settingsWrites(), 0);
    EXPECT_EQ(otherSystem.settingsWrites(), 1);
}

}  // namespace
}  // namespace kq::addin
