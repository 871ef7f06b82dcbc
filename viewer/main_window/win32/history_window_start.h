#pragma once
// The main window's part of the viewer's start.

#include "viewer/start/viewer_run.h"
#include "viewer/start/win32/instance_window.h"

namespace kq::viewer::win32 {

// Shows the main window on the run's values and runs the program's messages
// until it closes; the program's exit code. Lines that later starts hand to
// `receiver` go to the window while it is open; the receiver goes when the
// window starts to close.
int ShowHistoryWindow(ViewerRun& run, InstanceWindow* receiver = nullptr);

}  // namespace kq::viewer::win32
