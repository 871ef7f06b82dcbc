#include "common/win32/form_window.h"

#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"KqForm";
constexpr wchar_t kPanelClass[] = L"KqFormPanel";
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Owned and without WS_EX_APPWINDOW: out of the task bar. Tab walks into panels.
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool handsOn(UINT msg) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK panelProc(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (handsOn(msg)) {
        if (const HWND parent = GetParent(panel)) return SendMessageW(parent, msg, wParam, lParam);
    }
    return DefWindowProcW(panel, msg, wParam, lParam);
}

bool registerPanelClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = panelProc;
    wc.hInstance = thisModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kPanelClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool isChildOf(HWND parent, HWND window) { return window && IsChild(parent, window); }

}  // namespace

HWND createPanel(HWND parent, const RECT& at, int id) {
    if (!registerPanelClass()) return nullptr;
    return createChild(parent, {.windowClass = kPanelClass,
                                .style = WS_VISIBLE | WS_CLIPSIBLINGS,
                                .exStyle = WS_EX_CONTROLPARENT,
                                .rect = at,
                                .id = id});
}

INT_PTR Form::showModal(HWND owner, const std::wstring& caption, int clientWidthTwips, int clientHeightTwips) {
    if (!Window::registerClass({.name = kFormClass,
                                .background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))})) {
        return -1;
    }
    tpp_ = screenTwipsPerPixel();
    RECT outer{0, 0, twipsToPixels(clientWidthTwips, tpp_.x), twipsToPixels(clientHeightTwips, tpp_.y)};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // Centred on the screen the owner is on (the main screen without an owner).
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcWork;
    return runModal(owner, {.windowClass = kFormClass,
                            .text = caption,
                            .style = kFormStyle,
                            .exStyle = kFormExStyle,
                            .x = screen.left + (screen.right - screen.left - width) / 2,
                            .y = screen.top + (screen.bottom - screen.top - height) / 2,
                            .width = width,
                            .height = height});
}

bool Form::OnCreate(const CREATESTRUCTW&) {
    font_ = createFormFont();
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (!OnLoad()) return false;
    if (!lastFocus_) lastFocus_ = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
    return true;
}

RECT Form::pixels(const TwipsRect& r) const {
    const int left = twipsToPixels(r.left, tpp_.x);
    const int top = twipsToPixels(r.top, tpp_.y);
    return {left, top, left + twipsToPixels(r.width, tpp_.x), top + twipsToPixels(r.height, tpp_.y)};
}

HWND Form::addControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                      const TwipsRect& at, int id, DWORD exStyle) {
    return createChild(parent, {.windowClass = windowClass,
                                .text = wide(text),
                                .style = style,
                                .exStyle = exStyle,
                                .rect = pixels(at),
                                .id = id,
                                .font = font_.get()});
}

void Form::place(HWND control, const TwipsRect& at) const {
    const RECT r = pixels(at);
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Form::focus(HWND control) {
    if (!control) return;
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
    SetFocus(control);
    lastFocus_ = control;
}

bool Form::OnClose() {
    // The close box is Cancel.
    OnCommand(IDCANCEL, BN_CLICKED, nullptr);
    return true;
}

std::optional<LRESULT> Form::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case DM_GETDEFID: {
            // Enter presses the button that has the focus, and OK from anything else.
            const HWND focused = GetFocus();
            if (isChildOf(hwnd(), focused) &&
                (SendMessageW(focused, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
                return MAKELRESULT(GetDlgCtrlID(focused), DC_HASDEFID);
            }
            return GetDlgItem(hwnd(), IDOK) ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (isChildOf(hwnd(), GetFocus())) lastFocus_ = GetFocus();
            } else if (lastFocus_ && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            return std::nullopt;
        case WM_SHOWWINDOW:
            if (wParam && lastFocus_) focus(lastFocus_);
            return std::nullopt;
        default:
            return OnFormMessage(msg, wParam, lParam);
    }
}

}  // namespace kq::win32
