#pragma once
// The this-sheet watch command, behind the "印刷監視" toggle of the menu, the
// toolbar and the ribbon: for the active worksheet it registers a new watch,
// edits the one it has, or releases it. It refuses, with a message, when
// there is nothing to watch, and only beeps while the host edits a cell.

#include <functional>

#include "common/prompts.h"
#include "host/host.h"

namespace kq::addin {

class AddinState;
struct Procedures;

// How the registration dialog was left: by OK once the watch was stored, or
// without saving, possibly to open the settings or the about box next.
enum class RegistrationExit { cancelled, registered, openSettings, openAbout };

struct ThisSheetCheckServices {
    Prompts& prompts;
    // Shows the registration dialog for that sheet of that workbook, modally.
    std::function<RegistrationExit(AddinState&, const host::WorkbookPtr&, const host::WorksheetPtr&)> showRegistration;
};

// Runs the command; errors of the host that no step expects reach the caller.
// `procedures` gives the toggle refresh and the settings and about commands
// the dialog may lead to.
void Command_ThisSheetCheck(AddinState& state, const Procedures& procedures, const ThisSheetCheckServices& services);

}  // namespace kq::addin
