#include "common/win32/msgbox_win32.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/window.h"

namespace kq::win32 {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class frmMsgBoxEx final : public Window {
public:
    explicit frmMsgBoxEx(MsgBoxExModel& model) : model_(model) {}

    void show(HWND owner);

private:
    bool OnInitDialog() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    bool OnClose() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCtlColor(UINT msg, HDC dc, HWND control);

    HWND createControl(const wchar_t* windowClass, DWORD style, int id, const std::wstring& text);
    void layOut();
    void place(HWND control, const TwipsRect& r) const;
    bool checkTicked() const;
    void finish();

    MsgBoxExModel& model_;
    Font font_;
    Brush white_;
    Twips twips_;
    std::vector<HWND> cmdButton_;
    HWND chkCheck_ = nullptr;
    HWND picIcon_ = nullptr;
    HWND lblText_ = nullptr;
    HWND lblBack_ = nullptr;
};

void frmMsgBoxEx::show(HWND owner) {
    // No controls in the template: they are made at load, sized from the text.
    const BlankDialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    runModalDialog(owner, dialog.get());
}

std::optional<LRESULT> frmMsgBoxEx::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnCtlColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            return std::nullopt;
    }
}

HWND frmMsgBoxEx::createControl(const wchar_t* windowClass, DWORD style, int id, const std::wstring& text) {
    return createChild(hwnd(), {.windowClass = windowClass, .text = text, .style = style, .id = id, .font = font_.get()});
}

bool frmMsgBoxEx::OnInitDialog() {
    const MsgBoxExArgs& args = model_.args();
    SetWindowTextW(hwnd(), wide(args.Title).c_str());
    font_ = createFormFont();
    white_ = Brush(CreateSolidBrush(kWhite));
    twips_ = screenTwips();

    // Creation order is tab order: the first button takes the focus, then
    // the others and the check box; the band goes last, beneath everything.
    const MsgBoxButtonSet& set = model_.buttonSet();
    for (std::size_t i = 0; i < set.buttons.size(); ++i) {
        const DWORD group = i == 0 ? WS_GROUP : 0;
        cmdButton_.push_back(createControl(L"BUTTON", WS_VISIBLE | WS_TABSTOP | group | BS_PUSHBUTTON,
                                           msgbox_ids::kFirstButton + static_cast<int>(i),
                                           wide(set.buttons[i].caption)));
    }
    chkCheck_ = createControl(L"BUTTON", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX | (args.ShowCheck ? WS_VISIBLE : 0),
                              msgbox_ids::kCheck, wide(args.CheckCaption));
    SendMessageW(chkCheck_, BM_SETCHECK, args.ShowCheck && args.CheckValue ? BST_CHECKED : BST_UNCHECKED, 0);
    picIcon_ = createControl(L"STATIC", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, msgbox_ids::kIcon, L"");
    // A shared system icon: the system owns it.
    SendMessageW(picIcon_, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_EXCLAMATION)), 0);
    lblText_ = createControl(L"STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, msgbox_ids::kText, L"");
    lblBack_ = createControl(L"STATIC", WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT, msgbox_ids::kBand, L"");

    layOut();

    SendMessageW(hwnd(), DM_SETDEFID, msgbox_ids::kFirstButton + static_cast<int>(model_.defaultIndex()), 0);
    if (model_.topmost()) SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cmdButton_.front()), TRUE);
    // The focus is set already: the first button.
    return false;
}

void frmMsgBoxEx::layOut() {
    const MsgBoxExArgs& args = model_.args();
    const WindowDc dc = windowDc(hwnd());
    const Selection useFont = selectObject(dc.get(), font_.get());
    const TextWidth width = [&](std::string_view text) {
        return twips_.fromX(lineExtent(dc.get(), wide(text)).cx);
    };
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);

    const std::vector<std::string> lines = breakLines(args.Prompt, msgbox_design::kWrapWidth, width);
    SetWindowTextW(lblText_, wide(joinLines(lines)).c_str());
    int textWidthPixels = 0;
    for (const std::string& line : lines) {
        textWidthPixels = std::max(textWidthPixels, static_cast<int>(lineExtent(dc.get(), wide(line)).cx));
    }

    MsgBoxLayoutInput in;
    in.iconWidth = twips_.fromX(GetSystemMetrics(SM_CXICON));
    in.iconHeight = twips_.fromY(GetSystemMetrics(SM_CYICON));
    in.textWidth = twips_.fromX(textWidthPixels);
    in.textHeight = twips_.fromY(static_cast<int>(lines.size()) * tm.tmHeight);
    in.buttonCount = cmdButton_.size();
    in.showCheck = args.ShowCheck;
    in.checkCaptionWidth = width(args.CheckCaption);
    const MsgBoxLayout layout = layOutMsgBox(in);

    place(picIcon_, layout.picIcon);
    place(lblText_, layout.lblText);
    for (std::size_t i = 0; i < cmdButton_.size(); ++i) place(cmdButton_[i], layout.cmdButton[i]);
    if (layout.chkCheck) place(chkCheck_, *layout.chkCheck);
    place(lblBack_, layout.lblBack);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    RECT outer{0, 0, twips_.x(layout.clientWidth), twips_.y(layout.clientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;

    // Centred on the screen the owner is on (the main screen without an owner).
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcWork;
    const int left = screen.left + (screen.right - screen.left - outerWidth) / 2;
    const int top = screen.top + (screen.bottom - screen.top - outerHeight) / 2;
    SetWindowPos(hwnd(), nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMsgBoxEx::place(HWND control, const TwipsRect& r) const {
    placeControl(control, r, twips_, false);
}

bool frmMsgBoxEx::checkTicked() const {
    return SendMessageW(chkCheck_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool frmMsgBoxEx::OnCommand(int id, UINT code, HWND) {
    if (code != BN_CLICKED) return true;
    const int index = id - msgbox_ids::kFirstButton;
    if (index >= 0 && static_cast<std::size_t>(index) < cmdButton_.size()) {
        model_.press(static_cast<std::size_t>(index), checkTicked());
    } else if (id == IDCANCEL) {
        // Esc.
        model_.pressCancel(checkTicked());
    } else if (id == IDOK) {
        model_.press(model_.defaultIndex(), checkTicked());
    } else {
        return true;
    }
    finish();
    return true;
}

bool frmMsgBoxEx::OnClose() {
    model_.close(checkTicked());
    finish();
    return true;
}

void frmMsgBoxEx::finish() { end(1); }

LRESULT frmMsgBoxEx::OnCtlColor(UINT msg, HDC dc, HWND control) {
    // The message sits on white; the buttons and the check box on the band.
    const bool onBand = msg == WM_CTLCOLORBTN || control == chkCheck_ || control == lblBack_;
    if (onBand) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    SetBkColor(dc, kWhite);
    return reinterpret_cast<LRESULT>(white_.get());
}

}  // namespace

std::int32_t MsgBoxEx(HWND owner, const MsgBoxExArgs& args) {
    MsgBoxExModel model(args);
    frmMsgBoxEx form(model);
    form.show(owner);
    // The window could not be shown: nobody answered, so the answer is the
    // close box's with the check box as it would have started.
    if (!model.answered()) model.close(args.CheckValue);
    return model.MsgBoxExResult;
}

}  // namespace kq::win32
