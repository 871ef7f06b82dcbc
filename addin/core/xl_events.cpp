#include "addin/core/xl_events.h"

#include <cmath>
#include <utility>

#include "addin/core/addin_state.h"
#include "addin/core/texts.h"
#include "common/temp_paths.h"

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

std::string helperWorkbookName() { return std::string(texts::kHelperWorkbook); }

}  // namespace

bool PrintIsRecorded(std::int32_t printCommandKind, bool surveillanceDirectPrint, bool surveillancePreview,
                     bool surveillanceUnkown) {
    switch (printCommandKind) {
        case print_kind::kOther: return surveillanceUnkown;
        case print_kind::kPrint: return true;
        case print_kind::kQuickPrint: return surveillanceDirectPrint;
        case print_kind::kPreview: return surveillancePreview;
        default: return false;
    }
}

c_Xl::c_Xl(AddinState& state, XlSinkServices& services, ToggleRefresh refresh)
    : state_(state), services_(services), refresh_(std::move(refresh)), mobjXl_(state.g_Application->Advise(*this)) {
    for (const host::WorkbookPtr& book : state.g_Application->Workbooks()) WorkbookOpen(book);
}

// The workbook printed is not asked: what counts is what the user selected.
void c_Xl::WorkbookBeforePrint(const host::WorkbookPtr&) {
    quietly([&] {
        if (!state_.g_Setting || !SelectedSheetIsWatched()) return;
        const c_Setting& setting = *state_.g_Setting;
        const bool recorded = PrintIsRecorded(state_.PrintCommandKind, setting.Surveillance_DirectPrint(),
                                              setting.Surveillance_Preview(), setting.Surveillance_Unkown());
        state_.PrintCommandKind = print_kind::kOther;
        const double now = vb::ToOleDate(services_.clock().now()).value_or(0);
        if (!recorded || StillPending(now)) return;

        state_.AfterPrintPending = true;
        pendingSince_ = now;
        if (!OpenHelperWorkbook()) {
            ReportHelperWorkbookMissing();
            state_.AfterPrintPending = false;
            return;
        }
        messageShown_ = false;
        ScheduleAfterPrint(now);
    });
}

// Sheets that are no worksheets (chart sheets) are passed over, so that one
// of them among the selected sheets does not hide a watched worksheet.
bool c_Xl::SelectedSheetIsWatched() {
    const host::WindowPtr window = state_.g_Application->ActiveWindow();
    if (!window) return false;
    for (const host::SheetPtr& sheet : window->SelectedSheets()) {
        const host::WorksheetPtr worksheet = sheet ? sheet->AsWorksheet() : nullptr;
        if (worksheet && state_.g_DocPros().Find(worksheet)) return true;
    }
    return false;
}

// A call scheduled long ago that never came (the host dropped it, or the
// macro failed before it reached the add-in) must not keep every later print
// from being recorded; a clock set back counts the same way.
bool c_Xl::StillPending(double now) const {
    return state_.AfterPrintPending && std::abs(now - pendingSince_) <= kPendingGoesStale;
}

// Every failure on the way is passed over: whether the workbook is open in
// the end is all that counts.
host::WorkbookPtr c_Xl::OpenHelperWorkbook() {
    host::Application& application = *state_.g_Application;
    host::WorkbookPtr book;
    host::ignoreErrors([&] { book = application.FindWorkbook(helperWorkbookName()); });
    if (book) return book;
    quietly([&] { WriteAndOpenHelperWorkbook(); });
    host::ignoreErrors([&] { book = application.FindWorkbook(helperWorkbookName()); });
    return book;
}

// The host reads the file whole when it opens it, so it is deleted at once;
// a file that could not be written whole is never opened.
void c_Xl::WriteAndOpenHelperWorkbook() {
    const std::vector<std::uint8_t> bytes = services_.HelperWorkbookFile();
    if (bytes.empty()) return;
    TempPaths temp(services_.files(), services_.prompts(), GetAppTitle());
    const std::string path = temp.GetTempFileFullpath(texts::kTempPrefix, texts::kHelperWorkbook);
    if (path.empty()) return;
    struct RemoveWhenDone {
        FileSystem& files;
        const std::string& path;
        ~RemoveWhenDone() { files.removeFile(path); }
    } remove{services_.files(), path};
    {
        const std::unique_ptr<ByteSink> sink = services_.files().createNew(path);
        if (!sink || !sink->write(bytes.data(), bytes.size())) return;
    }
    state_.g_Application->OpenWorkbook(path, true);
}

void c_Xl::ReportHelperWorkbookMissing() {
    if (messageShown_) return;
    messageShown_ = true;
    c_Setting& setting = *state_.g_Setting;
    if (!setting.ShowMessageXlaError()) return;
    const std::string title = GetAppTitle();
    const std::int32_t result =
        services_.MsgBoxEx(state_.g_Application, MsgBoxExArgs{.Prompt = texts::XlaErrorMessage(title),
                                                              .Buttons = msgbox::kWarning | msgbox::kTopmost,
                                                              .Title = title,
                                                              .ShowCheck = true,
                                                              .CheckValue = true,
                                                              .CheckCaption = std::string(texts::kShowNextTime)});
    // Unticked, or closed by the close box, which never reports the tick.
    if ((result & msgbox::kChecked) == 0) setting.ShowMessageXlaError(false);
}

// A host that refuses the schedule would otherwise leave the print pending
// for good, and no later print would be recorded.
void c_Xl::ScheduleAfterPrint(double now) {
    try {
        state_.g_Application->OnTime(now, std::string(texts::kAfterPrintMacro));
    } catch (...) {
        state_.AfterPrintPending = false;
    }
}

// Any other failure ends the store and the save goes on, unsaid.
void c_Xl::WorkbookBeforeSave(const host::WorkbookPtr& wb) {
    quietly([&] {
        try {
            state_.g_DocPros().SaveToDocProps(wb, nullptr);
        } catch (const WatchNotStored& e) {
            services_.prompts().message(texts::WithName(e.what(), e.sheetName()), GetAppTitle(),
                                        mb::kOkOnly | mb::kIconExclamation);
        }
    });
}

void c_Xl::WorkbookOpen(const host::WorkbookPtr& wb) {
    quietly([&] { state_.g_DocPros().LoadFromDocProps(wb); });
    RefreshToggle();
}

void c_Xl::NewWorkbook(const host::WorkbookPtr&) { RefreshToggle(); }
void c_Xl::WorkbookActivate(const host::WorkbookPtr&) { RefreshToggle(); }
void c_Xl::WindowActivate(const host::WorkbookPtr&, const host::WindowPtr&) { RefreshToggle(); }
void c_Xl::WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) { RefreshToggle(); }
void c_Xl::SheetActivate(const host::SheetPtr&) { RefreshToggle(); }

void c_Xl::RefreshToggle() {
    if (refresh_) quietly([&] { refresh_(state_); });
}

}  // namespace kq::addin
