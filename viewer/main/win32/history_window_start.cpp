#include "viewer/main/win32/history_window_start.h"

namespace kq::viewer::win32 {

// The main window is not built yet: the start ends here.
int ShowHistoryWindow(ViewerRun&) { return 0; }

}  // namespace kq::viewer::win32
