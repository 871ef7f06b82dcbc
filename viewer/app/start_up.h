#pragma once
// The viewer's start: the values of the command line, then the main window.

namespace kq::viewer::win32 {

// Runs the viewer on the process's command line as the system gives it
// (UTF-16, the program's path first) until its main window closes; the
// program's exit code.
int RunViewer(const wchar_t* commandLine);

}  // namespace kq::viewer::win32
