#include "addin/core/win32/win32_addin_system.h"

#include <optional>
#include <string>

#include "addin/core/texts.h"
#include "addin/core/this_sheet_check.h"
#include "addin/core/win32/icon_faces_win32.h"
#include "addin/core/win32/small_commands_win32.h"
#include "addin/core/win32/system_services.h"
#include "addin/dialogs/win32/add_check_sheet_win32.h"
#include "addin/recording/save_history.h"
#include "common/win32/msgbox_win32.h"
#include "addin/recording/win32/recorder_system_win32.h"
#include "common/win32/known_folders.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/shell.h"
#include "common/win32/win32_file_system.h"

namespace kq::addin::win32 {

namespace {

// The helper workbook among the library's resources.
constexpr const wchar_t* kHelperWorkbookType = L"XLA";
constexpr int kHelperWorkbookId = 10;

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

std::unique_ptr<IconFaces> Win32AddinSystem::iconFaces() { return std::make_unique<Win32IconFaces>(); }

namespace {

// The this-sheet command with its messages owned by the active window and the
// registration dialog owned by the host's main window. `others` are the
// procedures its dialog leads on to, and the toggle it refreshes.
std::function<void(AddinState&)> thisSheetCheck(Procedures others) {
    return [others = std::move(others)](AddinState& state) {
        ActiveWindowPrompts prompts;
        const auto registration = [&others](AddinState& s, const host::WorkbookPtr& book,
                                            const host::WorksheetPtr& sheet) {
            const auto run = [&s](const std::function<void(AddinState&)>& procedure) {
                return [&s, procedure] {
                    if (procedure) procedure(s);
                };
            };
            kq::win32::RegistrySettingsStore lists;
            return dialogs::win32::ShowAddCheckSheet(s, book, sheet, lists,
                                                     {.owner = GetXlHwnd(s.g_Application),
                                                      .updated = GetAppDay(),
                                                      .help = run(others.Command_Help),
                                                      .homePage = run(others.Command_GotoHomePage)});
        };
        Command_ThisSheetCheck(state, others, {prompts, registration});
    };
}

}  // namespace

std::vector<std::uint8_t> Win32SinkServices::HelperWorkbookFile() {
    const auto bytes = kq::win32::moduleResource(kHelperWorkbookType, MAKEINTRESOURCEW(kHelperWorkbookId));
    if (!bytes) return {};
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes->data());
    return std::vector<std::uint8_t>(first, first + bytes->size());
}

std::int32_t Win32SinkServices::MsgBoxEx(const host::ApplicationPtr& host, const MsgBoxExArgs& args) {
    return kq::win32::MsgBoxEx(GetXlHwnd(host), args);
}

// A handle is 32 bits wide on every Windows, also in a 64-bit process.
std::int32_t Win32CommandServices::HostWindowHandle(const host::ApplicationPtr& host) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(GetXlHwnd(host)));
}

std::string Win32CommandServices::LibraryFolder() { return kq::win32::thisModuleFolder(); }

std::optional<SystemFailure> Win32CommandServices::StartProcess(const std::string& program,
                                                                const std::string& commandLine) {
    return win32::StartProgram(program, commandLine);
}

Procedures AddinProcedures() {
    Procedures procedures = CoreProcedures();
    procedures.Command_OpenHistory = [](AddinState& state) {
        Win32CommandServices services;
        Command_OpenHistory(state, services);
    };
    procedures.Command_Help = [](AddinState&) {
        ActiveWindowPrompts prompts;
        kq::win32::ShellHelpServices services(prompts);
        Command_Help(services, GetAppTitle());
    };
    procedures.SaveHistory = [](AddinState& state) {
        std::string versionText;
        recording::win32::Win32RecorderSystem system(GetAppTitle(), GetXlHwnd(state.g_Application), GetOS(versionText));
        recording::SaveHistory(state, system);
    };
    AddSmallCommands(procedures);
    // Last: it leads on to the procedures set above.
    procedures.Command_ThisSheetCheck = thisSheetCheck(procedures);
    return procedures;
}

}  // namespace kq::addin::win32
