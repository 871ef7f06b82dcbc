#include "viewer/main_window/setting.h"

#include <utility>

namespace kq::viewer {

c_Setting::c_Setting(SettingsStore& store, HistoryFolderServices services) : folder_(std::move(services)) {
    LoadSetting(store);
}

void c_Setting::LoadSetting(SettingsStore& store) { folder_.load(store, DefaultFolderLookup::whenNoneStored); }

}  // namespace kq::viewer
