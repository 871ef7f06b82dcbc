#include "addin/recording/win32/msgbox_win32.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "addin/recording/win32/window_support.h"
#include "common/win32/wide.h"

namespace kq::addin::recording::win32 {

namespace {

using kq::win32::wide;

constexpr COLORREF kWhite = RGB(255, 255, 255);

int toPixels(int twips, double twipsPerPixel) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }
int toTwips(int pixels, double twipsPerPixel) { return static_cast<int>(std::lround(pixels * twipsPerPixel)); }

class frmMsgBoxEx {
public:
    explicit frmMsgBoxEx(MsgBoxExModel& model) : model_(model) {}
    frmMsgBoxEx(const frmMsgBoxEx&) = delete;
    frmMsgBoxEx& operator=(const frmMsgBoxEx&) = delete;

    void show(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id);
    void OnClose();
    INT_PTR OnCtlColor(UINT msg, HDC dc, HWND control);

    HWND createControl(const wchar_t* windowClass, DWORD style, int id, const std::wstring& text);
    void layOut();
    void place(HWND control, const TwipsRect& r) const;
    bool checkTicked() const;
    void finish();

    MsgBoxExModel& model_;
    HWND hwnd_ = nullptr;
    Font font_;
    Brush white_;
    TwipsPerPixel tpp_;
    std::vector<HWND> cmdButton_;
    HWND chkCheck_ = nullptr;
    HWND picIcon_ = nullptr;
    HWND lblText_ = nullptr;
    HWND lblBack_ = nullptr;
};

void frmMsgBoxEx::show(HWND owner) {
    // An empty template: the controls are made at load, sized from the text.
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu;
        WORD windowClass;
        WORD title;
    } tmpl{};
    tmpl.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DialogBoxIndirectParamW(kq::win32::thisModule(), &tmpl.dialog, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK frmMsgBoxEx::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        reinterpret_cast<frmMsgBoxEx*>(lParam)->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
    }
    auto* self = reinterpret_cast<frmMsgBoxEx*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    try {
        return self->OnMessage(msg, wParam, lParam);
    } catch (...) {
        // A box that failed to build can't be answered: leave it unanswered.
        if (msg == WM_INITDIALOG) EndDialog(hwnd, 0);
        return FALSE;
    }
}

INT_PTR frmMsgBoxEx::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            OnInitDialog();
            // The focus is set already: the first button.
            return FALSE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnCtlColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            return FALSE;
    }
}

HWND frmMsgBoxEx::createControl(const wchar_t* windowClass, DWORD style, int id, const std::wstring& text) {
    HWND control = CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), kq::win32::thisModule(), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

void frmMsgBoxEx::OnInitDialog() {
    const MsgBoxExArgs& args = model_.args();
    SetWindowTextW(hwnd_, wide(args.Title).c_str());
    font_ = createFormFont();
    white_ = Brush(CreateSolidBrush(kWhite));
    tpp_ = screenTwipsPerPixel();

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

    SendMessageW(hwnd_, DM_SETDEFID, msgbox_ids::kFirstButton + static_cast<int>(model_.defaultIndex()), 0);
    if (model_.topmost()) SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cmdButton_.front()), TRUE);
}

void frmMsgBoxEx::layOut() {
    const MsgBoxExArgs& args = model_.args();
    WindowDc dc(hwnd_);
    SelectGuard useFont(dc.get(), font_.get());
    const TextWidth width = [&](std::string_view text) {
        return toTwips(lineExtent(dc.get(), wide(text)).cx, tpp_.x);
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
    in.iconWidth = toTwips(GetSystemMetrics(SM_CXICON), tpp_.x);
    in.iconHeight = toTwips(GetSystemMetrics(SM_CYICON), tpp_.y);
    in.textWidth = toTwips(textWidthPixels, tpp_.x);
    in.textHeight = toTwips(static_cast<int>(lines.size()) * tm.tmHeight, tpp_.y);
    in.buttonCount = cmdButton_.size();
    in.showCheck = args.ShowCheck;
    in.checkCaptionWidth = width(args.CheckCaption);
    const MsgBoxLayout layout = layOutMsgBox(in);

    place(picIcon_, layout.picIcon);
    place(lblText_, layout.lblText);
    for (std::size_t i = 0; i < cmdButton_.size(); ++i) place(cmdButton_[i], layout.cmdButton[i]);
    if (layout.chkCheck) place(chkCheck_, *layout.chkCheck);
    place(lblBack_, layout.lblBack);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    RECT outer{0, 0, toPixels(layout.clientWidth, tpp_.x), toPixels(layout.clientHeight, tpp_.y)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;

    // Centred on the screen the owner is on (the main screen without an owner).
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcWork;
    const int left = screen.left + (screen.right - screen.left - outerWidth) / 2;
    const int top = screen.top + (screen.bottom - screen.top - outerHeight) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMsgBoxEx::place(HWND control, const TwipsRect& r) const {
    MoveWindow(control, toPixels(r.left, tpp_.x), toPixels(r.top, tpp_.y), toPixels(r.width, tpp_.x),
               toPixels(r.height, tpp_.y), FALSE);
}

bool frmMsgBoxEx::checkTicked() const {
    return SendMessageW(chkCheck_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmMsgBoxEx::OnCommand(int id) {
    const int index = id - msgbox_ids::kFirstButton;
    if (index >= 0 && static_cast<std::size_t>(index) < cmdButton_.size()) {
        model_.press(static_cast<std::size_t>(index), checkTicked());
    } else if (id == IDCANCEL) {
        // Esc.
        model_.pressCancel(checkTicked());
    } else if (id == IDOK) {
        model_.press(model_.defaultIndex(), checkTicked());
    } else {
        return;
    }
    finish();
}

void frmMsgBoxEx::OnClose() {
    model_.close(checkTicked());
    finish();
}

void frmMsgBoxEx::finish() { EndDialog(hwnd_, 1); }

INT_PTR frmMsgBoxEx::OnCtlColor(UINT msg, HDC dc, HWND control) {
    // The message sits on white; the buttons and the check box on the band.
    const bool onBand = msg == WM_CTLCOLORBTN || control == chkCheck_ || control == lblBack_;
    if (onBand) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    SetBkColor(dc, kWhite);
    return reinterpret_cast<INT_PTR>(white_.get());
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

}  // namespace kq::addin::recording::win32
