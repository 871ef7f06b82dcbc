#pragma once
// The main window's keys, wherever the focus is inside it: F1 the help, F5
// the folder read anew (once, after whatever the window is doing now), and
// in the list the page keys, Delete and Ctrl+A.

#include "common/win32/windows_api.h"

#include <functional>
#include <optional>

#include "common/win32/message_loop.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/history_menus.h"
#include "viewer/main_window/win32/history_panes.h"

namespace kq::viewer::win32 {

class HistoryKeys {
public:
    HistoryKeys(HWND window, HistoryBrowser& browser, HistoryPanes& panes, HistoryMenus& menus,
                std::function<void()> help);

    // The browser's work is done: an F5 that came meanwhile reads the folder
    // now; true when it did.
    bool refreshWaiting();

private:
    bool preview(const MSG& key);

    HistoryBrowser& browser_;
    HistoryPanes& panes_;
    HistoryMenus& menus_;
    std::function<void()> help_;
    bool refreshAsked_ = false;
    kq::win32::WindowKeys keys_;
};

}  // namespace kq::viewer::win32
