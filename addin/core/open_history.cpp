#include "addin/core/open_history.h"

#include "addin/core/addin_state.h"
#include "addin/core/library_file.h"
#include "addin/core/texts.h"

namespace kq::addin {

namespace {

// The watch of the active sheet, whether released or not.
void takeActiveWatch(AddinState& state, ViewerStartItems& items) {
    host::ignoreErrors([&] {
        const host::SheetPtr active = state.g_Application->ActiveSheet();
        const host::WorksheetPtr sheet = active ? active->AsWorksheet() : nullptr;
        const auto record = sheet ? state.g_DocPros().Find(sheet) : nullptr;
        if (!record) return;
        items.ShowId = record->SheetId() + "_" + record->VersionId();
        items.ShowCategory = record->Category();
    });
}

}  // namespace

std::string ViewerCommandLine(std::string_view program, const ViewerStartItems& items) {
    std::string line = "\"";
    line += program;
    line += "\" ParentHwnd=";
    line += std::to_string(items.ParentHwnd);
    line += "\tParentWindowMaximized=";
    line += items.ParentWindowMaximized ? "1" : "0";
    line += "\tSaveFolder=";
    line += items.SaveFolder;
    line += "\tShowId=";
    line += items.ShowId;
    line += "\tShowCategory=";
    line += items.ShowCategory;
    return line;
}

void Command_OpenHistory(AddinState& state, ViewerStartServices& services) {
    ViewerStartItems items;
    takeActiveWatch(state, items);
    host::ignoreErrors([&] { items.ParentWindowMaximized = state.g_Application->WindowState() == host::xlMaximized; });
    // The folder may be created here, or replaced after its own message.
    if (state.g_Setting) items.SaveFolder = state.g_Setting->SaveFolder();

    const std::string program = FileInFolder(services.LibraryFolder(), texts::kViewerFile);
    // Without the host's window the viewer still starts, in a place of its own.
    host::ignoreErrors([&] { items.ParentHwnd = services.HostWindowHandle(state.g_Application); });
    const std::optional<SystemFailure> failure = services.StartProcess(program, ViewerCommandLine(program, items));
    if (!failure) return;
    services.prompts().message(texts::ErrorMessage(failure->number, failure->description), GetAppTitle(),
                               mb::kOkOnly | mb::kIconCritical);
}

}  // namespace kq::addin
