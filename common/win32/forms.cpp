#include "common/win32/forms.h"

#include <string>

namespace kq::win32 {

namespace {
constexpr wchar_t kFormFontFace[] = L"MS UI Gothic";
constexpr int kFormFontPoints = 9;
}  // namespace

Font createFont(const wchar_t* face, int points, bool bold, BYTE charset) {
    const WindowDc screen = windowDc(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return Font(CreateFontIndirectW(&lf));
}

Font createFormFont() { return createFont(kFormFontFace, kFormFontPoints, false, SHIFTJIS_CHARSET); }

Twips screenTwips() {
    const WindowDc screen = windowDc(nullptr);
    const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const Twips unknown;
    return {dpiX > 0 ? 1440.0 / dpiX : unknown.perPixelX(), dpiY > 0 ? 1440.0 / dpiY : unknown.perPixelY()};
}

RECT pixelRect(const Twips& twips, const TwipsRect& at) {
    const int left = twips.x(at.left);
    const int top = twips.y(at.top);
    return {left, top, left + twips.x(at.width), top + twips.y(at.height)};
}

void moveWindow(HWND window, const RECT& pixels, UINT flags) {
    SetWindowPos(window, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | flags);
}

void placeControl(HWND control, const TwipsRect& at, const Twips& twips, bool repaint) {
    moveWindow(control, pixelRect(twips, at), repaint ? 0 : SWP_NOREDRAW);
}

SIZE lineExtent(HDC dc, std::wstring_view text) {
    RECT r{0, 0, 0, 0};
    const std::wstring line(text);
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace kq::win32
