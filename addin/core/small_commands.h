#pragma once
// The small commands of the menu, toolbar and ribbon that open a window of
// the add-in (its settings, its about box) or the maker's home page.

#include <functional>

#include "common/prompts.h"
#include "host/host.h"

namespace kq::addin {

// Whether the user is editing a cell: the host disables its built-in control
// 18 meanwhile. A control that cannot be found or read counts as editing.
bool CellBeingEdited(host::Application& application);

// Command_Setting and Command_About: `show` opens the window unless a cell is
// being edited, when the command only beeps. What `show` throws goes to the
// caller (the forwarding methods report it).
void ShowUnlessEditing(host::Application& application, Prompts& prompts, const std::function<void()>& show);

}  // namespace kq::addin
