#include "viewer/shell/setting.h"

#include <optional>
#include <utility>

#include "common/setting_names.h"

namespace kq::viewer {

c_Setting::c_Setting(SettingsStore& store, HistoryFolderServices services) : folder_(std::move(services)) {
    LoadSetting(store);
}

void c_Setting::LoadSetting(SettingsStore& store) {
    std::optional<std::string> stored = store.read(setting_names::kSection, setting_names::kFolder);
    if (stored && isUsableFolderText(*stored)) {
        folder_.load(std::move(*stored));
    } else {
        folder_.load(folder_.GetDefaultFolder());
    }
}

}  // namespace kq::viewer
