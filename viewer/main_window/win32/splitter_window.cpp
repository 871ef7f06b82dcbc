#include "viewer/main_window/win32/splitter_window.h"

#include <windowsx.h>

#include "common/win32/forms.h"
#include "common/win32/handles.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KqSplitterPart";

LPCWSTR cursorOf(int index) {
    switch (splitterCursor(index)) {
        case SplitterCursor::sizeAll: return IDC_SIZEALL;
        case SplitterCursor::sizeNorthSouth: return IDC_SIZENS;
        case SplitterCursor::sizeWestEast: break;
    }
    return IDC_SIZEWE;
}

// The buttons held during a move, as the layout numbers them: 1 left, 2 right, 4 middle.
int buttonsHeld(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

}  // namespace

SplitterPart::SplitterPart(int index, MainLayout& layout, const PictureList& grip, Twips twips)
    : index_(index), layout_(layout), grip_(grip), twips_(twips) {}

bool SplitterPart::create(HWND parent, int id) {
    if (!kq::win32::Window::registerClass({.name = kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)})) {
        return false;
    }
    return kq::win32::Window::create({.windowClass = kClassName,
                                      .style = WS_CHILD | WS_CLIPSIBLINGS,
                                      .x = 0,
                                      .y = 0,
                                      .owner = parent,
                                      .id = id}) != nullptr;
}

void SplitterPart::place(const RECT& r, bool visible) {
    kq::win32::moveWindow(hwnd(), r, visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
}

bool SplitterPart::OnPaint() {
    const kq::win32::PaintDc paint = kq::win32::beginPaint(hwnd());
    if (isGrip() && paint) ImageList_Draw(grip_.handle(), 0, paint.value().paint.hdc, 0, 0, ILD_NORMAL);
    return true;
}

double SplitterPart::xTwips(LPARAM at) const { return GET_X_LPARAM(at) * twips_.perPixelX(); }
double SplitterPart::yTwips(LPARAM at) const { return GET_Y_LPARAM(at) * twips_.perPixelY(); }

void SplitterPart::pressed(int button, LPARAM at) {
    // The part keeps the mouse until its button comes up, as a control does.
    SetCapture(hwnd());
    layout_.press(index_, button, xTwips(at), yTwips(at));
}

void SplitterPart::released(int button, WPARAM stillHeld) {
    // The layout hears of the release before the hold goes, so the lost hold finds no drag.
    const bool ran = layout_.release(index_, button);
    if (buttonsHeld(stillHeld) == 0 && GetCapture() == hwnd()) ReleaseCapture();
    passRan(ran);
}

void SplitterPart::passRan(bool ran) {
    if (ran) changed(BrowserChange::layout);
}

std::optional<LRESULT> SplitterPart::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, cursorOf(index_)));
            return TRUE;
        case WM_LBUTTONDOWN: pressed(1, lParam); return 0;
        case WM_RBUTTONDOWN: pressed(2, lParam); return 0;
        case WM_MBUTTONDOWN: pressed(4, lParam); return 0;
        case WM_MOUSEMOVE:
            passRan(layout_.move(index_, buttonsHeld(wParam), xTwips(lParam), yTwips(lParam)));
            return 0;
        case WM_LBUTTONUP: released(1, wParam); return 0;
        case WM_RBUTTONUP: released(2, wParam); return 0;
        case WM_MBUTTONUP: released(4, wParam); return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd()) passRan(layout_.captureLost());
            return 0;
        default: return std::nullopt;
    }
}

}  // namespace kq::viewer::win32
