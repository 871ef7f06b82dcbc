#include "viewer/main_window/win32/splitter_window.h"

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

// A button as the layout numbers it: 1 left, 2 right, 4 middle.
int layoutButton(kq::win32::MouseButton button) {
    switch (button) {
        case kq::win32::MouseButton::left: return 1;
        case kq::win32::MouseButton::right: return 2;
        case kq::win32::MouseButton::middle: break;
    }
    return 4;
}

// The buttons held during a move, numbered as the layout numbers them.
int buttonsHeld(UINT keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

}  // namespace

SplitterPart::SplitterPart(int index, MainLayout& layout, const PictureList& grip, Twips twips)
    : index_(index), layout_(layout), grip_(grip), twips_(twips) {}

bool SplitterPart::create(HWND parent, int id) {
    return kq::win32::Window::create({.name = kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)},
                                     {.style = WS_CHILD | WS_CLIPSIBLINGS, .x = 0, .y = 0, .owner = parent, .id = id}) !=
           nullptr;
}

void SplitterPart::place(const RECT& r, bool visible) {
    kq::win32::moveWindow(hwnd(), r, visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
}

bool SplitterPart::OnPaint() {
    const kq::win32::PaintDc paint = kq::win32::beginPaint(hwnd());
    if (isGrip() && paint) ImageList_Draw(grip_.handle(), 0, paint.value().paint.hdc, 0, 0, ILD_NORMAL);
    return true;
}

double SplitterPart::xTwips(POINT at) const { return at.x * twips_.perPixelX(); }
double SplitterPart::yTwips(POINT at) const { return at.y * twips_.perPixelY(); }

bool SplitterPart::OnMouseDown(kq::win32::MouseButton button, POINT at, UINT) {
    // The part keeps the mouse until its button comes up, as a control does.
    SetCapture(hwnd());
    layout_.press(index_, layoutButton(button), xTwips(at), yTwips(at));
    return true;
}

bool SplitterPart::OnMouseMove(POINT at, UINT keys) {
    passRan(layout_.move(index_, buttonsHeld(keys), xTwips(at), yTwips(at)));
    return true;
}

bool SplitterPart::OnMouseUp(kq::win32::MouseButton button, POINT, UINT stillHeld) {
    // The layout hears of the release before the hold goes, so the lost hold finds no drag.
    const bool ran = layout_.release(index_, layoutButton(button));
    if (buttonsHeld(stillHeld) == 0 && GetCapture() == hwnd()) ReleaseCapture();
    passRan(ran);
    return true;
}

bool SplitterPart::OnCaptureLost(HWND) {
    passRan(layout_.captureLost());
    return true;
}

void SplitterPart::passRan(bool ran) {
    if (ran) changed(BrowserChange::layout);
}

std::optional<LRESULT> SplitterPart::OnMessage(UINT msg, WPARAM, LPARAM) {
    if (msg != WM_SETCURSOR) return std::nullopt;
    SetCursor(LoadCursorW(nullptr, cursorOf(index_)));
    return TRUE;
}

}  // namespace kq::viewer::win32
