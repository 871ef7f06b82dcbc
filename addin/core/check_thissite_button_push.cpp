#include "addin/core/check_thissite_button_push.h"

#include "addin/core/doc_pros.h"
#include "addin/core/globals.h"

namespace kq::addin {

bool CheckThissiteButtonPush() {
    host::WorksheetPtr sheet;
    bool found = false;
    host::ignoreErrors([&] {
        if (!g_Application) return;
        const host::SheetPtr active = g_Application->ActiveSheet();
        if (!active) return;
        sheet = active->AsWorksheet();
        found = sheet && g_DocPros().Find(sheet) != nullptr;
    });
    if (!found) return false;
    const auto record = g_DocPros().Find(sheet);
    return record && !record->Released();
}

}  // namespace kq::addin
