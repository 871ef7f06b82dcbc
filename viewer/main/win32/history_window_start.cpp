#include "viewer/main/win32/history_window_start.h"

#include "viewer/main/win32/history_window.h"

namespace kq::viewer::win32 {

int ShowHistoryWindow(ViewerRun& run) {
    HistoryWindow window(run);
    if (!window.open()) return 1;
    MSG msg;
    // The program ends with its main window.
    while (window.hwnd()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!IsDialogMessageW(window.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

}  // namespace kq::viewer::win32
