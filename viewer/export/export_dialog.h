#pragma once
// The export dialog `frmExport`, as decisions: when its export button may be
// pressed, what pressing it writes and says, and whether the dialog then
// closes. The window is win32/export_dialog_window.h; the design (in twips)
// is below.

#include <string>

#include "common/file_system.h"
#include "common/form_layout.h"
#include "common/prompts.h"
#include "common/text_codec.h"
#include "viewer/export/history_export.h"

namespace kq::viewer {

struct ExportDialogServices {
    FileSystem& files;
    Prompts& prompts;
    const AnsiCodec& codec;
};

class ExportDialog {
public:
    // `target`: the history to export, as the file list keys it.
    ExportDialog(std::string target, ExportDialogServices services)
        : gstrTargetFileFullPath(std::move(target)), s_(services) {}

    const std::string gstrTargetFileFullPath;

    std::string caption() const;

    // The button goes only with the path of an existing folder in the box and
    // at least one box ticked; a folder that cannot be looked at is none.
    bool exportEnabled(const std::string& folderText, const ExportChoices& choices);

    enum class Closing { closed, staysOpen };
    // The export button. The history and the folder are looked at again, as
    // either may have gone since the dialog opened. A failure says why and
    // leaves the folder as it was; only a complete export is reported as done
    // and closes the dialog.
    Closing exportClicked(const std::string& folderText, const ExportChoices& choices);

private:
    void critical(const std::string& text);

    ExportDialogServices s_;
};

// The design: the client area and every control's place, in twips, on the
// dialog or, for the panel's controls, on the panel.
namespace export_design {
inline constexpr int kClientWidth = 7305;
inline constexpr int kClientHeight = 2910;
inline constexpr TwipsRect panel{240, 240, 6855, 2055};
inline constexpr TwipsRect Label1{0, 0, 1140, 255};
inline constexpr TwipsRect useFolder{1200, 0, 5535, 270};
inline constexpr TwipsRect chkImage{720, 480, 2535, 255};
inline constexpr TwipsRect chkCell{720, 840, 2535, 255};
inline constexpr TwipsRect chkText{720, 1200, 2535, 255};
inline constexpr TwipsRect chkComment{720, 1560, 2535, 255};
inline constexpr TwipsRect cmdExport{4200, 2400, 1455, 375};
inline constexpr TwipsRect cmdCancel{5760, 2400, 1455, 375};
}  // namespace export_design

}  // namespace kq::viewer
