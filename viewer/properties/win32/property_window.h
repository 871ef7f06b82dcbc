#pragma once
// The property window: a read-only list of label and value rows about a card
// or a history, shown modally over the window that asked for it. F1, when
// let go anywhere in it, opens the help.

#include "common/win32/windows_api.h"

#include <functional>

#include "viewer/properties/property_rows.h"

namespace kq::viewer::win32 {

// Control ids, so that tests and scripts can find each control.
namespace property_ids {
inline constexpr int lstProperty = 1201;
inline constexpr int cmdClose = 1202;
}  // namespace property_ids

// Shows the rows until the window is closed; `help` runs for F1 (the
// viewer's help command, its messages owned by the property window, when empty).
void showPropertyList(HWND owner, const PropertyRows& rows, const std::function<void()>& help = {});

}  // namespace kq::viewer::win32
