#include "addin/core/win32/small_commands_win32.h"

#include "addin/core/addin_state.h"
#include "addin/core/small_commands.h"
#include "addin/core/texts.h"
#include "addin/core/win32/system_helpers.h"
#include "addin/core/win32/win32_addin_system.h"
#include "addin/dialogs/about_box.h"
#include "addin/dialogs/win32/about_box_win32.h"
#include "addin/dialogs/win32/settings_dialog_win32.h"
#include "addin/recording/save_history.h"
#include "common/win32/shell.h"
#include "common/win32/win32_file_system.h"

namespace kq::addin::win32 {

namespace {

void Command_Setting(AddinState& state) {
    if (!state.g_Application || !state.g_Setting) return;
    // Held here too: a disconnection while the dialog is open lets the state's
    // hold go, and the dialog still cancels into these settings as it closes.
    const std::shared_ptr<c_Setting> setting = state.g_Setting;
    ActiveWindowPrompts prompts;
    ShowUnlessEditing(*state.g_Application, prompts, [&] {
        kq::win32::Win32FileSystem files;
        dialogs::win32::ShowSettingsDialog(GetXlHwnd(state.g_Application), *setting, files, GetAppTitle());
    });
}

void Command_About(AddinState& state) {
    if (!state.g_Application) return;
    ActiveWindowPrompts prompts;
    ShowUnlessEditing(*state.g_Application, prompts, [&] {
        const dialogs::AboutTexts texts =
            dialogs::AboutBoxTexts(GetAppTitle(), recording::LibraryVersionText(), GetAppDay().value);
        dialogs::win32::ShowAboutBox(GetXlHwnd(state.g_Application), texts, kq::win32::ShellOpen);
    });
}

}  // namespace

void AddSmallCommands(Procedures& procedures) {
    procedures.Command_Setting = Command_Setting;
    procedures.Command_About = Command_About;
    procedures.Command_GotoHomePage = [](AddinState&) { kq::win32::ShellOpen(std::string(texts::kHomePage)); };
}

}  // namespace kq::addin::win32
