#include "addin/core/xl_events.h"

#include "addin/core/addin_state.h"
#include "addin/core/command_bars.h"

namespace kq::addin {

namespace {

// An event handler's failure never reaches the host: its print, save or open goes on.
template <typename Step>
void quietly(Step step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

c_Xl::c_Xl(AddinState& state) : state_(state), mobjXl_(state.g_Application->Advise(*this)) {
    for (const host::WorkbookPtr& book : state.g_Application->Workbooks()) WorkbookOpen(book);
}

void c_Xl::WorkbookBeforePrint(const host::WorkbookPtr&) {}

void c_Xl::WorkbookBeforeSave(const host::WorkbookPtr& wb) {
    quietly([&] { state_.g_DocPros().SaveToDocProps(wb, nullptr); });
}

void c_Xl::WorkbookOpen(const host::WorkbookPtr& wb) {
    quietly([&] { state_.g_DocPros().LoadFromDocProps(wb); });
    refreshToggle();
}

void c_Xl::NewWorkbook(const host::WorkbookPtr&) { refreshToggle(); }
void c_Xl::WorkbookActivate(const host::WorkbookPtr&) { refreshToggle(); }
void c_Xl::WindowActivate(const host::WorkbookPtr&, const host::WindowPtr&) { refreshToggle(); }
void c_Xl::WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) { refreshToggle(); }
void c_Xl::SheetActivate(const host::SheetPtr&) { refreshToggle(); }

// The this-sheet buttons show pressed while the active sheet is watched.
void c_Xl::refreshToggle() {
    quietly([&] { SetThisSiteCheckButtonPushed(state_, false); });
}

}  // namespace kq::addin
