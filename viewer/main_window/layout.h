#pragma once
// Where the main window's panes go: one layout pass from the client size, the
// view style and the three splitters, and the splitter drag that moves them.
// Everything is in twips; the window converts to pixels when it applies a
// rectangle. The window applies every rectangle of the result as it stands
// and never decides a position itself.

#include <array>
#include <cstdint>
#include <optional>

#include "viewer/main_window/geometry.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// The splitters: three grips (a small picture) each with a bar (transparent,
// takes the mouse). Indexes 0 and 1 are splitter 1's grip and bar, 2 and 3
// splitter 2's, 4 and 5 splitter 3's.
inline constexpr int kSplitterParts = 6;
enum class SplitterCursor { sizeWestEast, sizeAll, sizeNorthSouth };
SplitterCursor splitterCursor(int index);

// Where a toolbar has put its first and its last button (twips, relative to
// the toolbar). The toolbar is as wide as they reach and as high as they go
// down, whatever the screen makes of the buttons' pictures.
struct ToolbarButtons {
    Rect first;
    Rect last;
    friend bool operator==(const ToolbarButtons&, const ToolbarButtons&) = default;
};

// Sizes the layout keeps as they are, as designed (twips).
struct LayoutDesign {
    double picMainHeight = 495;
    double picListHeight = 375;
    double tlbButtonWidth = 705;
    double tlbButtonHeight = 240;
    double txtFilterHeight = 270;
    double picSousaHeight = 3375;
    // The page toolbar's two buttons until the window has made the real ones.
    ToolbarButtons pageButtons{{0, 0, 330, 330}, {330, 0, 330, 330}};
    double tlbNoTop = 120;
    double lblNoTop = 210;
    double lblNoWidth = 1260;
    double lblNoHeight = 180;
    double lblCommentLogTop = 600;
    double lblCommentLogWidth = 585;
    double txtCommentLogTop = 840;
    double lblErrorLogTop = 2040;
    double lblErrorLogWidth = 765;
    double txtErrorLogTop = 2280;
    double logLabelHeight = 180;
    double logHeight = 1095;
    // Between the comment box and the error label below it.
    double logGap = 100;
    // What the borders of the filter strip and the page panel take from
    // their width (outer minus inner width).
    double picListFrame = 0;
    double picSousaFrame = 0;
    // The grips' pictures: 5 x 20 pixels (20 x 5 for splitter 3).
    double gripLength = 300;
    double gripThickness = 75;
};

// Every control the layout places, with the splitters. Controls inside the
// filter strip (txtFilter, tlbButton) and the page panel (tlbNo, lblNo and the
// two log boxes) are relative to their container.
struct WindowLayout {
    Rect picMain, useCards, picList, txtFilter, tlbButton, lstFile, picSousa, tlbNo, lblNo, lblCommentLog,
        txtCommentLog, lblErrorLog, txtErrorLog, picViewArea;
    // The comment and error labels and boxes are shown only with a text.
    bool commentsShown = false;
    bool errorsShown = false;
    std::array<Rect, kSplitterParts> splitter;
    std::array<bool, kSplitterParts> splitterVisible{};

    friend bool operator==(const WindowLayout&, const WindowLayout&) = default;
};

class MainLayout {
public:
    // Grips and bars start at the stored positions.
    MainLayout(const ViewSettings& settings, const LayoutDesign& design = {});

    const WindowLayout& current() const { return layout_; }
    // The splitter positions to store.
    void storePositions(ViewSettings& settings) const;

    // The window's outer size after the minimum-size rule: a width below 1000
    // becomes 3000 and, apart from it, a height below 1000 becomes 4000. Empty
    // when the size stands.
    struct Size {
        double width;
        double height;
    };
    static std::optional<Size> enforcedOuterSize(double outerWidth, double outerHeight);

    // One layout pass over a client area of width x height. False when the
    // window is minimized: nothing moved and the page is not to be redrawn;
    // otherwise the caller redraws the page.
    bool pass(double clientWidth, double clientHeight, std::int16_t viewStyle, bool minimized = false);

    // The page panel for the history shown: the page buttons on top, the
    // comments below them, the error lines below those or, without comments,
    // in their place; the panel as high as what it shows. The caller runs a
    // pass afterwards.
    void setPagePanel(bool hasComments, bool hasErrors);
    // The page toolbar's buttons as the window made them: the toolbar's
    // width and height, and so the panel's, follow from them. The caller
    // runs a pass afterwards.
    void setPageButtons(const ToolbarButtons& buttons);
    // A pass over the size and style of the last one.
    bool relayout() { return relayout(viewStyle_); }
    // Before the window's first pass there is no size to lay out in: a pass
    // then would clamp the stored splitters against an empty window.
    bool relayout(std::int16_t viewStyle) {
        return sized_ && pass(clientWidth_, clientHeight_, viewStyle, minimized_);
    }

    // Splitter drag, with the mouse events on the splitter parts; x and y are
    // relative to the part, button 1 is the left button alone. Only a bar
    // pressed with the left button starts a drag; the bar stays where it was
    // until the release, only its grip and the panes follow the pointer.
    void press(int index, int button, double x, double y);
    // True when the caller is to redraw the page (a pass ran).
    bool move(int index, int button, double x, double y);
    bool release(int index, int button);
    // Losing the mouse capture ends a drag as if the button were released.
    bool captureLost();
    bool dragging() const { return dragging_; }

private:
    void clampSplitters(double W, double H, bool threeColumns);
    void placeControls(double W, double H, bool threeColumns);

    LayoutDesign design_;
    WindowLayout layout_;
    bool dragging_ = false;
    std::optional<int> pressed_;
    double dragX_ = 0;
    double dragY_ = 0;
    // The last pass's arguments, for the passes a drag runs.
    double clientWidth_ = 0;
    double clientHeight_ = 0;
    std::int16_t viewStyle_ = kThreeColumns;
    bool minimized_ = false;
    bool sized_ = false;
};

}  // namespace kq::viewer
