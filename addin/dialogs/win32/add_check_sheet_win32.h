#pragma once
// The sheet registration dialog as a real window: modal, owned by the host's
// main window, hidden while the host's range input box is up.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>

#include "addin/core/addin_state.h"
#include "addin/core/this_sheet_check.h"
#include "common/settings_store.h"
#include "host/host.h"

namespace kq::addin::dialogs::win32 {

// Control ids, so that a driver can find every control; the parts of the
// compound controls follow their control's id (see their headers).
namespace add_check_sheet_ids {
inline constexpr int kCategory = 1010;
inline constexpr int kSaveTypeAutomatic = 1020;
inline constexpr int kSaveTypeFixed = 1021;
inline constexpr int kSaveRange = 1030;
inline constexpr int kSettingImage = 1040;
inline constexpr int kSettingLink = 1041;
inline constexpr int kStatusBar = 1050;
inline constexpr int kFirstStatic = 1100;
inline constexpr int kTitles = 2000;
}  // namespace add_check_sheet_ids

// What the dialog needs of the add-in around it.
struct RegistrationWindowServices {
    HWND owner = nullptr;      // the host's main window, or none
    host::Date updated{};      // when the add-in's file was written, for the status bar
    std::function<void()> help;
    std::function<void()> homePage;
};

// Shows the dialog for that sheet of that workbook and gives how it was left.
// `lists` keeps the remembered categories and titles (the user's registry).
RegistrationExit ShowAddCheckSheet(AddinState& state, const host::WorkbookPtr& book, const host::WorksheetPtr& sheet,
                                   SettingsStore& lists, const RegistrationWindowServices& services);

}  // namespace kq::addin::dialogs::win32
