#include "viewer/shell/setting.h"

#include <optional>
#include <string_view>
#include <utility>

namespace kq::viewer {

namespace {

namespace texts {
constexpr std::string_view kSection = "Setting";
constexpr std::string_view kFolder = "Folder";
}  // namespace texts

}  // namespace

c_Setting::c_Setting(SettingsStore& store, HistoryFolderServices services) : folder_(std::move(services)) {
    LoadSetting(store);
}

void c_Setting::LoadSetting(SettingsStore& store) {
    std::optional<std::string> stored = store.read(texts::kSection, texts::kFolder);
    if (stored && isUsableFolderText(*stored)) {
        folder_.load(std::move(*stored));
    } else {
        folder_.load(folder_.GetDefaultFolder());
    }
}

}  // namespace kq::viewer
