#include "viewer/main_window/win32/history_window_start.h"

#include "common/win32/message_loop.h"
#include "viewer/main_window/win32/history_window.h"

namespace kq::viewer::win32 {

int ShowHistoryWindow(ViewerRun& run, InstanceWindow* receiver) {
    HistoryWindow window(run);
    const Connection onClosing = window.closing.connect([receiver] {
        if (receiver) receiver->close();
    });
    if (receiver) receiver->setTake([&window](std::string line) { return window.handOver(std::move(line)); });
    const bool opened = window.open();
    if (opened) {
        // The program ends with its main window.
        kq::win32::runMessagesUntil([&] { return window.hwnd() == nullptr; });
    }
    if (receiver) receiver->close();
    return opened ? 0 : 1;
}

}  // namespace kq::viewer::win32
