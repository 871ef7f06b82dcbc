#include "addin/dialogs/win32/numeric_box_win32.h"

#include <algorithm>

#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;

constexpr wchar_t kClass[] = L"KqNumericBox";
// The parts' ids follow the control's own, so that no part shares an id with
// another control of the form (OK is 1, Cancel 2).
constexpr int kEntryId = 1;
constexpr int kUpId = 2;
constexpr int kDownId = 3;
constexpr int kCaptionId = 4;
// The spin buttons' designed width.
constexpr int kButtonWidthTwips = 255;

std::string localeCharacter(LCTYPE what, const char* otherwise) {
    wchar_t buffer[256] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, 256) == 0) return otherwise;
    std::wstring text(buffer, wcsnlen(buffer, 256));
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return narrow(text);
}

int shiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000) shift |= 1;
    if (GetKeyState(VK_CONTROL) & 0x8000) shift |= 2;
    if (GetKeyState(VK_MENU) & 0x8000) shift |= 4;
    return shift;
}

Font captionFont(int points) {
    const WindowDc screen = windowDc(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(lf.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    return Font(CreateFontIndirectW(&lf));
}

SIZE textExtent(HWND window, HFONT font, const std::string& text) {
    const WindowDc dc = windowDc(window);
    const Selection use = selectObject(dc.get(), font);
    return lineExtent(dc.get(), wide(text.empty() ? std::string("A") : text));
}

}  // namespace

NumberCharacters UserNumberCharacters() {
    return {.decimal = localeCharacter(LOCALE_SDECIMAL, "."),
            .thousands = localeCharacter(LOCALE_STHOUSAND, ","),
            .negative = localeCharacter(LOCALE_SNEGATIVESIGN, "-")};
}

HWND NumericBoxControl::create(const NumericBoxArgs& args) {
    args_ = args;
    // The box paints its own background, in the colour it is given.
    return createCompoundControl(
        *this, args.parent,
        {.windowClass = kClass, .rect = args.at, .id = args.id, .exStyle = WS_EX_CLIENTEDGE, .background = nullptr});
}

bool NumericBoxControl::OnCreate(const CREATESTRUCTW&) {
    back_ = Brush(CreateSolidBrush(args_.BackColor));
    captionFont_ = captionFont(args_.HojoFontPoints);
    entry_ = createChild(hwnd(), {.windowClass = L"EDIT",
                                  .style = WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
                                  .id = args_.id + kEntryId,
                                  .font = args_.font});
    caption_ = createChild(hwnd(), {.windowClass = L"STATIC",
                                    .text = wide(args_.HojoText),
                                    .style = (args_.HojoText.empty() ? 0u : DWORD{WS_VISIBLE}) | SS_LEFT | SS_NOPREFIX,
                                    .id = args_.id + kCaptionId,
                                    .font = captionFont_.get()});
    // Drawn here: the arrows of the system's symbol font are not on every system.
    up_ = createChild(hwnd(), {.windowClass = L"BUTTON", .text = L"▲", .style = WS_VISIBLE | BS_OWNERDRAW, .id = args_.id + kUpId});
    down_ = createChild(hwnd(), {.windowClass = L"BUTTON", .text = L"▼", .style = WS_VISIBLE | BS_OWNERDRAW, .id = args_.id + kDownId});
    if (!entry_ || !caption_ || !up_ || !down_) return false;
    entryKeys_.attach(entry_, [this](UINT msg, WPARAM w, LPARAM l) { return entryMessage(msg, w, l); });
    layOut();
    return true;
}

void NumericBoxControl::setText(const std::string& text) { model_.Text(text, GetFocus() == entry_); }

bool NumericBoxControl::OnSize(UINT, int, int) {
    layOut();
    return true;
}

void NumericBoxControl::layOut() {
    if (!entry_) return;
    const Twips twips = screenTwips();
    RECT client;
    GetClientRect(hwnd(), &client);
    const auto entryFont = reinterpret_cast<HFONT>(SendMessageW(entry_, WM_GETFONT, 0, 0));
    const SIZE line = textExtent(entry_, entryFont, "A");
    const SIZE caption = args_.HojoText.empty() ? SIZE{0, 0} : textExtent(caption_, captionFont_.get(), args_.HojoText);
    const NumericBoxLayout layout = layOutNumericBox({.width = twips.fromX(client.right),
                                                      .height = twips.fromY(client.bottom),
                                                      .entryHeight = twips.fromY(line.cy),
                                                      .captionWidth = twips.fromX(caption.cx),
                                                      .captionHeight = twips.fromY(caption.cy),
                                                      .buttonWidth = kButtonWidthTwips});
    placeControl(entry_, layout.entry, twips);
    placeControl(caption_, layout.caption, twips);
    placeControl(up_, layout.up, twips);
    placeControl(down_, layout.down, twips);
}

bool NumericBoxControl::OnCommand(int id, UINT code, HWND) {
    const int part = id - args_.id;
    switch (part) {
        case kEntryId:
            if (code == EN_CHANGE && !writing_) {
                model_.edited(windowText(entry_));
            } else if (code == EN_SETFOCUS) {
                selectAll();
            } else if (code == EN_KILLFOCUS) {
                model_.focusLost();
            }
            return true;
        case kUpId:
        case kDownId:
            if (code == BN_CLICKED) model_.spin(part == kUpId ? Spin::up : Spin::down);
            return true;
        default:
            return false;
    }
}

bool NumericBoxControl::OnEraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, back_.get());
    return true;
}

std::optional<LRESULT> NumericBoxControl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETFOCUS:
            SetFocus(entry_);
            layOut();
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const bool caption = reinterpret_cast<HWND>(lParam) == caption_;
            SetTextColor(dc, caption ? args_.HojoForeColor : args_.ForeColor);
            SetBkColor(dc, args_.BackColor);
            return reinterpret_cast<LRESULT>(back_.get());
        }
        case WM_DRAWITEM:
            drawSpinButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> NumericBoxControl::entryMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE: {
            // Enter stays in the box, which moves the focus on itself.
            const LRESULT code = entryKeys_.original(msg, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) return code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (model_.keyDown(static_cast<int>(wParam), shiftState())) return 0;
            return std::nullopt;
        case WM_CHAR:
            if (model_.keyPress(static_cast<char32_t>(wParam)) == KeyPressAnswer::swallowed) return 0;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void NumericBoxControl::drawSpinButton(const DRAWITEMSTRUCT& item) const {
    RECT r = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    // A triangle row by row, pixel for pixel: the tip one pixel wide, each row two more.
    const int rows = std::max(2, std::min((height - 2) / 2 + 1, width / 3));
    const int cx = r.left + width / 2 + (pushed ? 1 : 0);
    const int top = r.top + (height - rows) / 2 + (pushed ? 1 : 0);
    const bool up = item.hwndItem == up_;
    const HBRUSH ink = GetSysColorBrush(IsWindowEnabled(item.hwndItem) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (int row = 0; row < rows; ++row) {
        const int half = up ? row : rows - 1 - row;
        const RECT line{cx - half, top + row, cx + half + 1, top + row + 1};
        FillRect(item.hDC, &line, ink);
    }
}

void NumericBoxControl::showText(const std::string& text) {
    writing_ = true;
    SetWindowTextW(entry_, wide(text).c_str());
    writing_ = false;
    const auto end = static_cast<LPARAM>(GetWindowTextLengthW(entry_));
    SendMessageW(entry_, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void NumericBoxControl::selectAll() { SendMessageW(entry_, EM_SETSEL, 0, -1); }

void NumericBoxControl::focusEntry() { SetFocus(entry_); }

void NumericBoxControl::focusNext() {
    const HWND form = GetAncestor(hwnd(), GA_ROOT);
    if (const HWND next = GetNextDlgTabItem(form, entry_, FALSE)) {
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
        SetFocus(next);
    }
}

void NumericBoxControl::beep() { MessageBeep(MB_OK); }

}  // namespace kq::addin::dialogs::win32
