#pragma once
// The viewer's view of the settings: only the history folder, which the add-in
// writes. The viewer never writes the add-in's section.

#include <string>

#include "common/history_folder.h"
#include "common/settings_store.h"

namespace kq::viewer {

class c_Setting {
public:
    c_Setting(SettingsStore& store, HistoryFolderServices services);

    // The history folder to use now (see HistoryFolder::SaveFolder).
    std::string SaveFolder() { return folder_.SaveFolder(); }
    void SetFolder(std::string& path) { folder_.SetFolder(path); }
    // The folder the add-in uses when the user chose none.
    std::string GetDefaultFolder() { return folder_.GetDefaultFolder(); }

private:
    void LoadSetting(SettingsStore& store);

    HistoryFolder folder_;
};

}  // namespace kq::viewer
