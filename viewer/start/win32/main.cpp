// The viewer program's entry point. Everything it does is the viewer
// library's, so that tests run the same start-up and windows in their own
// process.

#include "common/win32/windows_api.h"

#include "viewer/start/win32/start_up.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return kq::viewer::win32::RunViewer(GetCommandLineW()); }
