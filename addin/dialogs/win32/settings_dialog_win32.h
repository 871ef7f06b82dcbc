#pragma once
// The settings dialog as a window: the page list on the left, the two pages
// ("基本設定" and "印刷開始の判定") in one frame's place, OK and Cancel. What it
// decides is the model's (settings_dialog.h).

#include "common/win32/windows_api.h"

#include <string>

#include "addin/core/setting.h"
#include "common/file_system.h"

namespace kq::addin::dialogs::win32 {

// Control ids, so that tests and scripts can find each control; the parts of
// the folder picker and the numeric box take the four ids after theirs.
namespace settings_ids {
inline constexpr int lstMenu = 1001;
inline constexpr int kFirstPage = 1010;   // page i is kFirstPage + i
inline constexpr int kFirstFrame = 1020;  // its frame kFirstFrame + i
inline constexpr int Label3 = 1030;
inline constexpr int useFolderBrowser = 1040;
inline constexpr int chkShowMessageWhenPrintRun = 1050;
inline constexpr int Label1 = 1051;
inline constexpr int txtShowProgressTime = 1060;
inline constexpr int chkShowMessageWhenAdd = 1070;
inline constexpr int chkShowMessageXlaError = 1071;
inline constexpr int kFirstSurveillance = 1080;  // chkSurveillance(i) is kFirstSurveillance + i
inline constexpr int Label4 = 1090;
}  // namespace settings_ids

// Shows the dialog modally, owned by `owner` (the host's main window, null
// for none), over the settings object; returns once it is closed. Its
// messages carry `title`, and its caption starts with it.
void ShowSettingsDialog(HWND owner, c_Setting& setting, FileSystem& files, const std::string& title);

}  // namespace kq::addin::dialogs::win32
