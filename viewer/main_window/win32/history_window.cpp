#include "viewer/main_window/win32/history_window.h"

#include <cmath>
#include <string>
#include <vector>

#include "common/text_codec.h"
#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/letter_case_win32.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "viewer/file_list/win32/list_text_order.h"
#include "viewer/export/win32/export_dialog_window.h"
#include "viewer/start/win32/foreground.h"
#include "viewer/main_window/win32/help.h"
#include "viewer/properties/win32/property_window.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KqHistoryWindow";
constexpr int kClientWidthTwips = 12915;
constexpr int kClientHeightTwips = 7335;
enum ControlId { kMainStripId = 100, kFilterStripId, kCardsId, kListId, kPanelId, kViewId, kFirstSplitterId };

}  // namespace

HistoryWindow::HistoryWindow(ViewerRun& run, HistoryWindowServices services)
    : run_(run), twips_(kq::win32::screenTwips()), files_(kq::win32::filesOrSystem(services.files)),
      help_(services.help ? services.help : [this] { Command_Help(*this); }), givenHelp_(std::move(services.help)),
      work_(services.work), search_(kq::win32::systemUpperCase) {}

HistoryWindow::~HistoryWindow() = default;

bool HistoryWindow::open() {
    kq::win32::Window::registerClass({.name = kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)});
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT outer{0, 0, twips_.x(kClientWidthTwips), twips_.y(kClientHeightTwips)};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const std::string caption = std::string(texts::kTitle) + std::string(texts::kCaptionSuffix);
    if (!create({.windowClass = kClassName,
                 .text = kq::win32::wide(caption),
                 .style = style,
                 .width = outer.right - outer.left,
                 .height = outer.bottom - outer.top})) {
        return false;
    }
    ShowWindow(hwnd(), placeOverHost() ? SW_SHOWMAXIMIZED : SW_SHOW);
    layoutPass();
    SetForegroundWindowEx(hwnd());
    return hwnd() != nullptr;
}

bool HistoryWindow::OnCreate(const CREATESTRUCTW&) {
    font_ = kq::win32::createFormFont();
    bigIcon_ = loadProgramIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = loadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    pictures_.emplace(loadViewerPictures());
    widths_ = std::make_unique<FontWidths>(font_.get(), twips_.perPixelX());
    if (!makeControls()) return false;
    keys_.emplace(hwnd(), [this](const MSG& key) { return keyPreviewed(key); });
    return true;
}

bool HistoryWindow::makeControls() {
    const HWND self = hwnd();
    mainStrip_ = std::make_unique<MainToolbarStrip>(pictures_->imlMain);
    onToolbarClick_ = mainStrip_->clicked.connect([this](ToolbarButton button) { toolbarClicked(button); });
    filterStrip_ = std::make_unique<FilterStrip>(pictures_->imlButton, font_.get());
    if (!mainStrip_->create(self, kMainStripId) || !filterStrip_->create(self, kFilterStripId)) return false;

    if (!work_) {
        workThread_.emplace();
        // Without its window the thread could hand nothing back: the work is done here then.
        work_ = workThread_->ready() ? static_cast<WorkRunner*>(&*workThread_) : &workHere_;
    }
    // The first use of the view settings reads them, unless the start did.
    browser_.emplace(BrowserServices{.files = files_,
                                     .codec = systemAnsiCodec(),
                                     .prompts = *this,
                                     .store = run_.store(),
                                     .folder = {.files = files_,
                                                .prompts = *this,
                                                .knownFolders = knownFolders_,
                                                .programFolder = kq::win32::thisModuleFolder(),
                                                .title = std::string(texts::kTitle)},
                                     .widths = *widths_,
                                     .search = [this] { return search_.filter(files_, systemAnsiCodec()); },
                                     .order = systemTextOrder,
                                     .work = work_},
                     run_.viewSetting(), run_.start, measureCards(pictures_->imlIcon, twips_), design());
    mainStrip_->update(*browser_);
    onFilterAction_ = filterStrip_->acted.connect([this](FilterAction action) { filterAction(action); });

    // The splitters lie under the panes: a pane moved over a bar during a drag hides it.
    for (int index = 0; index < kSplitterParts; ++index) {
        const PictureList& grip = index < 4 ? pictures_->imgLeftVertical : pictures_->imgLeftHorizontal;
        auto& part = splitters_[static_cast<std::size_t>(index)];
        part = std::make_unique<SplitterPart>(index, browser_->layout(), grip, twips_);
        onSplitterMoved_[static_cast<std::size_t>(index)] =
            part->changed.connect([this](BrowserChange what) { browserChanged(what); });
        if (!part->create(self, kFirstSplitterId + index)) return false;
    }
    SetWindowPos(mainStrip_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(filterStrip_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    cards_ = std::make_unique<CardBarWindow>(*browser_, pictures_->imlIcon, twips_);
    onCardsChanged_ = cards_->changed.connect([this](BrowserChange what) { browserChanged(what); });
    onCardMenu_ = cards_->cardMenuAsked.connect([this](std::size_t position) { cardMenu(position); });
    list_ = std::make_unique<FileListWindow>(*browser_, pictures_->imlList);
    onListChanged_ = list_->changed.connect([this](BrowserChange what) { browserChanged(what); });
    onFileMenu_ = list_->fileMenuAsked.connect([this] { fileMenu(); });
    onColumnMenu_ = list_->columnMenuAsked.connect([this] { columnMenu(); });
    viewArea_ = std::make_unique<PageViewArea>(*browser_, *pictures_, twips_);
    pagePanel_ = std::make_unique<PagePanel>(*browser_, *pictures_, font_.get(), twips_);
    onPageTurned_ = pagePanel_->changed.connect([this](BrowserChange what) { browserChanged(what); });
    if (!cards_->create(self, kCardsId) || !list_->create(self, kListId) || !viewArea_->create(self, kViewId) ||
        !pagePanel_->create(self, kPanelId)) {
        return false;
    }

    browser_->load();
    onWorkStarts_ = browser_->workStarts().connect([this] { workStarts(); });
    onSettled_ = browser_->settled().connect([this] { workSettled(); });
    onListFocus_ = browser_->listFocus.connect([this] { focusList(); });
    cards_->update();
    list_->update();
    updatePagePanes();
    showWorking(browser_->working());
    return true;
}

LayoutDesign HistoryWindow::design() const {
    LayoutDesign d;
    const SIZE main = mainStrip_->toolbarSize();
    d.picMainHeight = twips_.fromY(main.cy);
    const SIZE button = filterStrip_->buttonSize();
    d.tlbButtonWidth = twips_.fromX(button.cx);
    d.tlbButtonHeight = twips_.fromY(button.cy);
    d.txtFilterHeight = d.tlbButtonHeight;
    d.picListHeight = d.txtFilterHeight;
    d.gripThickness = twips_.fromX(pictures_->imgLeftVertical.width());
    d.gripLength = twips_.fromY(pictures_->imgLeftVertical.height());
    return d;
}

RECT HistoryWindow::pixels(const Rect& r) const { return pixelsOf(r, twips_); }

bool HistoryWindow::OnSize(UINT, int, int) {
    if (!browser_) return false;
    layoutPass();
    return true;
}

void HistoryWindow::layoutPass() {
    MainLayout& layout = browser_->layout();
    const std::int16_t style = run_.viewSetting().ViewStyle;
    if (IsIconic(hwnd())) {
        layout.pass(0, 0, style, true);
        return;
    }
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    if (const auto size = MainLayout::enforcedOuterSize(twips_.fromX(outer.right - outer.left),
                                                        twips_.fromY(outer.bottom - outer.top))) {
        // The new size lays the window out again, inside this pass.
        SetWindowPos(hwnd(), nullptr, 0, 0, twips_.x(static_cast<int>(size->width)),
                     twips_.y(static_cast<int>(size->height)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (layout.pass(twips_.fromX(client.right), twips_.fromY(client.bottom), style)) applyLayout();
}

void HistoryWindow::applyLayout() {
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

void HistoryWindow::browserChanged(BrowserChange what) {
    if (!hwnd() || !browser_) return;
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

void HistoryWindow::updatePagePanes() {
    // Drawing a page at its natural size is the dear part of showing it: only for a page loaded since.
    if (browser_->pageLoads() == pageShown_) return;
    pageShown_ = browser_->pageLoads();
    viewArea_->update();
    pagePanel_->update();
}

void HistoryWindow::workStarts() {
    browserChanged(BrowserChange::cards);
    // What the commands did so far ("検索中" in the list's place, say) is on
    // the screen before the work starts, also when it is done right here.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void HistoryWindow::workSettled() {
    browserChanged(BrowserChange::cards);
    if (!hwnd()) return;
    if (refreshAsked_) {
        refreshAsked_ = false;
        browser_->RefreshKeepingSelection();
        return;
    }
    if (handedOver_ || closeAsked_) waiting_.post();
}

void HistoryWindow::showWorking(bool working) {
    if (working == workingShown_) return;
    workingShown_ = working;
    const HWND list = list_->list();
    if (working && GetFocus() == list) {
        // The keys go on reaching the window (F1, F5), and the list gets the
        // focus back once it takes input again.
        focusListWanted_ = true;
        SetFocus(hwnd());
    }
    EnableWindow(cards_->hwnd(), !working);
    EnableWindow(list, !working);
    EnableWindow(pagePanel_->pageButtons(), !working);
    mainStrip_->update(*browser_);
    if (!working && focusListWanted_) focusList();
    refreshPointer();
}

void HistoryWindow::refreshPointer() {
    POINT at{};
    if (!GetCursorPos(&at)) return;
    const HWND under = WindowFromPoint(at);
    if (!under || (under != hwnd() && !IsChild(hwnd(), under))) return;
    const auto hit = static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

// The list takes the focus whenever the window is activated or a card is
// chosen; while it is held back, once it takes input again.
void HistoryWindow::focusList() {
    const HWND list = list_ ? list_->list() : nullptr;
    if (!list) return;
    if (!IsWindowEnabled(list)) {
        focusListWanted_ = true;
        return;
    }
    focusListWanted_ = false;
    // Another program in front keeps the focus: the activation gives it to the list later.
    if (GetActiveWindow() == hwnd()) SetFocus(list);
}

void HistoryWindow::toolbarClicked(ToolbarButton button) {
    browser_->toolbarClick(button);
    mainStrip_->update(*browser_);
    InvalidateRect(mainStrip_->toolbar(), nullptr, TRUE);
    if (button == ToolbarButton::STYLE1 || button == ToolbarButton::STYLE2) browserChanged(BrowserChange::layout);
}

void HistoryWindow::filterAction(FilterAction action) {
    const std::string box = filterStrip_->text();
    const SearchBox::Reaction r = action == FilterAction::click   ? search_.buttonClick(box)
                                  : action == FilterAction::enter ? search_.enter(box)
                                                                  : search_.textChanged(box);
    if (r.boxText) filterStrip_->setText(*r.boxText);
    filterStrip_->showPicture(search_.picture());
    if (r.refresh) searchAgain();
}

void HistoryWindow::searchAgain() {
    browser_->showSearching();
    browser_->searchChanged();
}

int HistoryWindow::showAtPointer(const PopupMenu& menu) {
    POINT at{};
    GetCursorPos(&at);
    return kq::win32::showMenu(hwnd(), at, menu);
}

PropertyServices HistoryWindow::propertyServices() { return {.files = &files_, .help = givenHelp_}; }

void HistoryWindow::fileMenu() {
    switch (showAtPointer(browser_->fileMenu())) {
        case kMenuDelete:
            if (!browser_->currentHistory()) beep();
            deleteSelected();
            return;
        case kMenuProperties:
            if (const auto path = browser_->currentHistory()) showHistoryProperties(hwnd(), *path, propertyServices());
            return;
        case kMenuExport:
            if (const auto path = browser_->currentHistory()) showExportDialog(hwnd(), *path, {.files = &files_});
            return;
        default: return;
    }
}

void HistoryWindow::columnMenu() {
    const int id = showAtPointer(browser_->columnMenu());
    if (id == kMenuNone) return;
    browser_->columnChosen(id);
}

void HistoryWindow::cardMenu(std::size_t position) {
    switch (showAtPointer(viewer::cardMenu())) {
        case kMenuDelete:
            browser_->deleteCardHistories(position);
            return;
        case kMenuProperties:
            browser_->cardProperties(position, [this](const PropertyRows& rows) {
                showPropertyList(hwnd(), rows, givenHelp_);
            });
            return;
        default: return;
    }
}

void HistoryWindow::deleteSelected() {
    if (!browser_->currentHistory()) return;
    browser_->DeleteSelectedFiles();
}

bool HistoryWindow::keyPreviewed(const MSG& key) {
    if (key.message != WM_KEYDOWN) return false;
    if (key.hwnd == list_->list()) {
        const bool onlyCtrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
        switch (key.wParam) {
            // The page keys turn pages, never the list's selection.
            case VK_LEFT: browser_->previousPage(); return true;
            case VK_RIGHT: browser_->nextPage(); return true;
            case VK_DELETE: deleteSelected(); return true;
            case 'A':
                if (!onlyCtrl) break;
                browser_->selectAll();
                return true;
            default: break;
        }
    }
    switch (key.wParam) {
        case VK_F1:
            help_();
            return true;
        case VK_F5:
            // Once, after whatever the window is doing now.
            if (browser_->busy()) {
                refreshAsked_ = true;
            } else {
                browser_->RefreshKeepingSelection();
            }
            return true;
        default:
            return false;
    }
}

void HistoryWindow::activated(WPARAM state) {
    if (LOWORD(state) != WA_INACTIVE) focusList();
}

std::optional<LRESULT> HistoryWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            activated(wParam);
            return 0;
        case WM_SETCURSOR:
            if (!browser_ || !browser_->working() || LOWORD(lParam) != HTCLIENT) return std::nullopt;
            SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
            return TRUE;
        case WM_ENDSESSION:
            // The session may end the program without closing the window.
            if (wParam) saveViewSettings();
            return 0;
        default:
            return std::nullopt;
    }
}

void HistoryWindow::OnDestroy() {
    startClosing();
    // Nothing the work under way finds is shown any more.
    if (browser_) browser_->cancelWork();
    if (viewArea_) viewArea_->closeMagnifier();
    keys_.reset();
    saveViewSettings();
}

void HistoryWindow::saveViewSettings() {
    if (settingsSaved_ || !browser_) return;
    settingsSaved_ = true;
    c_Setting_View& view = run_.viewSetting();
    browser_->layout().storePositions(view);
    view.SaveViewSetting();
}

// Only while the spreadsheet's window stands and is not minimized; otherwise
// where the system put the window, which is on a screen. True: to be maximized.
bool HistoryWindow::placeOverHost() {
    const auto host = reinterpret_cast<HWND>(static_cast<INT_PTR>(run_.start.gParentHwnd));
    const bool maximize = run_.start.gParentWindowMaximized;
    run_.start.gParentWindowMaximized = false;
    if (!host || !IsWindow(host) || IsIconic(host)) return false;
    if (maximize) return true;
    RECT r{};
    if (!GetWindowRect(host, &r) || r.bottom - r.top <= 0) return false;
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return false;
    kq::win32::moveWindow(hwnd(), r, SWP_NOREDRAW);
    return false;
}

int HistoryWindow::message(std::string_view text, std::string_view title, unsigned style) {
    // The panes show the browser as it stands under the message: no row of a list since replaced.
    browserChanged(BrowserChange::cards);
    return kq::win32::MessagePrompts(hwnd()).message(text, title, style);
}

void HistoryWindow::beep() { MessageBeep(MB_OK); }

// ---- Lines of later starts, and closing

bool HistoryWindow::handOver(std::string line) {
    if (closingStarted_ || closeAsked_) return false;
    handedOver_ = std::move(line);
    // Never carried out here: this runs inside the message of another
    // process, possibly in the middle of a command of this window.
    waiting_.post();
    return true;
}

void HistoryWindow::runWaiting() {
    // The browser's steps and work come first: their end posts this again.
    if (browser_ && browser_->busy()) return;
    if (closeAsked_) {
        // The line is moot: its sender was refused and opens its own window.
        handedOver_.reset();
        startClosing();
        end(0);
        return;
    }
    if (!handedOver_) return;
    const std::string line = std::move(*handedOver_);
    handedOver_.reset();
    CallCommand(line);
}

void HistoryWindow::CallCommand(std::string_view strCommand) {
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    browser_->CallCommand(strCommand);
    SetForegroundWindowEx(hwnd());
}

// A close asked for in the middle of a command (a message of the delete, a
// menu) would pull the window from under it: it waits as a line does.
bool HistoryWindow::OnClose() {
    if (!waiting_.mayRunNow() || (browser_ && browser_->busy())) {
        closeAsked_ = true;
        // What long work would find is not wanted any more: it stops early.
        if (browser_ && browser_->working()) browser_->cancelWork();
        waiting_.post();
        return true;
    }
    startClosing();
    return false;
}

void HistoryWindow::startClosing() {
    if (closingStarted_) return;
    closingStarted_ = true;
    closing();
}

}  // namespace kq::viewer::win32
