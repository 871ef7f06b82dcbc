#include "addin/dialogs/win32/box_with_button_win32.h"

#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/window_text.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;

// The button: 255 twips wide, 2 pixels in from the box's edges.
constexpr int kButtonWidth = 255;

}  // namespace

HWND BoxWithButton::create(HWND parent, const RECT& rect, HFONT font, int id) {
    font_ = font;
    id_ = id;
    return createCompoundControl(*this, parent, {.windowClass = windowClass_, .rect = rect, .id = id});
}

bool BoxWithButton::OnCreate(const CREATESTRUCTW& cs) {
    box_ = createTextBox(hwnd(), id_ + box_button_ids::kBox, {0, 0, cs.cx, cs.cy}, font_, boxHook_, WS_CLIPSIBLINGS);
    button_ = createButton(id_ + box_button_ids::kButton);
    if (!box_ || !button_) return false;
    // Above the box, whose right end it covers; the box's text stops short of it.
    SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(box_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, screenTwips().x(kButtonWidth) + 2));
    OnSize(SIZE_RESTORED, cs.cx, cs.cy);
    onShown_ = shown_.connect([this] { show(); });
    show();
    return true;
}

bool BoxWithButton::OnSize(UINT, int width, int height) {
    const int buttonWidth = screenTwips().x(kButtonWidth);
    MoveWindow(box_, 0, 0, width, height, TRUE);
    MoveWindow(button_, width - buttonWidth - 2, 2, buttonWidth, height - 4, TRUE);
    return true;
}

void BoxWithButton::show() {
    showing_ = true;
    showText(box_, boxText());
    showing_ = false;
    showState();
    InvalidateRect(box_, nullptr, TRUE);
}

bool BoxWithButton::OnCommand(int, UINT code, HWND control) {
    if (control == box_) {
        if (code == EN_CHANGE && !showing_) edited(windowText(box_));
        if (code == EN_SETFOCUS) SendMessageW(box_, EM_SETSEL, 0, -1);
        if (code == EN_KILLFOCUS) focusLost();
        return true;
    }
    if (control == button_ && code == BN_CLICKED) {
        buttonClicked();
        return true;
    }
    return false;
}

}  // namespace kq::addin::dialogs::win32
