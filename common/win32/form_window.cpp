#include "common/win32/form_window.h"

#include <algorithm>
#include <memory>

#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"KqForm";
constexpr wchar_t kPanelClass[] = L"KqFormPanel";
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Owned and without WS_EX_APPWINDOW: out of the task bar. Tab walks into panels.
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Holds controls and nothing else: what they tell goes on up to the form.
class Panel final : public Window {};

bool isChildOf(HWND parent, HWND window) { return window && IsChild(parent, window); }

bool classIs(HWND window, const wchar_t* name) {
    wchar_t found[32] = {};
    GetClassNameW(window, found, 32);
    return lstrcmpiW(found, name) == 0;
}

}  // namespace

HWND createPanel(HWND parent, const RECT& at, int id, DWORD exStyle) {
    return Window::createOwned(std::make_unique<Panel>(),
                               {.name = kPanelClass, .background = GetSysColorBrush(COLOR_BTNFACE)},
                               {.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                                           .exStyle = WS_EX_CONTROLPARENT | exStyle,
                                                           .x = at.left,
                                                           .y = at.top,
                                                           .width = at.right - at.left,
                                                           .height = at.bottom - at.top,
                                                           .owner = parent,
                                                           .id = id});
}

INT_PTR Form::showModal(HWND owner, const std::wstring& caption, int clientWidthTwips, int clientHeightTwips) {
    if (!Window::registerClass({.name = kFormClass,
                                .background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))})) {
        return -1;
    }
    twips_ = screenTwips();
    RECT outer{0, 0, twips_.x(clientWidthTwips), twips_.y(clientHeightTwips)};
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
    // A form without one of its controls would stand there as if whole.
    if (!OnLoad() || controlMissing_) return false;
    if (!lastFocus_) lastFocus_ = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
    return true;
}

RECT Form::pixels(const TwipsRect& r) const { return pixelRect(twips_, r); }

HWND Form::addControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                      const TwipsRect& at, int id, DWORD exStyle) {
    const HWND control = createChild(parent, {.windowClass = windowClass,
                                              .text = wide(text),
                                              .style = style,
                                              .exStyle = exStyle,
                                              .rect = pixels(at),
                                              .id = id,
                                              .font = font_.get()});
    if (!control) controlMissing_ = true;
    return control;
}

void Form::place(HWND control, const TwipsRect& at) const { placeControl(control, at, twips_); }

int Form::fitToText(HWND control, int maxRight) const {
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&at), 2);
    const std::wstring text = wideWindowText(control);
    const WindowDc dc = windowDc(control);
    const Selection use = selectObject(dc.get(), font_.get());
    const bool checkBox = (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
                          classIs(control, L"Button");
    const int box = checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) * 2 : 0;
    const SIZE line = lineExtent(dc.get(), text);
    if (checkBox || at.bottom - at.top < 2 * line.cy) {
        at.right = std::max<LONG>(at.right, std::min<LONG>(maxRight, at.left + line.cx + box));
    } else {
        RECT wrapped{0, 0, at.right - at.left, 0};
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &wrapped,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        at.bottom = std::max<LONG>(at.bottom, at.top + wrapped.bottom);
    }
    MoveWindow(control, at.left, at.top, at.right - at.left, at.bottom - at.top, TRUE);
    return at.right;
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
