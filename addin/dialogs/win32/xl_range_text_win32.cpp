#include "addin/dialogs/win32/xl_range_text_win32.h"

#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/window_text.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;

constexpr wchar_t kClass[] = L"KqXlRangeText";
constexpr int kButtonWidth = 255;

}  // namespace

HWND u_XlRangeText::create(HWND parent, const RECT& rect, HFONT font, int id) {
    font_ = font;
    id_ = id;
    return createCompoundControl(*this, kClass, parent, rect, id);
}

bool u_XlRangeText::OnCreate(const CREATESTRUCTW& cs) {
    box_ = createTextBox(hwnd(), id_ + range_text_ids::kBox, {0, 0, cs.cx, cs.cy}, font_, boxHook_, WS_CLIPSIBLINGS);
    button_ = kq::win32::createChild(hwnd(), {.windowClass = L"BUTTON",
                                              .text = L"...",
                                              .style = WS_VISIBLE | BS_PUSHBUTTON,
                                              .id = id_ + range_text_ids::kButton,
                                              .font = font_});
    if (!box_ || !button_) return false;
    SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(box_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, screenTwips().x(kButtonWidth) + 2));
    OnSize(SIZE_RESTORED, cs.cx, cs.cy);
    onShown_ = model_.shown.connect([this] { show(); });
    show();
    return true;
}

bool u_XlRangeText::OnSize(UINT, int width, int height) {
    const int buttonWidth = screenTwips().x(kButtonWidth);
    MoveWindow(box_, 0, 0, width, height, TRUE);
    MoveWindow(button_, width - 2 - buttonWidth, 2, buttonWidth, height - 4, TRUE);
    return true;
}

void u_XlRangeText::show() {
    showing_ = true;
    showText(box_, model_.Text());
    showing_ = false;
    EnableWindow(box_, model_.Enabled());
    EnableWindow(button_, model_.Enabled());
    back_ = kq::win32::Brush(CreateSolidBrush(oleColour(model_.shownBackColor())));
    InvalidateRect(box_, nullptr, TRUE);
}

bool u_XlRangeText::OnCommand(int, UINT code, HWND control) {
    if (control == box_) {
        if (code == EN_CHANGE && !showing_) model_.edited(windowText(box_));
        if (code == EN_SETFOCUS) SendMessageW(box_, EM_SETSEL, 0, -1);
        return true;
    }
    if (control == button_ && code == BN_CLICKED) {
        SetFocus(box_);
        model_.pick();
        return true;
    }
    return false;
}

std::optional<LRESULT> u_XlRangeText::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    // A disabled edit box asks as a static does.
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return std::nullopt;
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, oleColour(model_.shownForeColor()));
    SetBkColor(dc, oleColour(model_.shownBackColor()));
    return reinterpret_cast<LRESULT>(back_.get());
}

}  // namespace kq::addin::dialogs::win32
