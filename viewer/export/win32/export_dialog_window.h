#pragma once
// The export dialog as a window: the folder picker, the four boxes of what
// goes out, Export and Cancel. What it decides is the model's
// (viewer/export/export_dialog.h).

#include "common/win32/windows_api.h"

#include <functional>
#include <memory>
#include <string>

#include "common/file_system.h"
#include "common/folder_picker.h"

namespace kq::viewer::win32 {

// Control ids, so that tests can find each control; the folder picker's parts
// take the four ids after its own.
namespace export_ids {
inline constexpr int panel = 1001;
inline constexpr int Label1 = 1002;
inline constexpr int useFolder = 1010;
inline constexpr int chkImage = 1020;
inline constexpr int chkCell = 1021;
inline constexpr int chkText = 1022;
inline constexpr int chkComment = 1023;
inline constexpr int cmdExport = IDOK;
inline constexpr int cmdCancel = IDCANCEL;
}  // namespace export_ids

struct ExportDialogOptions {
    // The files it reads and writes; the system's when null.
    FileSystem* files = nullptr;
    // The browser the picker opens; the shell's when empty.
    std::function<std::unique_ptr<FolderBrowseDialog>(HWND owner)> makeBrowser{};
};

// Shows the dialog modally, owned by `owner` (the main window), for the
// history at `historyPath` (the file list's key of the row); returns once it
// is closed, by Cancel or after a complete export.
void showExportDialog(HWND owner, const std::string& historyPath, const ExportDialogOptions& options = {});

}  // namespace kq::viewer::win32
