#include "viewer/main_window/layout.h"

#include <algorithm>

namespace kq::viewer {

namespace {

constexpr double kMinimumOuterSize = 1000;
constexpr double kFallbackOuterWidth = 3000;
constexpr double kFallbackOuterHeight = 4000;
// How close a splitter may come to an edge or to another splitter.
constexpr double kSplitterMargin = 1000;
// The gap between the page number and the page buttons.
constexpr double kPageNumberGap = 100;

// A control refuses a negative width or height and keeps its place and size.
void place(Rect& control, const Rect& wanted) {
    if (wanted.width >= 0 && wanted.height >= 0) control = wanted;
}
void setWidth(Rect& control, double width) {
    if (width >= 0) control.width = width;
}

// As high as the lower button goes down: a toolbar may put its buttons below
// its top edge.
double buttonsHeight(const ToolbarButtons& buttons) { return std::max(buttons.first.bottom(), buttons.last.bottom()); }

}  // namespace

SplitterCursor splitterCursor(int index) {
    if (index == 4) return SplitterCursor::sizeAll;
    if (index == 5) return SplitterCursor::sizeNorthSouth;
    return SplitterCursor::sizeWestEast;
}

MainLayout::MainLayout(const ViewSettings& settings, const LayoutDesign& design) : design_(design) {
    WindowLayout& l = layout_;
    l.picMain.height = design.picMainHeight;
    l.picList.height = design.picListHeight;
    l.txtFilter = {0, 0, 0, design.txtFilterHeight};
    l.tlbButton = {0, 0, design.tlbButtonWidth, design.tlbButtonHeight};
    l.picSousa.height = design.picSousaHeight;
    l.tlbNo.top = design.tlbNoTop;
    l.tlbNo.height = buttonsHeight(design.pageButtons);
    l.lblNo = {0, design.lblNoTop, design.lblNoWidth, design.lblNoHeight};
    l.lblCommentLog = {0, design.lblCommentLogTop, design.lblCommentLogWidth, design.logLabelHeight};
    l.txtCommentLog = {0, design.txtCommentLogTop, 0, design.logHeight};
    l.lblErrorLog = {0, design.lblErrorLogTop, design.lblErrorLogWidth, design.logLabelHeight};
    l.txtErrorLog = {0, design.txtErrorLogTop, 0, design.logHeight};
    const Rect vertical{0, 0, design.gripThickness, design.gripLength};
    const Rect horizontal{0, 0, design.gripLength, design.gripThickness};
    l.splitter = {vertical, vertical, vertical, vertical, horizontal, horizontal};
    l.splitter[0].left = l.splitter[1].left = settings.Positon1;
    l.splitter[2].left = l.splitter[3].left = settings.Positon2;
    l.splitter[4].top = l.splitter[5].top = settings.Positon3;
}

void MainLayout::storePositions(ViewSettings& settings) const {
    settings.Positon1 = static_cast<float>(layout_.splitter[0].left);
    settings.Positon2 = static_cast<float>(layout_.splitter[2].left);
    settings.Positon3 = static_cast<float>(layout_.splitter[4].top);
}

void MainLayout::setPageButtons(const ToolbarButtons& buttons) {
    design_.pageButtons = buttons;
    layout_.tlbNo.height = buttonsHeight(buttons);
    setPagePanel(layout_.commentsShown, layout_.errorsShown);
}

void MainLayout::setPagePanel(bool hasComments, bool hasErrors) {
    WindowLayout& l = layout_;
    double height = l.tlbNo.top * 2 + l.tlbNo.height;
    l.commentsShown = hasComments;
    if (hasComments) height = l.txtCommentLog.bottom();
    l.errorsShown = hasErrors;
    if (hasErrors) {
        if (hasComments) {
            // The same distance from label to box as the comments have.
            l.lblErrorLog.top = l.txtCommentLog.bottom() + design_.logGap;
            l.txtErrorLog.top = l.txtCommentLog.top - l.lblCommentLog.top + l.lblErrorLog.top;
        } else {
            l.lblErrorLog.top = l.lblCommentLog.top;
            l.txtErrorLog.top = l.txtCommentLog.top;
        }
        height = l.txtErrorLog.bottom();
    }
    l.picSousa.height = height;
}

std::optional<MainLayout::Size> MainLayout::enforcedOuterSize(double outerWidth, double outerHeight) {
    Size size{outerWidth, outerHeight};
    if (size.width < kMinimumOuterSize) size.width = kFallbackOuterWidth;
    if (size.height < kMinimumOuterSize) size.height = kFallbackOuterHeight;
    if (size.width == outerWidth && size.height == outerHeight) return std::nullopt;
    return size;
}

bool MainLayout::pass(double W, double H, std::int16_t viewStyle, bool minimized) {
    minimized_ = minimized;
    if (minimized) return false;
    sized_ = true;
    clientWidth_ = W;
    clientHeight_ = H;
    viewStyle_ = viewStyle;
    const bool threeColumns = viewStyle == kThreeColumns;
    // During a drag the grip was placed by the pointer and the bars stay put.
    if (!dragging_) clampSplitters(W, H, threeColumns);
    placeControls(W, H, threeColumns);
    return true;
}

// Each bound is checked against the value as the previous step left it, so
// when bounds contradict each other (a window too small) the later one wins.
void MainLayout::clampSplitters(double W, double H, bool threeColumns) {
    auto& s = layout_.splitter;
    Rect& grip1 = s[0];
    if (grip1.left < kSplitterMargin) grip1.left = kSplitterMargin;
    const double bound1 = threeColumns ? s[2].left - kSplitterMargin : W - kSplitterMargin;
    if (grip1.left > bound1) grip1.left = bound1;
    grip1.top = (H - grip1.height) / 2;
    place(s[1], {grip1.left, 0, grip1.width, H});

    if (threeColumns) {
        Rect& grip2 = s[2];
        const double low = grip1.left + grip1.width + kSplitterMargin;
        if (grip2.left < low) grip2.left = low;
        if (grip2.left > W - kSplitterMargin) grip2.left = W - kSplitterMargin;
        grip2.top = (H - grip2.height) / 2;
        place(s[3], {grip2.left, 0, grip2.width, H});
    } else {
        Rect& grip3 = s[4];
        const double pageSection = layout_.picSousa.height;
        if (grip3.top < kSplitterMargin) grip3.top = kSplitterMargin;
        if (grip3.top > H - (pageSection + kSplitterMargin)) grip3.top = H - pageSection - kSplitterMargin;
        // Over the right-hand column as the previous pass left it.
        const double column = layout_.picList.left;
        grip3.left = (W - column) / 2 + column - grip3.width / 2;
        place(s[5], {column, grip3.top, W - column, grip3.height});
    }
    layout_.splitterVisible = {true, true, threeColumns, threeColumns, !threeColumns, !threeColumns};
}

void MainLayout::placeControls(double W, double H, bool threeColumns) {
    WindowLayout& l = layout_;
    const double S1 = l.splitter[0].left;
    const double w1 = l.splitter[0].width;
    const double S2 = l.splitter[2].left;
    const double w2 = l.splitter[2].width;
    const double S3 = l.splitter[4].top;
    const double h3 = l.splitter[4].height;

    place(l.picMain, {0, 0, S1, l.picMain.height});
    place(l.useCards, {0, l.picMain.bottom(), S1, H - l.picMain.height});

    const double columnLeft = S1 + w1;
    place(l.picList, {columnLeft, 0, (threeColumns ? S2 : W) - columnLeft, l.picList.height});
    l.tlbButton.left = l.picList.width - design_.picListFrame - l.tlbButton.width;
    setWidth(l.txtFilter, l.tlbButton.left);
    const double listTop = l.picList.bottom();
    place(l.lstFile, {l.picList.left, listTop, l.picList.width, (threeColumns ? H : S3) - listTop});
    if (threeColumns) {
        place(l.picSousa, {S2 + w2, H - l.picSousa.height, W - (S2 + w2), l.picSousa.height});
    } else {
        place(l.picSousa, {l.picList.left, H - l.picSousa.height, l.picList.width, l.picSousa.height});
    }

    const double panelInner = l.picSousa.width - design_.picSousaFrame;
    const ToolbarButtons& buttons = design_.pageButtons;
    setWidth(l.tlbNo, buttons.last.left + buttons.first.width);
    l.tlbNo.left = (panelInner - l.tlbNo.width) / 2;
    l.lblNo.left = l.tlbNo.left - l.lblNo.width - kPageNumberGap;
    setWidth(l.txtCommentLog, panelInner);
    setWidth(l.txtErrorLog, panelInner);

    if (threeColumns) {
        place(l.picViewArea, {l.picSousa.left, l.picList.top, l.picSousa.width, H - l.picSousa.height - l.picList.top});
    } else {
        place(l.picViewArea, {l.picList.left, S3 + h3, l.picList.width, l.picSousa.top - (S3 + h3)});
    }
}

void MainLayout::press(int index, int button, double x, double y) {
    if (button != 1 || index % 2 == 0) return;
    pressed_ = index;
    dragX_ = x;
    dragY_ = y;
}

bool MainLayout::move(int index, int button, double x, double y) {
    if (button != 1 || !pressed_ || *pressed_ != index) return false;
    auto& s = layout_.splitter;
    const double W = clientWidth_;
    const double H = clientHeight_;
    if (index == 1 || index == 3) {
        // The grip keeps the offset at which the bar was grabbed.
        double p = s[index].left + x - dragX_;
        if (index == 1) {
            if (p < kSplitterMargin) p = kSplitterMargin;
            const double high = viewStyle_ == kThreeColumns ? s[2].left - kSplitterMargin : W - kSplitterMargin;
            if (p > high) p = high;
        } else {
            const double low = s[0].left + s[0].width + kSplitterMargin;
            if (p < low) p = low;
            if (p > W - kSplitterMargin) p = W - kSplitterMargin;
        }
        s[index - 1].left = p;
    } else {
        double q = s[5].top + y - dragY_;
        if (q < kSplitterMargin) q = kSplitterMargin;
        const double pageSection = layout_.picSousa.height;
        if (q > H - (pageSection + kSplitterMargin)) q = H - pageSection - kSplitterMargin;
        s[4].top = q;
    }
    dragging_ = true;
    return relayout();
}

bool MainLayout::release(int index, int button) {
    if (button != 1 || !pressed_ || *pressed_ != index) return false;
    pressed_.reset();
    auto& s = layout_.splitter;
    s[index].left = s[index - 1].left;
    s[index].top = s[index - 1].top;
    dragging_ = false;
    return relayout();
}

bool MainLayout::captureLost() {
    if (!pressed_) return false;
    return release(*pressed_, 1);
}

}  // namespace kq::viewer
