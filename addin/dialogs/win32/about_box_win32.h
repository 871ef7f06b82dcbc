#pragma once
// The about box as a window: the product, its version and build day, the
// maker's home page as a link beside the logo, OK. What it shows is the model's (about_box.h).

#include "common/win32/windows_api.h"

#include <functional>
#include <string>

#include "addin/dialogs/about_box.h"

namespace kq::addin::dialogs::win32 {

// Control ids, so that tests and scripts can find each control.
namespace about_ids {
inline constexpr int lblVersion = 1101;
inline constexpr int lblDay = 1102;
inline constexpr int Picture1 = 1103;
inline constexpr int lblURL = 1104;
inline constexpr int Image2 = 1105;
}  // namespace about_ids

// Shows the box modally, owned by `owner` (the host's main window, null for
// none); a click on the address hands it to `openAddress` (the shell's open).
void ShowAboutBox(HWND owner, const AboutTexts& texts, const std::function<void(const std::string&)>& openAddress);

}  // namespace kq::addin::dialogs::win32
