#include "addin/dialogs/win32/xl_range_text_win32.h"

#include "common/win32/control_kit.h"

namespace kq::addin::dialogs::win32 {

namespace {

constexpr wchar_t kClass[] = L"KqXlRangeText";

}  // namespace

u_XlRangeText::u_XlRangeText(XlRangeTextModel& model) : BoxWithButton(kClass, model.shown), model_(model) {}

HWND u_XlRangeText::createButton(int id) {
    return kq::win32::createChild(hwnd(), {.windowClass = L"BUTTON",
                                           .text = L"...",
                                           .style = WS_VISIBLE | BS_PUSHBUTTON,
                                           .id = id,
                                           .font = boxFont()});
}

void u_XlRangeText::showState() {
    EnableWindow(box(), model_.Enabled());
    EnableWindow(button(), model_.Enabled());
    back_ = kq::win32::Brush(CreateSolidBrush(kq::win32::oleColour(model_.shownBackColor())));
}

void u_XlRangeText::buttonClicked() {
    SetFocus(box());
    model_.pick();
}

std::optional<LRESULT> u_XlRangeText::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    // A disabled edit box asks as a static does.
    if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return std::nullopt;
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, kq::win32::oleColour(model_.shownForeColor()));
    SetBkColor(dc, kq::win32::oleColour(model_.shownBackColor()));
    return reinterpret_cast<LRESULT>(back_.get());
}

}  // namespace kq::addin::dialogs::win32
