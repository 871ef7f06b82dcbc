#include "viewer/export/win32/export_dialog_window.h"

#include <array>

#include "common/text_codec.h"
#include "common/win32/folder_picker_win32.h"
#include "common/win32/form_window.h"
#include "common/win32/message_prompts.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/window_text.h"
#include "viewer/export/export_dialog.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

using namespace kq::win32;
namespace design = export_design;
namespace ids = export_ids;

constexpr DWORD kCheckStyle = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class frmExport final : public Form {
public:
    frmExport(const std::string& target, FileSystem& files, const ExportDialogOptions& options)
        : model_(target, {files, prompts_, systemAnsiCodec()}), useFolder_(files) {
        useFolder_.makeBrowser = options.makeBrowser;
    }

    void show(HWND owner) {
        showModal(owner, wide(model_.caption()), design::kClientWidth, design::kClientHeight);
    }

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    ExportChoices choices() const;
    std::string folderText() const { return windowText(useFolder_.pathBox()); }
    // Run at the opening, at every click of a box and every change of the folder.
    void enableExport();
    void cmdExport_Click();

    // The dialog's messages, owned by it.
    WindowPrompts prompts_{*this};
    ExportDialog model_;
    FolderPickerControl useFolder_;
    Connection folderChanged_;
    std::array<HWND, 4> boxes_{};  // chkImage, chkCell, chkText, chkComment
    HWND cmdExport_ = nullptr;
};

bool frmExport::OnLoad() {
    const HWND panel = createPanel(hwnd(), pixels(design::panel), ids::panel);
    if (!panel) return false;
    const int panelRight = pixels({0, 0, design::panel.width, 0}).right;
    fitToText(addControl(panel, L"STATIC", std::string(texts::kExportFolderLabel), WS_VISIBLE | SS_NOPREFIX,
                         design::Label1, ids::Label1),
              pixels(design::useFolder).left);
    if (!useFolder_.create({.parent = panel,
                            .at = pixels(design::useFolder),
                            .id = ids::useFolder,
                            .font = font(),
                            .PromptCaption = {},
                            .selectAfterBrowse = true})) {
        return false;
    }
    const std::array<std::pair<std::string_view, TwipsRect>, 4> boxes = {{{texts::kExportImages, design::chkImage},
                                                                          {texts::kExportCellTexts, design::chkCell},
                                                                          {texts::kExportShapeTexts, design::chkText},
                                                                          {texts::kExportComments, design::chkComment}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes_[i] = addControl(panel, L"BUTTON", std::string(boxes[i].first), kCheckStyle, boxes[i].second,
                               ids::chkImage + static_cast<int>(i));
        if (!boxes_[i]) return false;
        fitToText(boxes_[i], panelRight);
    }
    SendMessageW(boxes_[0], BM_SETCHECK, BST_CHECKED, 0);
    cmdExport_ = addControl(hwnd(), L"BUTTON", std::string(texts::kExportButton),
                            WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, design::cmdExport, ids::cmdExport);
    if (!addControl(hwnd(), L"BUTTON", std::string(texts::kExportCancel), WS_VISIBLE | WS_TABSTOP, design::cmdCancel,
                    ids::cmdCancel) ||
        !cmdExport_) {
        return false;
    }
    folderChanged_ = useFolder_.Change.connect([this] { enableExport(); });
    enableExport();
    return true;
}

bool frmExport::OnCommand(int id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id >= ids::chkImage && id <= ids::chkComment) {
        enableExport();
        return true;
    }
    switch (id) {
        case ids::cmdExport:
            // Enter reaches here even while the button is greyed.
            if (IsWindowEnabled(cmdExport_)) cmdExport_Click();
            return true;
        case ids::cmdCancel:
            end(IDCANCEL);
            return true;
        default:
            return false;
    }
}

ExportChoices frmExport::choices() const {
    return {ticked(boxes_[0]), ticked(boxes_[1]), ticked(boxes_[2]), ticked(boxes_[3])};
}

void frmExport::enableExport() { EnableWindow(cmdExport_, model_.exportEnabled(folderText(), choices())); }

void frmExport::cmdExport_Click() {
    if (model_.exportClicked(folderText(), choices()) == ExportDialog::Closing::closed) {
        end(IDOK);
        return;
    }
    // What failed may have been the folder: the button says so again.
    enableExport();
    focus(useFolder_.pathBox());
}

}  // namespace

void showExportDialog(HWND owner, const std::string& historyPath, const ExportDialogOptions& options) {
    frmExport form(historyPath, filesOrSystem(options.files), options);
    form.show(owner);
}

}  // namespace kq::viewer::win32
