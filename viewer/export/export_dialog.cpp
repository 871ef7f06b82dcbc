#include "viewer/export/export_dialog.h"

#include "common/runtime_errors.h"
#include "common/texts.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

std::string withoutTrailingSeparator(std::string folder) {
    if (folder.ends_with('\\')) folder.pop_back();
    return folder;
}

}  // namespace

std::string ExportDialog::caption() const {
    std::string text(texts::kTitle);
    text += texts::kExportCaptionSuffix;
    return text;
}

bool ExportDialog::exportEnabled(const std::string& folderText, const ExportChoices& choices) {
    return !folderText.empty() && choices.any() && s_.files.kind(folderText) == PathKind::directory;
}

ExportDialog::Closing ExportDialog::exportClicked(const std::string& folderText, const ExportChoices& choices) {
    if (gstrTargetFileFullPath.empty() || s_.files.kind(gstrTargetFileFullPath) != PathKind::file) {
        std::string text(texts::kExportTargetMissingBefore);
        text += gstrTargetFileFullPath;
        text += texts::kExportTargetMissingAfter;
        critical(text);
        return Closing::staysOpen;
    }
    // The folder may have gone since the button was enabled; without this the
    // files would go to the root of the current drive.
    const std::string folder = withoutTrailingSeparator(folderText);
    if (folder.empty() || s_.files.kind(folder) != PathKind::directory) {
        critical(kq::texts::ErrorMessage(runtime_errors::kPathNotFound,
                                         runtime_errors::description(runtime_errors::kPathNotFound)));
        return Closing::staysOpen;
    }
    const ExportOutcome outcome = exportHistory(s_.files, s_.codec, gstrTargetFileFullPath, folder, choices);
    if (outcome.failure) {
        critical(kq::texts::ErrorMessage(outcome.failure->number, outcome.failure->description));
        return Closing::staysOpen;
    }
    s_.prompts.message(texts::kExported, texts::kTitle, mb::kOkOnly | mb::kIconInformation);
    return Closing::closed;
}

void ExportDialog::critical(const std::string& text) {
    s_.prompts.message(text, texts::kTitle, mb::kOkOnly | mb::kIconCritical);
}

}  // namespace kq::viewer
