#include "addin/core/this_sheet_check.h"

#include <variant>

#include "addin/core/addin_state.h"
#include "addin/core/check_thissite_button_push.h"
#include "addin/core/procedures.h"
#include "addin/core/small_commands.h"
#include "addin/core/texts.h"

namespace kq::addin {

namespace {

// A sheet whose used range is one empty cell; also any sheet that cannot tell.
bool nothingToWatch(host::Sheet& sheet) {
    bool nothing = true;
    host::ignoreErrors([&] {
        const host::WorksheetPtr worksheet = sheet.AsWorksheet();
        if (!worksheet) return;
        const host::RangePtr used = worksheet->UsedRange();
        nothing = used->Count() <= 1 && std::holds_alternative<host::Empty>(used->CellValue());
    });
    return nothing;
}

void refreshToggle(AddinState& state, const Procedures& procedures) {
    if (procedures.SetThisSiteCheckButtonPushed) procedures.SetThisSiteCheckButtonPushed(state, false);
}

}  // namespace

void Command_ThisSheetCheck(AddinState& state, const Procedures& procedures, const ThisSheetCheckServices& services) {
    const auto refuse = [&](std::string_view text) {
        services.prompts.message(text, GetAppTitle(), mb::kOkOnly | mb::kIconCritical);
    };
    if (!state.g_Application) return refuse(texts::kNoActiveApplication);
    host::Application& application = *state.g_Application;
    const host::WorkbookPtr book = application.ActiveWorkbook();
    if (!book) return refuse(texts::kNoActiveBook);
    const host::SheetPtr sheet = application.ActiveSheet();
    if (!sheet) return refuse(texts::kNoActiveSheet);
    const host::WindowPtr window = application.ActiveWindow();
    if (window && window->SelectedSheets().size() > 1) return refuse(texts::kSheetsGrouped);
    if (CellBeingEdited(application)) return services.prompts.beep();
    if (nothingToWatch(*sheet)) return refuse(texts::kNothingToWatch);
    const host::WorksheetPtr worksheet = sheet->AsWorksheet();

    if (CheckThissiteButtonPush(state)) {
        const int answer = services.prompts.message(texts::kReleaseQuestion, GetAppTitle(),
                                                    mb::kYesNoCancel | mb::kIconQuestion);
        if (answer == mb::kIdYes) {
            state.g_DocPros().Release(worksheet);
            refreshToggle(state, procedures);
            return;
        }
        if (answer != mb::kIdNo) return;
    }

    const RegistrationExit exit = services.showRegistration(state, book, worksheet);
    // The dialog's settings link and version panel lead on to those windows.
    if (exit == RegistrationExit::openSettings && procedures.Command_Setting) procedures.Command_Setting(state);
    if (exit == RegistrationExit::openAbout && procedures.Command_About) procedures.Command_About(state);
    refreshToggle(state, procedures);
}

}  // namespace kq::addin
