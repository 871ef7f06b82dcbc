#pragma once
// The add-in's sink of the host's application events. Loading a workbook's
// sheet watches when it opens and storing them when it is saved is what makes
// a watched sheet known to the recorder; the print scheduling through the
// helper workbook and the toggle refresh join these handlers later.

#include <memory>

#include "host/host.h"

namespace kq::addin {

class AddinState;

class c_Xl final : public host::ApplicationEvents {
public:
    // Starts the events of the state's host, then loads the watches of every
    // workbook already open, as if each had just been opened. `state` outlives
    // the sink.
    explicit c_Xl(AddinState& state);

    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override;
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override;
    void WorkbookOpen(const host::WorkbookPtr& wb) override;
    void NewWorkbook(const host::WorkbookPtr& wb) override;
    void WorkbookActivate(const host::WorkbookPtr& wb) override;
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void SheetActivate(const host::SheetPtr& sh) override;

private:
    void refreshToggle();

    AddinState& state_;
    std::unique_ptr<host::EventConnection> mobjXl_;
};

}  // namespace kq::addin
