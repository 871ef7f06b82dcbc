#pragma once
// The add-in's sink of the host's application events. A print of a watched
// sheet is judged by the command that started it and the settings; one to be
// recorded gets the helper workbook opened and its after-print macro
// scheduled with the host's OnTime, which runs it once the print is over.
// Opening a workbook loads its sheet watches, saving stores them, and every
// change of the active workbook, window or sheet refreshes the this-sheet
// toggle.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/msgbox_ex.h"
#include "common/clock.h"
#include "common/file_system.h"
#include "common/prompts.h"
#include "host/host.h"

namespace kq::addin {

class AddinState;

// What the sink needs of the system it runs on.
class XlSinkServices {
public:
    virtual ~XlSinkServices() = default;
    // The helper workbook file as the library carries it; empty when it cannot be read.
    virtual std::vector<std::uint8_t> HelperWorkbookFile() = 0;
    // Where the helper workbook is written out, and who tells of a temp folder that cannot be used.
    virtual FileSystem& files() = 0;
    virtual Prompts& prompts() = 0;
    virtual const Clock& clock() = 0;
    // The add-in's own message box, over the host's main window.
    virtual std::int32_t MsgBoxEx(const host::ApplicationPtr& host, const MsgBoxExArgs& args) = 0;
};

// Whether a print started by that command is recorded under these settings
// (see print_kind in addin_state.h).
bool PrintIsRecorded(std::int32_t printCommandKind, bool surveillanceDirectPrint, bool surveillancePreview,
                     bool surveillanceUnkown);

// A scheduled after-print call that has not come within this time (in days,
// as OLE dates count) was lost: the next print schedules again.
inline constexpr double kPendingGoesStale = 1.0 / (24 * 60);

class c_Xl final : public host::ApplicationEvents {
public:
    using ToggleRefresh = std::function<void(AddinState&)>;

    // Starts the events of the state's host, then loads the watches of every
    // workbook already open, as if each had just been opened. `state` and
    // `services` outlive the sink; `refresh` sets the this-sheet toggle from
    // the active sheet (nothing when empty).
    c_Xl(AddinState& state, XlSinkServices& services, ToggleRefresh refresh);

    // No handler lets a failure reach the host, and none cancels.
    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override;
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override;
    void WorkbookOpen(const host::WorkbookPtr& wb) override;
    void NewWorkbook(const host::WorkbookPtr& wb) override;
    void WorkbookActivate(const host::WorkbookPtr& wb) override;
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void SheetActivate(const host::SheetPtr& sh) override;

private:
    // Whether a selected worksheet of the active window is watched.
    bool SelectedSheetIsWatched();
    // True while an after-print call is scheduled and not yet lost.
    bool StillPending(double now) const;
    // The helper workbook, written out and opened when it is not open yet;
    // empty when it cannot be had.
    host::WorkbookPtr OpenHelperWorkbook();
    void WriteAndOpenHelperWorkbook();
    void ReportHelperWorkbookMissing();
    void ScheduleAfterPrint(double now);
    void RefreshToggle();

    AddinState& state_;
    XlSinkServices& services_;
    ToggleRefresh refresh_;
    // The helper-workbook message is shown once in a row of failures.
    bool messageShown_ = false;
    // When the pending after-print call was scheduled (an OLE date).
    double pendingSince_ = 0;
    std::unique_ptr<host::EventConnection> mobjXl_;
};

}  // namespace kq::addin
