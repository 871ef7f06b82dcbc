#include "addin/core/win32/win32_addin_system.h"

#include <optional>
#include <string>

#include "addin/core/texts.h"
#include "addin/core/win32/small_commands_win32.h"
#include "addin/recording/save_history.h"
#include "addin/recording/win32/recorder_system_win32.h"
#include "common/win32/known_folders.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/win32_file_system.h"

namespace kq::addin::win32 {

namespace {

// The settings object with everything it reads from and writes to, released
// together: the settings go first, so their last write still finds the store.
struct SettingWorld {
    kq::win32::RegistrySettingsStore store;
    kq::win32::Win32FileSystem files;
    ActiveWindowPrompts prompts;
    kq::win32::Win32KnownFolders known;
    std::optional<c_Setting> setting;
};

}  // namespace

int ActiveWindowPrompts::message(std::string_view text, std::string_view title, unsigned style) {
    return kq::win32::MessagePrompts(GetActiveWindow()).message(text, title, style);
}

void ActiveWindowPrompts::beep() { MessageBeep(MB_OK); }

std::shared_ptr<c_Setting> Win32AddinSystem::NewSetting(double hostVersion) {
    auto world = std::make_shared<SettingWorld>();
    world->setting.emplace(world->store,
                           HistoryFolderServices{.files = world->files,
                                                 .prompts = world->prompts,
                                                 .knownFolders = world->known,
                                                 .programFolder = kq::win32::thisModuleFolder(),
                                                 .title = GetAppTitle()},
                           hostVersion);
    return std::shared_ptr<c_Setting>(world, &*world->setting);
}

Procedures AddinProcedures() {
    Procedures procedures = CoreProcedures();
    procedures.SaveHistory = [](AddinState& state) {
        std::string versionText;
        recording::win32::Win32RecorderSystem system(GetAppTitle(), GetXlHwnd(state.g_Application), GetOS(versionText));
        recording::SaveHistory(state, system);
    };
    AddSmallCommands(procedures);
    return procedures;
}

}  // namespace kq::addin::win32
