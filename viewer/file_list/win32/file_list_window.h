#pragma once
// The main window's file list: a report list view that shows the browser's
// file list as it stands and passes the user's clicks and keys to it.
//
// The list view holds no texts of its own (it asks for each cell as it draws
// it), so a card of tens of thousands of histories shows at once; the
// selection is the list view's, copied to the browser whenever the user
// changes it.

#include "common/win32/windows_api.h"

#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "common/signal.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"
#include "viewer/file_list/file_list.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

// Widths of texts in a window's font, in twips: what the file list widens
// its columns by.
class FontWidths final : public TextWidths {
public:
    // `font` outlives the object.
    FontWidths(HFONT font, double twipsPerPixel);
    double textWidth(std::string_view text) override;

private:
    kq::win32::DeviceContext dc_;
    kq::win32::Selection selected_;
    double twipsPerPixel_;
};

class FileListWindow final : public kq::win32::Window {
public:
    // `pictures` holds the "USER" and "ERROR" marks and outlives the window.
    FileListWindow(HistoryBrowser& browser, const PictureList& pictures);

    bool create(HWND parent, int id);
    void place(const RECT& pixels);
    // Shows the browser's columns, rows and selection.
    void update();
    // The list view itself.
    HWND list() const { return list_; }

    // The user's clicks and keys changed the list's selection or the page shown.
    Signal<BrowserChange> changed;
    // A right click on the rows, or on the column header: the main window
    // shows the menu, since it owns the windows it leads to.
    Signal<> fileMenuAsked;
    Signal<> columnMenuAsked;

protected:
    bool OnCreate(const CREATESTRUCTW&) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    bool OnSize(UINT kind, int width, int height) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void showColumns();
    void showSelection();
    // Copies the list view's selection to the browser; true when it changed.
    bool takeSelection();
    void selectionTouched();
    void clicked(const NMITEMACTIVATE& click);
    void keyDone();
    void itemClick(int row);
    void columnClick(int column);
    void cell(NMLVDISPINFOW& request) const;
    LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;
    LRESULT findRow(const NMLVFINDITEMW& find) const;
    int focusedRow() const;

    HistoryBrowser& browser_;
    const PictureList& pictures_;
    // Catches the column header's right clicks, which the header tells the list view alone.
    kq::win32::Subclass headerClicks_;
    kq::win32::Font font_;
    HWND list_ = nullptr;
    // Until the browser builds a new list, the columns keep the widths the user dragged them to.
    bool newList_ = true;
    Connection onListBuilt_;
    // The selection the list view holds, as last set or read.
    struct ShownSelection {
        std::set<std::size_t> rows;
        std::optional<std::size_t> current;
    };
    std::optional<ShownSelection> shown_;
    // What the list view tells while update() sets it up is not the user's doing.
    bool updating_ = false;
    bool selectionPosted_ = false;
};

}  // namespace kq::viewer::win32
