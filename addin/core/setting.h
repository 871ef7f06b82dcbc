#pragma once
// The add-in's settings, held in memory while the add-in is connected: read from
// the settings store when created, written back when released. Dialogs change
// the values in memory only.

#include <string>

#include "common/history_folder.h"
#include "common/settings_store.h"

namespace kq::addin {

class c_Setting {
public:
    // The longest the saved notice stays, in seconds: a longer time is cut to
    // this when the settings are read.
    static constexpr double kMaxProgressTime = 10;

    // `hostVersion` is the leading number of the host's version text.
    c_Setting(SettingsStore& store, HistoryFolderServices services, double hostVersion);
    ~c_Setting();
    c_Setting(const c_Setting&) = delete;
    c_Setting& operator=(const c_Setting&) = delete;

    bool ShowMessageWhenPrintRun() const { return showMessageWhenPrintRun_; }
    void ShowMessageWhenPrintRun(bool value) { showMessageWhenPrintRun_ = value; }
    // Seconds the saved notice stays.
    double ShowProgressTime() const { return showProgressTime_; }
    void ShowProgressTime(double value) { showProgressTime_ = value; }
    bool ShowMessageWhenAdd() const { return showMessageWhenAdd_; }
    void ShowMessageWhenAdd(bool value) { showMessageWhenAdd_ = value; }
    bool ShowMessageXlaError() const { return showMessageXlaError_; }
    void ShowMessageXlaError(bool value) { showMessageXlaError_ = value; }
    // Which prints are recorded, by how they were started.
    bool Surveillance_Print() const { return surveillancePrint_; }
    void Surveillance_Print(bool value) { surveillancePrint_ = value; }
    bool Surveillance_DirectPrint() const { return surveillanceDirectPrint_; }
    void Surveillance_DirectPrint(bool value) { surveillanceDirectPrint_ = value; }
    bool Surveillance_Preview() const { return surveillancePreview_; }
    void Surveillance_Preview(bool value) { surveillancePreview_ = value; }
    bool Surveillance_Unkown() const { return surveillanceUnkown_; }
    void Surveillance_Unkown(bool value) { surveillanceUnkown_ = value; }

    // The history folder to use now (see HistoryFolder::SaveFolder).
    std::string SaveFolder() { return folder_.SaveFolder(); }
    // Takes an existing folder as the history folder (see HistoryFolder::SetFolder).
    void SetFolder(std::string& path) { folder_.SetFolder(path); }
    // The history folder as it stands, and putting it back: a dialog that is
    // cancelled leaves the folder as it found it, also where showing it put
    // the add-in's own folder in place of one that could not be used.
    HistoryFolder::Kept FolderKept() const { return folder_.kept(); }
    void RestoreFolder(HistoryFolder::Kept kept) { folder_.restore(std::move(kept)); }

    // From version 14 on the host tells every kind of print start apart, so prints
    // started any other way are always recorded and the value is not stored.
    bool unknownStartsAlwaysRecorded() const { return hostVersion_ >= 14; }

private:
    void LoadSettings();
    void SaveSettings();

    SettingsStore& store_;
    HistoryFolder folder_;
    double hostVersion_;
    bool showMessageWhenPrintRun_ = true;
    double showProgressTime_ = 2;
    bool showMessageWhenAdd_ = true;
    bool showMessageXlaError_ = true;
    bool surveillancePrint_ = true;
    bool surveillanceDirectPrint_ = true;
    bool surveillancePreview_ = false;
    bool surveillanceUnkown_ = true;
};

}  // namespace kq::addin
