#pragma once
// What the main window's panes (the card bar, the file list, the page view)
// share: each is a child window on the common window base that passes the
// user's input to the one HistoryBrowser and draws from it, and tells the
// main window what changed so that it redraws the other panes.

#include "common/win32/windows_api.h"

#include <cstddef>

#include "common/form_layout.h"
#include "viewer/main_window/geometry.h"

namespace kq::viewer::win32 {

// What a pane's input changed in the browser.
enum class BrowserChange {
    cards,  // the cards (and so the list and the page)
    list,   // the list's rows or selection (and so the page)
    page,   // the page shown
    layout  // the panes' places (a splitter moved)
};

// A place of the layout (twips) in the screen's pixels, each edge rounded.
inline RECT pixelsOf(const Rect& twips, const Twips& screen) {
    return {screen.x(twips.left), screen.y(twips.top), screen.x(twips.right()), screen.y(twips.bottom())};
}

class BrowserChanges {
public:
    virtual void browserChanged(BrowserChange what) = 0;

protected:
    ~BrowserChanges() = default;
};

// The context menus the panes open; the main window shows them at the
// pointer and carries out the choice, since it owns the windows they lead to.
class PaneMenus {
public:
    // A right click on the list's rows.
    virtual void fileMenu() = 0;
    // A right click on the list's column header.
    virtual void columnMenu() = 0;
    // The right button let go over the card at `position`, now selected.
    virtual void cardMenu(std::size_t position) = 0;

protected:
    ~PaneMenus() = default;
};

}  // namespace kq::viewer::win32
