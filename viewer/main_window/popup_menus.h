#pragma once
// The viewer's three context menus as data: a history's in the file list, a
// card's in the card bar, and the file list's column chooser. Each is built
// when it is shown, so the chooser's ticks are the view settings of that
// moment; the window layer shows it at the pointer and hands back the id.

#include <array>

#include "common/popup_menu.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// Ids of the history's and the card's menus; 0 is no choice.
enum MenuCommand : int { kMenuNone = 0, kMenuDelete = 1, kMenuProperties = 2, kMenuExport = 3 };
// The chooser's ids are the column switches' numbers; the date column's,
// always ticked and greyed, can never be chosen.
inline constexpr int kColumnMenuDateId = kColumnSwitchCount + 1;

// `enabled`: delete, properties and export, in menu order.
PopupMenu fileMenu(const std::array<bool, 3>& enabled);
PopupMenu cardMenu();
PopupMenu columnMenu(const ViewSettings& view);

}  // namespace kq::viewer
