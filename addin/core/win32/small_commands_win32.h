#pragma once
// The small commands on Windows: the settings dialog and the about box owned
// by the host's main window, and the maker's home page opened by the shell.

#include "addin/core/procedures.h"

namespace kq::addin::win32 {

// Fills in Command_Setting, Command_About and Command_GotoHomePage.
void AddSmallCommands(Procedures& procedures);

}  // namespace kq::addin::win32
