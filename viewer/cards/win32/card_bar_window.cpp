#include "viewer/cards/win32/card_bar_window.h"

#include <climits>
#include <cmath>
#include <string>

#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kClassName = L"KqCardBar";
constexpr int kScrollBarId = 1;

kq::win32::Font createCardFont(CardFont which) {
    const FontSpec spec = cardFont(which);
    return kq::win32::createFont(kq::win32::wide(spec.face).c_str(), spec.points, spec.bold,
                                 static_cast<BYTE>(spec.charset));
}

// The height of "A", as the card measures its lines by.
double letterHeight(HDC dc, HFONT font, const Twips& twips) {
    const kq::win32::Selection selected = kq::win32::selectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, L"A", 1, &size);
    return size.cy * twips.perPixelY();
}

LONG toPixels(double twips, double perPixel) { return static_cast<LONG>(std::lround(twips / perPixel)); }

const char* pictureKey(CardPicture picture) { return picture == CardPicture::book ? "BOOK" : "SHEET"; }

MouseButton cardButton(kq::win32::MouseButton button) {
    switch (button) {
        case kq::win32::MouseButton::left: return MouseButton::left;
        case kq::win32::MouseButton::right: return MouseButton::right;
        case kq::win32::MouseButton::middle: break;
    }
    return MouseButton::middle;
}

}  // namespace

CardFonts createCardFonts() { return {createCardFont(CardFont::title), createCardFont(CardFont::folder)}; }

CardMetrics measureCards(const PictureList& icons, Twips twips) {
    const CardFonts fonts = createCardFonts();
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    CardMetrics m;
    m.titleTextHeight = letterHeight(dc.get(), fonts.title.get(), twips);
    m.folderTextHeight = letterHeight(dc.get(), fonts.folder.get(), twips);
    m.bookWidth = m.sheetWidth = icons.width() * twips.perPixelX();
    m.bookHeight = m.sheetHeight = icons.height() * twips.perPixelY();
    return m;
}

CardBarWindow::CardBarWindow(HistoryBrowser& browser, const PictureList& icons, Twips twips)
    : browser_(browser), icons_(icons), twips_(twips) {}

bool CardBarWindow::create(HWND parent, int id) {
    return kq::win32::Window::create({.name = kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)},
                                     {.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                      .x = 0,
                                      .y = 0,
                                      .owner = parent,
                                      .id = id}) != nullptr;
}

bool CardBarWindow::OnCreate(const CREATESTRUCTW&) {
    fonts_ = createCardFonts();
    scrollBar_ = kq::win32::OwnedWindow(kq::win32::createChild(
        hwnd(), {.windowClass = L"SCROLLBAR", .style = WS_VISIBLE | SBS_VERT, .id = kScrollBarId}));
    return scrollBar_ && fonts_.title && fonts_.folder;
}

void CardBarWindow::place(const RECT& r) {
    kq::win32::moveWindow(hwnd(), r);
}

bool CardBarWindow::OnSize(UINT, int width, int height) {
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    browser_.resizeCards(width * twips_.perPixelX(), height * twips_.perPixelY(), scrollWidth * twips_.perPixelX());
    const Rect bar = browser_.cards().scrollBarRect();
    SetWindowPos(scrollBar_.get(), nullptr, toPixels(bar.left, twips_.perPixelX()), 0, scrollWidth, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    update();
    return true;
}

void CardBarWindow::update() {
    showScrollBar();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void CardBarWindow::showScrollBar() {
    const CardBar& cards = browser_.cards();
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMax = static_cast<int>(std::min<std::int64_t>(cards.scrollMax(), INT_MAX));
    info.nPos = static_cast<int>(std::min<std::int64_t>(cards.scrollValue(), INT_MAX));
    SetScrollInfo(scrollBar_.get(), SB_CTL, &info, TRUE);
    EnableWindow(scrollBar_.get(), cards.scrollEnabled());
}

RECT CardBarWindow::cardPixels(std::size_t position) const {
    const CardBar& cards = browser_.cards();
    const Rect r = cards.elementRect(position);
    const double top = cards.containerTop() + r.top;
    return {toPixels(r.left, twips_.perPixelX()), toPixels(top, twips_.perPixelY()),
            toPixels(r.right(), twips_.perPixelX()), toPixels(top + r.height, twips_.perPixelY())};
}

void CardBarWindow::paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const CardBar& cards = browser_.cards();
    if (cards.placeholderVisible()) {
        drawCard(dc, 0);
        return;
    }
    for (std::size_t position = 1; position <= cards.Count(); ++position) {
        const RECT at = cardPixels(position);
        if (at.top >= client.bottom) break;  // cards stand top to bottom
        if (at.bottom > 0) drawCard(dc, position);
    }
}

void CardBarWindow::drawCard(HDC dc, std::size_t position) const {
    const CardFace face = browser_.cards().face(position);
    RECT at = cardPixels(position);
    const int saved = SaveDC(dc);
    // Every line is cut at the card's edge.
    IntersectClipRect(dc, at.left, at.top, at.right, at.bottom);
    {
        const kq::win32::Brush background(
            CreateSolidBrush(RGB(face.background.red, face.background.green, face.background.blue)));
        FillRect(dc, &at, background.get());
    }
    const Rect place = browser_.cards().elementRect(position);
    const double left = place.left;
    const double top = browser_.cards().containerTop() + place.top;
    const auto x = [&](double twips) { return static_cast<int>(toPixels(left + twips, twips_.perPixelX())); };
    const auto y = [&](double twips) { return static_cast<int>(toPixels(top + twips, twips_.perPixelY())); };
    for (const CardFace::Picture& picture : face.pictures) {
        ImageList_Draw(icons_.handle(), icons_.index(pictureKey(picture.picture)), dc, x(picture.x), y(picture.y),
                       ILD_TRANSPARENT);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (const CardFace::Text& text : face.texts) {
        const kq::win32::Selection font = kq::win32::selectObject(
            dc, text.font == CardFont::title ? fonts_.title.get() : fonts_.folder.get());
        const std::wstring wide = kq::win32::wide(text.text);
        TextOutW(dc, x(text.x), y(text.y), wide.c_str(), static_cast<int>(wide.size()));
    }
    if (face.raisedBorder) {
        DrawEdge(dc, &at, EDGE_SUNKEN, BF_RECT);
    } else {
        FrameRect(dc, &at, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    RestoreDC(dc, saved);
}

std::optional<std::size_t> CardBarWindow::cardAt(POINT at) const {
    const CardBar& cards = browser_.cards();
    for (std::size_t position = 1; position <= cards.Count(); ++position) {
        const RECT r = cardPixels(position);
        if (PtInRect(&r, at)) return position;
    }
    return std::nullopt;
}

bool CardBarWindow::OnMouseUp(kq::win32::MouseButton button, POINT at, UINT) {
    const std::optional<std::size_t> position = cardAt(at);
    if (!position) return true;
    const bool menu = browser_.cardReleased(*position, cardButton(button));
    update();
    changed(BrowserChange::cards);
    // The card is selected and shown before its menu opens.
    if (menu) cardMenuAsked(*position);
    return true;
}

void CardBarWindow::scrolled(WORD request) {
    const CardBar& cards = browser_.cards();
    std::int64_t value = cards.scrollValue();
    switch (request) {
        // One unit for a small and for a large change alike.
        case SB_LINEUP:
        case SB_PAGEUP: --value; break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN: ++value; break;
        case SB_TOP: value = 0; break;
        case SB_BOTTOM: value = cards.scrollMax(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The message's own position has 16 bits only.
            SCROLLINFO info{};
            info.cbSize = sizeof(SCROLLINFO);
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(scrollBar_.get(), SB_CTL, &info);
            value = info.nTrackPos;
            break;
        }
        default: return;
    }
    browser_.scrollCards(value);
    update();
}

std::optional<LRESULT> CardBarWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) != scrollBar_.get()) return std::nullopt;
            scrolled(LOWORD(wParam));
            return 0;
        default: return std::nullopt;
    }
}

}  // namespace kq::viewer::win32
