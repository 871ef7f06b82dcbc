#pragma once
// The viewer's start: the command line read into the run's values, then the
// main window.

#include "common/win32/windows_api.h"

#include <string_view>

#include "viewer/start/viewer_run.h"

namespace kq::viewer::win32 {

// Reads the process's command line as the system gives it (UTF-16, the
// program's path first), so that a folder outside the code page arrives
// whole, into the run's start values. The view settings are read only when
// the line asks for a card, since the card's key depends on the grouping.
void ReadStartValues(std::wstring_view commandLine, ViewerRun& run);

// Runs the viewer on that command line until its main window closes; the
// program's exit code. Nothing thrown leaves it: a failure is told in a message.
int RunViewer(const wchar_t* commandLine);

}  // namespace kq::viewer::win32
