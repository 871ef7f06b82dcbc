#pragma once
// The main window's context menus: the file menu over the list's rows, the
// column chooser over its header and the card menu over a card, each shown
// at the pointer as it stood when the menu was asked for, and what their
// choices open (a history's properties, the export dialog, a card's
// properties) owned by the main window.

#include "common/win32/windows_api.h"

#include <cstddef>
#include <functional>

#include "common/file_system.h"
#include "common/popup_menu.h"
#include "common/prompts.h"
#include "common/signal.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/history_panes.h"

namespace kq::viewer::win32 {

class HistoryMenus {
public:
    // `help`: the help a test gave; the property windows otherwise run the
    // viewer's own, with its messages over them rather than over the window.
    HistoryMenus(HWND window, HistoryBrowser& browser, HistoryPanes& panes, FileSystem& files, Prompts& prompts,
                 std::function<void()> help);

    // The selected histories deleted, after the question; nothing without a current history.
    void deleteSelected();

private:
    void fileMenu();
    void columnMenu();
    void cardMenu(std::size_t position);
    int showAtPointer(const PopupMenu& menu);

    HWND window_;
    HistoryBrowser& browser_;
    FileSystem& files_;
    Prompts& prompts_;
    std::function<void()> help_;
    Connection onFileMenu_;
    Connection onColumnMenu_;
    Connection onCardMenu_;
};

}  // namespace kq::viewer::win32
