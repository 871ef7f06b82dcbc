#include "addin/dialogs/win32/title_win32.h"

#include "addin/core/texts.h"
#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;

constexpr wchar_t kClass[] = L"KqTitle";
constexpr int kBoxWidth = 1455;
constexpr int kButtonWidth = 255;
constexpr int kTypeLeft = 2880;
constexpr int kTypeWidth = 1575;
// Room for the two entries when the list drops down.
constexpr int kTypeDropHeight = 1200;

}  // namespace

HWND u_Title::create(HWND parent, POINT at, HFONT font, int id) {
    font_ = font;
    id_ = id;
    const Twips t = screenTwips();
    return createCompoundControl(
        *this, parent,
        {.windowClass = kClass, .rect = {at.x, at.y, at.x + t.x(kTitleWidth), at.y + t.y(kTitleHeight)}, .id = id});
}

bool u_Title::OnCreate(const CREATESTRUCTW&) {
    const Twips t = screenTwips();
    const int height = t.y(kTitleHeight);
    white_ = kq::win32::Brush(CreateSolidBrush(RGB(255, 255, 255)));
    titleBox_ = std::make_unique<u_TextBoxWithList>(model_.titleBox());
    if (!titleBox_->create(hwnd(), {0, 0, t.x(kBoxWidth), height}, font_, id_ + title_ids::kTitle)) return false;
    onTitleLeft_ = titleBox_->left.connect([this] { model_.titleLeft(); });

    const int valueLeft = t.x(kBoxWidth);
    const int valueWidth = t.x(kBoxWidth);
    value_ = createTextBox(hwnd(), id_ + title_ids::kValue, {valueLeft, 0, valueLeft + valueWidth, height}, font_,
                           valueHook_, WS_CLIPSIBLINGS);
    const int buttonWidth = t.x(kButtonWidth);
    const int buttonLeft = valueLeft + valueWidth - buttonWidth - 2;
    button_ = createGlyphButton(hwnd(), id_ + title_ids::kValueButton, Glyph::dropDown,
                                {buttonLeft, 2, buttonLeft + buttonWidth, height - 2});
    type_ = kq::win32::createChild(hwnd(), {.windowClass = L"COMBOBOX",
                                            .style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                            .rect = pixelRect(t, {kTypeLeft, 0, kTypeWidth, kTypeDropHeight}),
                                            .id = id_ + title_ids::kValueType,
                                            .font = font_});
    if (!value_ || !button_ || !type_) return false;
    SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(value_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, buttonWidth + 2));
    for (const std::string_view entry : {texts::kValueTypeValue, texts::kValueTypeText}) {
        SendMessageW(type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kq::win32::wide(entry).c_str()));
    }
    onShown_ = model_.shown.connect([this] { show(); });
    show();
    return true;
}

void u_Title::focusTitle() const {
    if (titleBox_) titleBox_->focusBox();
}

void u_Title::show() {
    showing_ = true;
    showText(value_, model_.valueBox());
    showing_ = false;
    EnableWindow(value_, model_.valueEnabled());
    EnableWindow(button_, model_.valueEnabled());
    EnableWindow(type_, model_.typeEnabled());
    if (SendMessageW(type_, CB_GETCURSEL, 0, 0) != model_.CellLinkValueType()) {
        SendMessageW(type_, CB_SETCURSEL, static_cast<WPARAM>(model_.CellLinkValueType()), 0);
    }
    InvalidateRect(value_, nullptr, TRUE);
}

bool u_Title::OnCommand(int, UINT code, HWND control) {
    if (control == value_) {
        if (code == EN_CHANGE && !showing_) model_.valueEdited(windowText(value_));
        if (code == EN_SETFOCUS) SendMessageW(value_, EM_SETSEL, 0, -1);
        if (code == EN_KILLFOCUS) model_.valueLeft();
        return true;
    }
    if (control == button_) {
        if (code == BN_CLICKED) {
            model_.valueMenuChosen(trackMenu(button_, model_.ShowValueMenu()));
            if (hwnd()) SetFocus(value_);
        }
        return true;
    }
    if (control == type_) {
        if (code == CBN_SELCHANGE) {
            model_.valueTypeChosen(static_cast<std::int32_t>(SendMessageW(type_, CB_GETCURSEL, 0, 0)));
        }
        return true;
    }
    return false;
}

std::optional<LRESULT> u_Title::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            // The value box: white while open, the row's own colour while closed.
            if (reinterpret_cast<HWND>(lParam) != value_) return std::nullopt;
            const HDC dc = reinterpret_cast<HDC>(wParam);
            const bool open = model_.valueEnabled();
            SetBkColor(dc, open ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(open ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            return reinterpret_cast<LRESULT>(open ? white_.get() : GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DRAWITEM:
            if (drawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace kq::addin::dialogs::win32
