#include "viewer/main_window/win32/toolbar_window.h"

#include <array>
#include <string_view>

#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kStripClass = L"KqViewerStrip";
constexpr int kToolbarId = 1;
constexpr int kBoxId = 2;
constexpr int kButtonId = 3;
// Command ids of the main toolbar's buttons: the button's place in ToolbarButton + 1.
constexpr int kFirstButtonCommand = 1;
constexpr int kSearchCommand = 1;

struct MainButton {
    ToolbarButton button;
    std::string_view key;
    std::string_view tip;
};
constexpr std::array<MainButton, kToolbarButtons> kMainButtons = {{
    {ToolbarButton::ID1, "ID1", texts::kGroupAllTip},
    {ToolbarButton::ID2, "ID2", texts::kGroupSheetTip},
    {ToolbarButton::ID3, "ID3", texts::kGroupIdTip},
    {ToolbarButton::ID4, "ID4", texts::kGroupCategoryTip},
    {ToolbarButton::STYLE1, "STYLE1", texts::kStyleThreeTip},
    {ToolbarButton::STYLE2, "STYLE2", texts::kStyleTwoTip},
}};

int commandOf(ToolbarButton button) { return kFirstButtonCommand + static_cast<int>(button); }

bool createStrip(kq::win32::Window& strip, HWND parent, int id) {
    return kq::win32::createCompoundControl(strip, parent, {.windowClass = kStripClass, .id = id}) != nullptr;
}

}  // namespace

HWND createToolbar(HWND parent, HIMAGELIST images, int id) {
    const HWND toolbar = kq::win32::createChild(
        parent, {.windowClass = TOOLBARCLASSNAMEW,
                 .style = WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                 .id = id});
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    return toolbar;
}

TBBUTTON toolbarButton(int image, int command, BYTE state) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = state;
    b.fsStyle = BTNS_BUTTON;
    return b;
}

std::optional<FirstAndLast> firstAndLastButton(HWND toolbar) {
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    FirstAndLast buttons{};
    if (count == 0 || !SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&buttons.first)) ||
        !SendMessageW(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&buttons.last))) {
        return std::nullopt;
    }
    return buttons;
}

SIZE toolbarExtent(HWND toolbar) {
    const std::optional<FirstAndLast> b = firstAndLastButton(toolbar);
    if (!b) return {};
    // Down to where the buttons end: the toolbar sets them a little below its top.
    return {b->last.left + (b->first.right - b->first.left), b->first.bottom};
}

MainToolbarStrip::MainToolbarStrip(const PictureList& pictures) : pictures_(pictures) {}

bool MainToolbarStrip::create(HWND parent, int id) {
    if (!createStrip(*this, parent, id)) return false;
    toolbar_ = createToolbar(hwnd(), pictures_.handle(), kToolbarId);
    if (!toolbar_) return false;
    std::array<TBBUTTON, kToolbarButtons + 1> buttons{};
    std::size_t at = 0;
    for (const MainButton& b : kMainButtons) {
        // A separator parts the groupings from the layouts.
        if (b.button == ToolbarButton::STYLE1) {
            buttons[at] = toolbarButton(0, 0, 0);
            buttons[at++].fsStyle = BTNS_SEP;
        }
        buttons[at++] = toolbarButton(pictures_.index(b.key), commandOf(b.button));
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    const SIZE size = toolbarSize();
    SetWindowPos(toolbar_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

SIZE MainToolbarStrip::toolbarSize() const { return toolbarExtent(toolbar_); }

void MainToolbarStrip::place(const RECT& pixels) { kq::win32::moveWindow(hwnd(), pixels); }

void MainToolbarStrip::update(const HistoryBrowser& browser) {
    for (const MainButton& b : kMainButtons) {
        const int command = commandOf(b.button);
        SendMessageW(toolbar_, TB_HIDEBUTTON, command, MAKELPARAM(!browser.buttonVisible(b.button), 0));
        SendMessageW(toolbar_, TB_CHECKBUTTON, command, MAKELPARAM(browser.buttonPressed(b.button), 0));
        // A grouping would replace the cards that are being made.
        const bool grouping = b.button != ToolbarButton::STYLE1 && b.button != ToolbarButton::STYLE2;
        SendMessageW(toolbar_, TB_ENABLEBUTTON, command, MAKELPARAM(!grouping || !browser.working(), 0));
    }
}

bool MainToolbarStrip::OnCommand(int id, UINT, HWND control) {
    if (control != toolbar_) return false;
    for (const MainButton& b : kMainButtons) {
        if (commandOf(b.button) == id) clicked(b.button);
    }
    return true;
}

std::optional<LRESULT> MainToolbarStrip::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != toolbar_ || header.code != TBN_GETINFOTIPW) return std::nullopt;
    auto& tip = const_cast<NMTBGETINFOTIPW&>(reinterpret_cast<const NMTBGETINFOTIPW&>(header));
    for (const MainButton& b : kMainButtons) {
        if (commandOf(b.button) == tip.iItem && tip.pszText && tip.cchTextMax > 0) {
            lstrcpynW(tip.pszText, kq::win32::wide(b.tip).c_str(), tip.cchTextMax);
        }
    }
    return 0;
}

FilterStrip::FilterStrip(const PictureList& pictures, HFONT font) : pictures_(pictures), font_(font) {}

bool FilterStrip::create(HWND parent, int id) {
    if (!createStrip(*this, parent, id)) return false;
    box_ = kq::win32::createChild(hwnd(), {.windowClass = L"EDIT",
                                           .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                           .exStyle = WS_EX_CLIENTEDGE,
                                           .id = kBoxId,
                                           .font = font_});
    button_ = createToolbar(hwnd(), pictures_.handle(), kToolbarId);
    if (!box_ || !button_) return false;
    SetWindowLongPtrW(button_, GWLP_ID, kButtonId);
    const TBBUTTON search = toolbarButton(pictures_.index("SEARCH"), kSearchCommand);
    SendMessageW(button_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&search));
    return boxKeys_.attach(box_, [this](UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        // The loop's dialog keys would take Enter for a default button first.
        const auto* asked = reinterpret_cast<const MSG*>(lParam);
        if (msg == WM_GETDLGCODE && asked && asked->message == WM_KEYDOWN && asked->wParam == VK_RETURN) {
            return boxKeys_.original(msg, wParam, lParam) | DLGC_WANTALLKEYS;
        }
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            tell(FilterAction::enter);
            return 0;
        }
        // The box has no use for the Enter character.
        if (msg == WM_CHAR && wParam == L'\r') return 0;
        return std::nullopt;
    });
}

std::string FilterStrip::text() const { return kq::win32::windowText(box_); }

void FilterStrip::setText(std::string_view text) {
    settingText_ = true;
    SetWindowTextW(box_, kq::win32::wide(text).c_str());
    // The caret stays at the end, where typing goes on.
    const auto end = static_cast<LPARAM>(GetWindowTextLengthW(box_));
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(end), end);
    settingText_ = false;
}

void FilterStrip::showPicture(SearchPicture picture) {
    const int image = pictures_.index(picture == SearchPicture::search ? "SEARCH" : "DELETE");
    SendMessageW(button_, TB_CHANGEBITMAP, kSearchCommand, MAKELPARAM(image, 0));
}

bool FilterStrip::OnCommand(int id, UINT code, HWND control) {
    if (control == button_ && id == kSearchCommand) {
        tell(FilterAction::click);
        return true;
    }
    if (control == box_ && code == EN_CHANGE) {
        tell(FilterAction::change);
        return true;
    }
    return false;
}

SIZE FilterStrip::buttonSize() const { return toolbarExtent(button_); }

void FilterStrip::place(const RECT& strip, const RECT& box, const RECT& button) {
    kq::win32::moveWindow(hwnd(), strip);
    kq::win32::moveWindow(box_, box);
    kq::win32::moveWindow(button_, button);
}

}  // namespace kq::viewer::win32
