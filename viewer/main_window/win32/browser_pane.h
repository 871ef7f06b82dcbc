#pragma once
// What the main window's panes (the card bar, the file list, the page view)
// share: each is a child window on the common window base that passes the
// user's input to the one HistoryBrowser and draws from it, and signals what
// changed so that the main window redraws the other panes.

#include "common/win32/windows_api.h"

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

}  // namespace kq::viewer::win32
