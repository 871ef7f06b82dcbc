#pragma once
// The add-in object: its connection to the host and the methods that the ribbon
// bridge and the helper workbook call. The COM class of the library carries one
// of these; the simulated host's tests drive it directly.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/button_sinks.h"
#include "addin/core/command_bars.h"
#include "addin/core/procedures.h"
#include "addin/core/res_string.h"
#include "addin/core/xl_events.h"
#include "common/prompts.h"
#include "common/settings_store.h"
#include "host/host.h"

namespace kq::addin {

// What the connection needs of the system it runs on.
class AddinSystem : public ResourceStrings {
public:
    // The OsCode of the running Windows (see os_code.h).
    virtual std::int32_t GetOS(std::string& versionText) = 0;
    // The English name of the user locale's country in upper case, "" when the system gives none.
    virtual std::string LanguagenameFromOS() = 0;
    virtual Prompts& prompts() = 0;
    // A settings object for a host of that version: it reads the settings now
    // and writes them when the last reference goes.
    virtual std::shared_ptr<c_Setting> NewSetting(double hostVersion) = 0;
    // The user's settings: the toolbar's placement is kept there (section "Bar").
    virtual SettingsStore& settingsStore() = 0;
    // A painter of icon faces for one building of the legacy bars.
    virtual std::unique_ptr<IconFaces> iconFaces() = 0;
    // What the host event sink needs; it outlives every connection.
    virtual XlSinkServices& sinkServices() = 0;
};

// Built-in controls of the host's print commands.
inline constexpr std::int32_t kControlPrint = 4;
inline constexpr std::int32_t kControlQuickPrint = 2521;
inline constexpr std::int32_t kControlPreview = 109;

// The methods callers reach by name act on the library's connection in force:
// this object's own, or, for an object whose connection has ended, the one a
// later object of the library made (with this object's procedures, which are
// the library's). Without one (before the connection, after
// a refusal, while idle, after the disconnection) they do nothing and the
// toggle shows released.
class Connect final : public CommandRunner {
public:
    // `system` outlives the object.
    Connect(AddinSystem& system, Procedures procedures);
    Connect(const Connect&) = delete;
    Connect& operator=(const Connect&) = delete;

    // Checks that the add-in can run in this host, then makes the connection's
    // state and publishes `self`, this object as callers reach it by name, as
    // AddInInst.Object. A refusal shows its message and sets AddInInst.Connect
    // to false; an error shows "OnConnection-Err:" and keeps what was made.
    // A connection while connected ends the earlier one first. Nothing is thrown.
    void AddinInstance_OnConnection(const host::ApplicationPtr& Application, const host::AddInEntryPtr& AddInInst,
                                    const host::LateBoundPtr& self);
    // Saves the toolbar's placement, removes the bars, writes the settings and
    // destroys the state. Reports nothing.
    void AddinInstance_OnDisconnection();

    // Clears AfterPrintPending, then records the print just finished. Errors reach the caller.
    void CallForXLA_WorkbookAfterPrint();
    // Whether the this-sheet toggle shows pressed. Errors reach the caller.
    bool CallForRibbon_GetThisSheetCheckEnabled();
    // 1, 2 or 3 become the print kind; anything else is ignored. lngValue stays as it is.
    void CallForRibbon_PrintOrPreview_onAction(std::int32_t& lngValue);
    // The ribbon's commands. A command's failure is shown to the user; the
    // ribbon always hears success.
    void CallForRibbon_ThisSheetCheck();
    void CallForRibbon_OpenHistory();
    void CallForRibbon_GoToHomePage();
    void CallForRibbon_Setting();
    void CallForRibbon_Help();
    void CallForRibbon_About();

    // "!<ProgID>": the OnAction of every button the add-in makes.
    const std::string& OnActionText() const { return onActionText_; }
    const c_Xl_CB_Print& printSink() const { return printSink_; }
    const c_Xl_CB_DirectPrint& directPrintSink() const { return directPrintSink_; }
    const c_Xl_CB_Preview& previewSink() const { return previewSink_; }
    const c_CB_ThisSheetCheck& thisSheetSink() const { return thisSheetSink_; }
    const c_CB_KEZ& siteSink() const { return siteSink_; }

    void runCommand(Procedures::Command command) override;
    // The connection's state; null while there is none.
    AddinState* state() { return state_.get(); }
    const AddinState* state() const { return state_.get(); }

private:
    // Returns false when a check refused the host.
    bool passesGates(host::Application& application, host::AddInEntry& addInInst);
    void refuse(host::AddInEntry& addInInst, std::string_view message);
    void reportConnectionError();
    // This object's state, or else the library's connection in force; null without one.
    std::shared_ptr<AddinState> connection() const;

    // The legacy menu and toolbar of hosts before 12 (command_bars.cpp).
    void BuildCommandBars();
    void RestoreToolbarState();
    void SaveToolbarState();
    void RemoveCommandBars();
    // The product submenu and toolbar an earlier connection left behind.
    void clearOwnLeftovers(host::CommandBars& bars);
    void unhookSinks();

    AddinSystem& system_;
    Procedures procedures_;
    // Shared with the calls in progress, so that one that leads to the
    // disconnection (a message loop, say) still finds the state until it returns.
    std::shared_ptr<AddinState> state_;
    std::string onActionText_;
    c_CB_ThisSheetCheck thisSheetSink_{*this};
    c_CB_OpenHistory openHistorySink_{*this};
    c_CB_Setting settingSink_{*this};
    c_CB_About aboutSink_{*this};
    c_CB_Help helpSink_{*this};
    c_CB_KEZ siteSink_{*this};
    c_Xl_CB_Print printSink_;
    c_Xl_CB_DirectPrint directPrintSink_;
    c_Xl_CB_Preview previewSink_;
};

// The add-in object for callers that reach it by name, as the host's
// AddInInst.Object: names match without regard to letter case.
class ConnectLateBound final : public host::LateBound {
public:
    explicit ConnectLateBound(std::shared_ptr<Connect> connect) : connect_(std::move(connect)) {}
    host::Value Invoke(const std::string& name, std::vector<host::Value>& args) override;

private:
    std::shared_ptr<Connect> connect_;
};

}  // namespace kq::addin
