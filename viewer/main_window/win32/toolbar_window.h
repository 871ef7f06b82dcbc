#pragma once
// The two strips of toolbars on the main window: the main toolbar's strip
// over the cards (the grouping and the layout buttons) and the filter strip
// over the file list (the filter box and its button). Each is a container
// window of its own whose toolbar reports its clicks to it; it signals them on.

#include "common/win32/windows_api.h"

#include <commctrl.h>

#include <optional>

#include "common/signal.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/search/search_query.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

// A flat toolbar of the viewer's strips and panels, its pictures from `images`,
// with tips asked of its parent; null when it cannot be made.
HWND createToolbar(HWND parent, HIMAGELIST images, int id);
TBBUTTON toolbarButton(int image, int command, BYTE state = TBSTATE_ENABLED);
// Where a toolbar has put its first and its last button; none without buttons.
struct FirstAndLast {
    RECT first;
    RECT last;
};
std::optional<FirstAndLast> firstAndLastButton(HWND toolbar);
// As wide as the left of its last button and the width of its first, as high as its buttons reach.
SIZE toolbarExtent(HWND toolbar);

class MainToolbarStrip final : public kq::win32::Window {
public:
    // `pictures` (the toolbar's image list) outlives the strip.
    explicit MainToolbarStrip(const PictureList& pictures);

    bool create(HWND parent, int id);
    // The toolbar's size in pixels: as wide as its buttons reach, as high as one.
    SIZE toolbarSize() const;
    void place(const RECT& pixels);
    // Shows each button as the browser has it: hidden or not, pressed or
    // not; the groupings greyed while the browser works.
    void update(const HistoryBrowser& browser);
    HWND toolbar() const { return toolbar_; }

    Signal<ToolbarButton> clicked;

protected:
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;

private:
    const PictureList& pictures_;
    HWND toolbar_ = nullptr;
};

// What the user did to the filter box or its button.
enum class FilterAction { click, change, enter };

class FilterStrip final : public kq::win32::Window {
public:
    FilterStrip(const PictureList& pictures, HFONT font);

    bool create(HWND parent, int id);
    // The button's toolbar in pixels; the box is as high as it.
    SIZE buttonSize() const;
    // The strip, then the box and the button inside it.
    void place(const RECT& strip, const RECT& box, const RECT& button);
    HWND box() const { return box_; }
    HWND button() const { return button_; }

    std::string text() const;
    // Puts the text into the box without telling it as the user's change.
    void setText(std::string_view text);
    void showPicture(SearchPicture picture);

    // The user's doings; the strip's own changes of the box are not signalled.
    Signal<FilterAction> acted;

protected:
    bool OnCommand(int id, UINT code, HWND control) override;

private:
    void tell(FilterAction action) {
        if (!settingText_) acted(action);
    }

    const PictureList& pictures_;
    HFONT font_;
    HWND box_ = nullptr;
    HWND button_ = nullptr;
    // Enter in the box; its beep kept quiet.
    kq::win32::Subclass boxKeys_;
    bool settingText_ = false;
};

}  // namespace kq::viewer::win32
