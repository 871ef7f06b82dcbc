#include "viewer/main/win32/history_window_start.h"

#include "common/win32/message_loop.h"
#include "viewer/main/win32/history_window.h"

namespace kq::viewer::win32 {

int ShowHistoryWindow(ViewerRun& run) {
    HistoryWindow window(run);
    if (!window.open()) return 1;
    // The program ends with its main window.
    kq::win32::runMessagesUntil([&] { return window.hwnd() == nullptr; });
    return 0;
}

}  // namespace kq::viewer::win32
