#pragma once
// The main window's part of the viewer's start.

#include "viewer/shell/viewer_run.h"

namespace kq::viewer::win32 {

// Shows the main window on the run's values and runs the program's messages
// until it closes; the program's exit code.
int ShowHistoryWindow(ViewerRun& run);

}  // namespace kq::viewer::win32
