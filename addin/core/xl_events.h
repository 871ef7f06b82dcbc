#pragma once
// The add-in's sink of the host's application events. Loading a workbook's
// sheet watches when it opens and storing them when it is saved is what makes
// a watched sheet known to the recorder; the print scheduling through the
// helper workbook and the toggle refresh join these handlers later.

#include <memory>

#include "host/host.h"

namespace kq::addin {

class c_Xl final : public host::ApplicationEvents {
public:
    // Starts the events, then loads the watches of every workbook already open,
    // as if each had just been opened.
    explicit c_Xl(const host::ApplicationPtr& application);

    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override;
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override;
    void WorkbookOpen(const host::WorkbookPtr& wb) override;
    void NewWorkbook(const host::WorkbookPtr& wb) override;
    void WorkbookActivate(const host::WorkbookPtr& wb) override;
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override;
    void SheetActivate(const host::SheetPtr& sh) override;

private:
    std::unique_ptr<host::EventConnection> mobjXl_;
};

// The one event sink, made by the connection and released at disconnection.
extern std::unique_ptr<c_Xl> g_Xl;

}  // namespace kq::addin
