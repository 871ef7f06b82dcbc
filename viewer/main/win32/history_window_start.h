#pragma once
// The main window's part of the start.

namespace kq::viewer::win32 {

// Shows the main window and runs the program's messages until it closes; the program's exit code.
int ShowHistoryWindow();

}  // namespace kq::viewer::win32
