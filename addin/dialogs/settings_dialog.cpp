#include "addin/dialogs/settings_dialog.h"

#include "addin/core/texts.h"
#include "common/history_folder.h"

namespace kq::addin::dialogs {

namespace {

// Prefix of the file made to learn whether history files can be written.
constexpr std::string_view kProbePrefix = "kqw";

}  // namespace

std::string SettingsDialog::caption() const { return s_.title + std::string(texts::kSettingsCaption); }

SettingsChoices SettingsDialog::load() {
    keptFolder_ = setting_.FolderKept();
    SettingsChoices shown;
    shown.folder = setting_.SaveFolder();
    shown.ShowMessageWhenPrintRun = setting_.ShowMessageWhenPrintRun();
    shown.ShowProgressTime = setting_.ShowProgressTime();
    shown.ShowMessageWhenAdd = setting_.ShowMessageWhenAdd();
    shown.ShowMessageXlaError = setting_.ShowMessageXlaError();
    shown.Surveillance_DirectPrint = setting_.Surveillance_DirectPrint();
    shown.Surveillance_Preview = setting_.Surveillance_Preview();
    shown.Surveillance_Unkown = setting_.Surveillance_Unkown();
    return shown;
}

bool SettingsDialog::locked(int index) const {
    return index == start_box::kPrint || (index == start_box::kUnknown && setting_.unknownStartsAlwaysRecorded());
}

bool SettingsDialog::untickRefused(int index) {
    if (!locked(index)) return false;
    s_.prompts.message(index == start_box::kPrint ? texts::kCannotUntick : texts::kCannotUntickOnThisHost, s_.title,
                       mb::kOkOnly | mb::kIconExclamation);
    return true;
}

std::optional<std::string> SettingsDialog::folderProblem(const std::string& folder) {
    if (folder.empty()) return std::string(texts::kFolderEmpty);
    if (!isUsableFolderText(folder)) return std::string(texts::kFolderNotAbsolute);
    if (s_.files.kind(folder) != PathKind::directory) {
        return std::string(texts::kFolderMissing) + folder + std::string(texts::kFolderMissingEnd);
    }
    // A folder that exists may still refuse files: try one.
    const std::optional<std::string> probe = s_.files.createUniqueFile(folder + "\\", std::string(kProbePrefix));
    if (!probe) return std::string(texts::kFolderNotWritable) + folder + std::string(texts::kFolderNotWritableEnd);
    s_.files.removeFile(*probe);
    return std::nullopt;
}

void SettingsDialog::refuse(const std::string& message) {
    s_.prompts.message(message, s_.title, mb::kOkOnly | mb::kIconExclamation);
}

SettingsDialog::Closing SettingsDialog::ok(const SettingsChoices& chosen) {
    std::string folder = chosen.folder;
    if (folder.ends_with('\\')) folder.pop_back();
    if (const std::optional<std::string> problem = folderProblem(folder)) {
        refuse(*problem);
        return Closing::folderRefused;
    }
    setting_.SetFolder(folder);
    setting_.ShowMessageWhenPrintRun(chosen.ShowMessageWhenPrintRun);
    setting_.ShowProgressTime(chosen.ShowProgressTime);
    setting_.ShowMessageWhenAdd(chosen.ShowMessageWhenAdd);
    setting_.ShowMessageXlaError(chosen.ShowMessageXlaError);
    setting_.Surveillance_DirectPrint(chosen.Surveillance_DirectPrint);
    setting_.Surveillance_Preview(chosen.Surveillance_Preview);
    // A locked box was ticked again whenever the user unticked it.
    setting_.Surveillance_Unkown(chosen.Surveillance_Unkown || locked(start_box::kUnknown));
    keptFolder_.reset();
    return Closing::closed;
}

void SettingsDialog::cancel() {
    if (keptFolder_) setting_.RestoreFolder(*keptFolder_);
    keptFolder_.reset();
}

}  // namespace kq::addin::dialogs
