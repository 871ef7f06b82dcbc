#pragma once
// The add-in object's world in the tests: the simulated host behind a façade
// whose reads can be made to fail, a system with the library's string table,
// scripted messages, settings in memory and icon faces painted in memory.

#include "addin/core/connect.h"
#include "addin/core/xl_events.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "host/sim/sim_application.h"
#include "tests/addin/core/sink_test_world.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin::world {

using host::sim::SimAddIn;
using host::sim::SimApplication;
using kq::test::ShownMessage;

// The icon painting of the bars, on the simulated host's face clipboard: an
// icon is "drawn" by marking the face's first pixels with the icon's number.
struct FacePainting {
    std::shared_ptr<host::sim::MemoryFaceClipboard> clipboard = std::make_shared<host::sim::MemoryFaceClipboard>();
    std::vector<std::string> drawn;
    std::set<std::string> failing;
    int painters = 0;      // made so far
    int livePainters = 0;  // still keeping the user's clipboard

    // The mark an icon leaves.
    static std::uint32_t ink(const std::string& icon) { return 0x010000u * static_cast<std::uint32_t>(icon.size()) + 0x42u; }
};

class PaintedFaces final : public IconFaces {
public:
    explicit PaintedFaces(FacePainting& painting) : p_(painting) {
        ++p_.painters;
        ++p_.livePainters;
    }
    ~PaintedFaces() override { --p_.livePainters; }
    bool drawIcon(std::string_view iconResourceName) override {
        const std::string icon(iconResourceName);
        if (p_.failing.count(icon) || !p_.clipboard->held) return false;
        p_.clipboard->held->pixels[0] = FacePainting::ink(icon);
        p_.drawn.push_back(icon);
        return true;
    }
    void clearClipboard() override { p_.clipboard->held.reset(); }

private:
    FacePainting& p_;
};

// Settings in memory whose writes of one section can be refused, as a
// registry key the user may not write.
class RefusingStore final : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view section, std::string_view name) override {
        return kept_.read(section, name);
    }
    void write(std::string_view section, std::string_view name, std::string_view value) override {
        if (section == refusedSection) throw host::HostError(host::err::kApplicationDefined, "the key is locked");
        kept_.write(section, name, value);
    }
    void set(std::string_view section, std::string_view name, std::string_view value) { kept_.set(section, name, value); }
    const std::vector<MemorySettingsStore::Write>& writes() const { return kept_.writes(); }

    std::string refusedSection;

private:
    MemorySettingsStore kept_;
};

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
    SettingsStore& settingsStore() override { return store; }
    std::unique_ptr<IconFaces> iconFaces() override { return std::make_unique<PaintedFaces>(painting); }

    // How often the settings were written: each write of the section writes "Folder" once.
    int settingsWrites() const {
        int count = 0;
        for (const auto& w : store.writes()) count += w.section == "Setting" && w.name == "Folder";
        return count;
    }

    std::int32_t os = 12;
    std::string country = "JAPAN";
    // The library's string table.
    std::map<std::int32_t, std::string> strings = {
        {1000, "Brelmont"},        {1100, "KEZ(&M)"},       {1200, "Brelmont(&H)"},   {1201, "印刷監視(&S)"},
        {1202, "履歴閲覧(&C)"},    {1210, "環境設定(&S)"},  {1211, "ヘルプ(&H)"},     {1212, "バージョン情報(&V)"},
        {1900, "開発元ホームページへ(&D)"},
        {2000, "Quorvex"},         {2100, "&KEZ"},          {2200, "&Quorvex"},       {2201, "&ThisSheetCheck"},
        {2202, "&CheckHistory"},   {2210, "&Setting"},      {2211, "&Help"},          {2212, "&About"},
        {2900, "&Developer's Site"}};
    kq::test::ScriptedPrompts shown;
    RefusingStore store;
    kq::test::HistoryFolderWorld world;
    std::optional<host::HostError> settingFailure;
    std::vector<double> settingVersions;
    test::FakeSinkServices sink;
    FacePainting painting;
};

// The simulated host, with reads that can be made to fail as a host that is
// going away fails them.
class FlakyHost final : public host::Application {
public:
    explicit FlakyHost(std::shared_ptr<SimApplication> sim) : sim_(std::move(sim)) {}
    bool failVersion = false;
    bool failHInstance = false;
    bool failBars = false;

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
    host::CommandBarsPtr CommandBars() override {
        if (failBars) throw host::HostError(host::err::kObjectDisconnected, "The object invoked has disconnected");
        return sim_->CommandBars();
    }
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
        sim->commandBars()->setClipboard(system.painting.clipboard);
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

}  // namespace kq::addin::world
