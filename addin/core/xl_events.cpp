#include "addin/core/xl_events.h"

#include "addin/core/doc_pros.h"

namespace kq::addin {

std::unique_ptr<c_Xl> g_Xl;

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

c_Xl::c_Xl(const host::ApplicationPtr& application) : mobjXl_(application->Advise(*this)) {
    for (const host::WorkbookPtr& book : application->Workbooks()) WorkbookOpen(book);
}

void c_Xl::WorkbookBeforePrint(const host::WorkbookPtr&) {}

void c_Xl::WorkbookBeforeSave(const host::WorkbookPtr& wb) {
    quietly([&] { g_DocPros().SaveToDocProps(wb, nullptr); });
}

void c_Xl::WorkbookOpen(const host::WorkbookPtr& wb) {
    quietly([&] { g_DocPros().LoadFromDocProps(wb); });
}

void c_Xl::NewWorkbook(const host::WorkbookPtr&) {}
void c_Xl::WorkbookActivate(const host::WorkbookPtr&) {}
void c_Xl::WindowActivate(const host::WorkbookPtr&, const host::WindowPtr&) {}
void c_Xl::WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) {}
void c_Xl::SheetActivate(const host::SheetPtr&) {}

}  // namespace kq::addin
