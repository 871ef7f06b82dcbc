#include "viewer/main_window/win32/history_panes.h"

#include <vector>

namespace kq::viewer::win32 {

namespace {

enum ControlId { kMainStripId = 100, kFilterStripId, kCardsId, kListId, kPanelId, kViewId, kFirstSplitterId };

}  // namespace

HistoryPanes::HistoryPanes(const ViewerPictures& pictures, HFONT font, Twips twips)
    : pictures_(pictures), font_(font), twips_(twips) {}

bool HistoryPanes::makeStrips(HWND frame) {
    frame_ = frame;
    mainStrip_ = std::make_unique<MainToolbarStrip>(pictures_.imlMain);
    onToolbarClick_ = mainStrip_->clicked.connect([this](ToolbarButton button) { toolbarClicked(button); });
    filterStrip_ = std::make_unique<FilterStrip>(pictures_.imlButton, font_);
    return mainStrip_->create(frame, kMainStripId) && filterStrip_->create(frame, kFilterStripId);
}

LayoutDesign HistoryPanes::design() const {
    LayoutDesign d;
    const SIZE main = mainStrip_->toolbarSize();
    d.picMainHeight = twips_.fromY(main.cy);
    const SIZE button = filterStrip_->buttonSize();
    d.tlbButtonWidth = twips_.fromX(button.cx);
    d.tlbButtonHeight = twips_.fromY(button.cy);
    d.txtFilterHeight = d.tlbButtonHeight;
    d.picListHeight = d.txtFilterHeight;
    d.gripThickness = twips_.fromX(pictures_.imgLeftVertical.width());
    d.gripLength = twips_.fromY(pictures_.imgLeftVertical.height());
    return d;
}

bool HistoryPanes::makePanes(HWND frame, HistoryBrowser& browser) {
    browser_ = &browser;
    mainStrip_->update(browser);
    const auto changed = [this](BrowserChange what) { browserChanged(what); };
    // The splitters lie under the panes: a pane moved over a bar during a drag hides it.
    for (int index = 0; index < kSplitterParts; ++index) {
        const PictureList& grip = index < 4 ? pictures_.imgLeftVertical : pictures_.imgLeftHorizontal;
        auto& part = splitters_[static_cast<std::size_t>(index)];
        part = std::make_unique<SplitterPart>(index, browser.layout(), grip, twips_);
        onSplitterMoved_[static_cast<std::size_t>(index)] = part->changed.connect(changed);
        if (!part->create(frame, kFirstSplitterId + index)) return false;
    }
    SetWindowPos(mainStrip_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(filterStrip_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    cards_ = std::make_unique<CardBarWindow>(browser, pictures_.imlIcon, twips_);
    onCardsChanged_ = cards_->changed.connect(changed);
    list_ = std::make_unique<FileListWindow>(browser, pictures_.imlList);
    onListChanged_ = list_->changed.connect(changed);
    viewArea_ = std::make_unique<PageViewArea>(browser, pictures_, twips_);
    pagePanel_ = std::make_unique<PagePanel>(browser, pictures_, font_, twips_);
    onPageTurned_ = pagePanel_->changed.connect(changed);
    return cards_->create(frame, kCardsId) && list_->create(frame, kListId) && viewArea_->create(frame, kViewId) &&
           pagePanel_->create(frame, kPanelId);
}

void HistoryPanes::layoutPass() {
    MainLayout& layout = browser_->layout();
    const std::int16_t style = browser_->viewSetting().ViewStyle;
    if (IsIconic(frame_)) {
        layout.pass(0, 0, style, true);
        return;
    }
    RECT outer{};
    GetWindowRect(frame_, &outer);
    if (const auto size = MainLayout::enforcedOuterSize(twips_.fromX(outer.right - outer.left),
                                                        twips_.fromY(outer.bottom - outer.top))) {
        // The new size lays the window out again, inside this pass.
        SetWindowPos(frame_, nullptr, 0, 0, twips_.x(static_cast<int>(size->width)),
                     twips_.y(static_cast<int>(size->height)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{};
    GetClientRect(frame_, &client);
    if (layout.pass(twips_.fromX(client.right), twips_.fromY(client.bottom), style)) applyLayout();
}

void HistoryPanes::applyLayout() {
    const WindowLayout& l = browser_->layout().current();
    // A pane moved takes its old picture along, and the controls inside it
    // keep parts of theirs as they follow (the list's old columns, the filter
    // box's edge): a pane whose place changed is painted anew, whole.
    std::vector<HWND> panes{mainStrip_->hwnd(), cards_->hwnd(),     filterStrip_->hwnd(),
                            list_->hwnd(),      pagePanel_->hwnd(), viewArea_->hwnd()};
    for (const auto& part : splitters_) panes.push_back(part->hwnd());
    std::vector<RECT> before(panes.size());
    for (std::size_t i = 0; i < panes.size(); ++i) GetWindowRect(panes[i], &before[i]);

    mainStrip_->place(pixels(l.picMain));
    cards_->place(pixels(l.useCards));
    filterStrip_->place(pixels(l.picList), pixels(l.txtFilter), pixels(l.tlbButton));
    list_->place(pixels(l.lstFile));
    pagePanel_->place(pixels(l.picSousa), l);
    viewArea_->place(pixels(l.picViewArea));
    for (int index = 0; index < kSplitterParts; ++index) {
        const auto at = static_cast<std::size_t>(index);
        splitters_[at]->place(pixels(l.splitter[at]), l.splitterVisible[at]);
    }

    for (std::size_t i = 0; i < panes.size(); ++i) {
        RECT after{};
        GetWindowRect(panes[i], &after);
        if (!EqualRect(&before[i], &after)) {
            RedrawWindow(panes[i], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
}

void HistoryPanes::showFirst() {
    cards_->update();
    list_->update();
    updatePagePanes();
    showWorking(browser_->working());
}

void HistoryPanes::browserChanged(BrowserChange what) {
    if (!browser_ || !list_) return;
    if (what == BrowserChange::cards) mainStrip_->update(*browser_);
    if (what == BrowserChange::cards) cards_->update();
    if (what == BrowserChange::cards || what == BrowserChange::list) list_->update();
    if (what == BrowserChange::layout) {
        applyLayout();
        return;
    }
    updatePagePanes();
    layoutPass();
    showWorking(browser_->working());
}

void HistoryPanes::updatePagePanes() {
    // Drawing a page at its natural size is the dear part of showing it: only for a page loaded since.
    if (browser_->pageLoads() == pageShown_) return;
    pageShown_ = browser_->pageLoads();
    viewArea_->update();
    pagePanel_->update();
}

void HistoryPanes::showWorking(bool working) {
    if (working == workingShown_) return;
    workingShown_ = working;
    const HWND list = list_->list();
    if (working && GetFocus() == list) {
        // The keys go on reaching the window (F1, F5), and the list gets the
        // focus back once it takes input again.
        focusListWanted_ = true;
        SetFocus(frame_);
    }
    EnableWindow(cards_->hwnd(), !working);
    EnableWindow(list, !working);
    EnableWindow(pagePanel_->pageButtons(), !working);
    mainStrip_->update(*browser_);
    if (!working && focusListWanted_) focusList();
    refreshPointer();
}

void HistoryPanes::refreshPointer() {
    POINT at{};
    if (!GetCursorPos(&at)) return;
    const HWND under = WindowFromPoint(at);
    if (!under || (under != frame_ && !IsChild(frame_, under))) return;
    const auto hit = static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

void HistoryPanes::focusList() {
    const HWND list = list_ ? list_->list() : nullptr;
    if (!list) return;
    if (!IsWindowEnabled(list)) {
        focusListWanted_ = true;
        return;
    }
    focusListWanted_ = false;
    // Another program in front keeps the focus: the activation gives it to the list later.
    if (GetActiveWindow() == frame_) SetFocus(list);
}

void HistoryPanes::toolbarClicked(ToolbarButton button) {
    browser_->toolbarClick(button);
    mainStrip_->update(*browser_);
    InvalidateRect(mainStrip_->toolbar(), nullptr, TRUE);
    if (button == ToolbarButton::STYLE1 || button == ToolbarButton::STYLE2) browserChanged(BrowserChange::layout);
}

}  // namespace kq::viewer::win32
