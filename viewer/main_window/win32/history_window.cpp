#include "viewer/main_window/win32/history_window.h"

#include <string>

#include "common/text_codec.h"
#include "common/win32/forms.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "viewer/file_list/win32/list_text_order.h"
#include "viewer/main_window/win32/help.h"
#include "viewer/start/win32/foreground.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KqHistoryWindow";
constexpr int kClientWidthTwips = 12915;
constexpr int kClientHeightTwips = 7335;

}  // namespace

HistoryWindow::HistoryWindow(ViewerRun& run, HistoryWindowServices services)
    : run_(run), twips_(kq::win32::screenTwips()), files_(kq::win32::filesOrSystem(services.files)),
      help_(services.help ? services.help : [this] { Command_Help(*this); }), givenHelp_(std::move(services.help)),
      work_(services.work) {
    onLineDue_ = waiting_.lineDue.connect([this](const std::string& line) { CallCommand(line); });
    onCloseDue_ = waiting_.closeDue.connect([this] {
        startClosing();
        end(0);
    });
}

HistoryWindow::~HistoryWindow() = default;

bool HistoryWindow::open() {
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT outer{0, 0, twips_.x(kClientWidthTwips), twips_.y(kClientHeightTwips)};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const std::string caption = std::string(texts::kTitle) + std::string(texts::kCaptionSuffix);
    if (!create({.name = kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)},
                {.text = kq::win32::wide(caption),
                 .style = style,
                 .width = outer.right - outer.left,
                 .height = outer.bottom - outer.top})) {
        return false;
    }
    ShowWindow(hwnd(), placeOverHost() ? SW_SHOWMAXIMIZED : SW_SHOW);
    panes_->layoutPass();
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
    return makeParts();
}

bool HistoryWindow::makeParts() {
    const HWND self = hwnd();
    panes_.emplace(*pictures_, font_.get(), twips_);
    if (!panes_->makeStrips(self)) return false;

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
                     run_.viewSetting(), run_.start, measureCards(pictures_->imlIcon, twips_), panes_->design());
    search_.bind(*panes_->filterStrip(), *browser_);
    if (!panes_->makePanes(self, *browser_)) return false;
    menus_.emplace(self, *browser_, *panes_, files_, static_cast<Prompts&>(*this), givenHelp_);
    keys_.emplace(self, *browser_, *panes_, *menus_, help_);

    browser_->load();
    onWorkStarts_ = browser_->workStarts().connect([this] { workStarts(); });
    onSettled_ = browser_->settled().connect([this] { workSettled(); });
    onListFocus_ = browser_->listFocus.connect([this] { panes_->focusList(); });
    panes_->showFirst();
    return true;
}

bool HistoryWindow::OnSize(UINT, int, int) {
    if (!browser_ || !panes_) return false;
    panes_->layoutPass();
    return true;
}

void HistoryWindow::workStarts() {
    if (!hwnd()) return;
    panes_->browserChanged(BrowserChange::cards);
    // What the commands did so far ("検索中" in the list's place, say) is on
    // the screen before the work starts, also when it is done right here.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void HistoryWindow::workSettled() {
    if (!hwnd()) return;
    panes_->browserChanged(BrowserChange::cards);
    if (keys_ && keys_->refreshWaiting()) return;
    waiting_.settled();
}

std::optional<LRESULT> HistoryWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && panes_) panes_->focusList();
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

void HistoryWindow::CallCommand(std::string_view strCommand) {
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    browser_->CallCommand(strCommand);
    SetForegroundWindowEx(hwnd());
}

// A close asked for in the middle of a command (a message of the delete, a
// menu) would pull the window from under it: it waits as a line does.
bool HistoryWindow::OnClose() {
    if (!waiting_.closeNowOrLater()) {
        // What long work would find is not wanted any more: it stops early.
        if (browser_ && browser_->working()) browser_->cancelWork();
        return true;
    }
    startClosing();
    return false;
}

void HistoryWindow::startClosing() {
    if (closingStarted_) return;
    closingStarted_ = true;
    waiting_.closing();
    closing();
}

void HistoryWindow::OnDestroy() {
    startClosing();
    // Nothing the work under way finds is shown any more.
    if (browser_) browser_->cancelWork();
    if (panes_) panes_->closeMagnifier();
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
    if (hwnd() && panes_) panes_->browserChanged(BrowserChange::cards);
    return prompts_.message(text, title, style);
}

void HistoryWindow::beep() { prompts_.beep(); }

}  // namespace kq::viewer::win32
