#pragma once
// The panes of the main window and their places: the main toolbar over the
// cards on the left, the filter strip over the file list, the page view over
// the page panel, and the three splitters between them. The panes draw what
// the browser holds; what one pane's input changed, the others show here,
// and a change of the panes' places lays them out again.

#include "common/win32/windows_api.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/form_layout.h"
#include "common/signal.h"
#include "viewer/cards/win32/card_bar_window.h"
#include "viewer/file_list/win32/file_list_window.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/main_window/win32/pictures.h"
#include "viewer/main_window/win32/splitter_window.h"
#include "viewer/main_window/win32/toolbar_window.h"
#include "viewer/page_view/win32/page_view_window.h"

namespace kq::viewer::win32 {

class HistoryPanes {
public:
    HistoryPanes(const ViewerPictures& pictures, HFONT font, Twips twips);

    // The strips come first: their sizes make the layout's design, which
    // the browser is made with; the panes then show that browser.
    bool makeStrips(HWND frame);
    LayoutDesign design() const;
    bool makePanes(HWND frame, HistoryBrowser& browser);

    // Lays the panes out for the frame's size as it stands, in the view's
    // style; a frame smaller than the layout allows is made larger first.
    void layoutPass();
    // The panes show the browser as it stands, before their first layout.
    void showFirst();
    // The panes show what the browser now holds.
    void browserChanged(BrowserChange what);
    // Greys what the work under way replaces, and shows the pointer of work in the background.
    void showWorking(bool working);
    // The list takes the focus whenever the window is activated or a card is
    // chosen; while it is held back, once it takes input again.
    void focusList();

    // Null until made.
    MainToolbarStrip* mainStrip() const { return mainStrip_.get(); }
    FilterStrip* filterStrip() const { return filterStrip_.get(); }
    FileListWindow* list() const { return list_.get(); }
    SplitterPart& splitter(int index) const { return *splitters_[static_cast<std::size_t>(index)]; }
    CardBarWindow& cards() { return *cards_; }
    PagePanel& pagePanel() { return *pagePanel_; }
    PageViewArea& viewArea() { return *viewArea_; }
    // The magnifier goes with the window, before the page it shows.
    void closeMagnifier() {
        if (viewArea_) viewArea_->closeMagnifier();
    }

private:
    RECT pixels(const Rect& twips) const { return pixelsOf(twips, twips_); }
    void applyLayout();
    // The page view and its panel draw the page the browser now holds.
    void updatePagePanes();
    void toolbarClicked(ToolbarButton button);
    void refreshPointer();

    const ViewerPictures& pictures_;
    HFONT font_;
    Twips twips_;
    HWND frame_ = nullptr;
    HistoryBrowser* browser_ = nullptr;
    std::size_t pageShown_ = 0;
    bool workingShown_ = false;
    bool focusListWanted_ = false;
    std::unique_ptr<MainToolbarStrip> mainStrip_;
    std::unique_ptr<FilterStrip> filterStrip_;
    std::array<std::unique_ptr<SplitterPart>, kSplitterParts> splitters_;
    std::unique_ptr<CardBarWindow> cards_;
    std::unique_ptr<FileListWindow> list_;
    std::unique_ptr<PagePanel> pagePanel_;
    std::unique_ptr<PageViewArea> viewArea_;
    // What the panes and strips signal; gone before them.
    Connection onToolbarClick_;
    std::array<Connection, kSplitterParts> onSplitterMoved_;
    Connection onCardsChanged_;
    Connection onListChanged_;
    Connection onPageTurned_;
};

}  // namespace kq::viewer::win32
