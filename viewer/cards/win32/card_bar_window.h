#pragma once
// The main window's card bar: the browser's cards drawn one below the other
// in the bar's own client area, moved up by the scroll bar at its right edge.
// A mouse button let go over a card selects it and shows its histories, also
// when it was selected already.
//
// The cards are painted by the bar rather than made windows of their own: a
// folder of many sheets gives a column of cards far taller than a window may
// be, and every scroll value up to the last must still reach its card.

#include "common/win32/windows_api.h"

#include <optional>

#include "common/form_layout.h"
#include "common/signal.h"
#include "common/win32/buffered_paint_window.h"
#include "common/win32/handles.h"
#include "common/win32/window.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

// The two fonts a card writes in.
struct CardFonts {
    kq::win32::Font title;
    kq::win32::Font folder;
};
CardFonts createCardFonts();

// What a card's drawing needs to know of the fonts and of the card pictures
// `icons` ("BOOK" and "SHEET"), in twips.
CardMetrics measureCards(const PictureList& icons, Twips twips);

// Drawn aside and shown at once, so a scroll does not flicker.
class CardBarWindow final : public kq::win32::BufferedPaintWindow {
public:
    // `icons` holds the "BOOK" and "SHEET" pictures and outlives the window.
    CardBarWindow(HistoryBrowser& browser, const PictureList& icons, Twips twips);

    bool create(HWND parent, int id);
    void place(const RECT& pixels);
    // Draws the cards and sets the scroll bar as the browser has them.
    void update();

    HWND scrollBar() const { return scrollBar_.get(); }
    // Where the card at `position` (0: the placeholder) stands in the bar's
    // client pixels, scrolled as it is.
    RECT cardPixels(std::size_t position) const;

    // A card chosen: the cards, and so the list and the page, changed.
    Signal<BrowserChange> changed;
    // The right button let go over the card at that position, now selected:
    // the main window shows the card's menu, since it owns the windows it leads to.
    Signal<std::size_t> cardMenuAsked;

protected:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    bool OnMouseUp(kq::win32::MouseButton button, POINT at, UINT keys) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc, const RECT& client) override;

private:
    void drawCard(HDC dc, std::size_t position) const;
    // The card under a point of the client area; none over the gaps.
    std::optional<std::size_t> cardAt(POINT at) const;
    void scrolled(WORD request);
    void showScrollBar();

    HistoryBrowser& browser_;
    const PictureList& icons_;
    Twips twips_;
    CardFonts fonts_;
    kq::win32::OwnedWindow scrollBar_;
};

}  // namespace kq::viewer::win32
