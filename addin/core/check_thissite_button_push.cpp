#include "addin/core/check_thissite_button_push.h"

#include "addin/core/addin_state.h"

namespace kq::addin {

bool CheckThissiteButtonPush(AddinState& state) {
    host::WorksheetPtr sheet;
    bool found = false;
    host::ignoreErrors([&] {
        if (!state.g_Application) return;
        const host::SheetPtr active = state.g_Application->ActiveSheet();
        if (!active) return;
        sheet = active->AsWorksheet();
        found = sheet && state.g_DocPros().Find(sheet) != nullptr;
    });
    if (!found) return false;
    const auto record = state.g_DocPros().Find(sheet);
    return record && !record->Released();
}

}  // namespace kq::addin
