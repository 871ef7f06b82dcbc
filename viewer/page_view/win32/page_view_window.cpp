#include "viewer/page_view/win32/page_view_window.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <vector>
#include <string_view>

#include "common/win32/bitmaps.h"
#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"
#include "viewer/main_window/win32/toolbar_window.h"
#include "viewer/page_view/magnifier.h"
#include "viewer/page_view/win32/drawing.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

constexpr const wchar_t* kViewClass = L"KqPageView";
constexpr const wchar_t* kPanelClass = L"KqPagePanel";
enum PanelId { kButtonsId = 1, kNumberId, kCommentLabelId, kCommentsId, kErrorLabelId, kErrorsId };
enum PageCommand { kBefore = 1, kAfter };

// The page shown, its two neighbours and the page shown before.
constexpr std::size_t kPicturesKept = 4;
// A page larger than this (pixels a side) is no page a sheet prints: the
// frame is taken as damaged rather than allocated.
constexpr LONG kLargestPageSide = 10000;
constexpr double kTwipsPerHimetric = 1440.0 / 2540.0;

void drawCross(HDC dc) {
    const COLORREF red = rgb(kCrossColour);
    {
        const kq::win32::Pen pen(CreatePen(PS_SOLID, 1, red));
        const kq::win32::Selection used = kq::win32::selectObject(dc, pen.get());
        MoveToEx(dc, kCrossFrom, kCrossFrom, nullptr);
        LineTo(dc, kCrossTo, kCrossTo);
        MoveToEx(dc, kCrossTo, kCrossFrom, nullptr);
        LineTo(dc, kCrossFrom, kCrossTo);
    }
    outline(dc, red, kCrossFrom, kCrossFrom, kCrossTo, kCrossTo);
}

// Where the toolbar has put its first and its last button, in twips.
ToolbarButtons buttonPlaces(HWND toolbar, const Twips& screen) {
    const FirstAndLast pixels = firstAndLastButton(toolbar).value_or(FirstAndLast{});
    const auto twips = [&](const RECT& r) -> Rect {
        return {static_cast<double>(screen.fromX(r.left)), static_cast<double>(screen.fromY(r.top)),
                static_cast<double>(screen.fromX(r.right - r.left)), static_cast<double>(screen.fromY(r.bottom - r.top))};
    };
    return {twips(pixels.first), twips(pixels.last)};
}

std::string_view tileKey(ShadowTile::Kind kind) {
    switch (kind) {
        case ShadowTile::Kind::right: return "RIGHT";
        case ShadowTile::Kind::bottom: return "BOTTOM";
        case ShadowTile::Kind::topRight: return "TOPRIGHT";
        case ShadowTile::Kind::bottomLeft: return "BOTTOMLEFT";
        case ShadowTile::Kind::bottomRight: return "BOTTOMRIGHT";
    }
    return {};
}

}  // namespace

// ---- The page at its natural size

PageImage PageImage::draw(const std::vector<std::uint8_t>& metafile, const Twips& screen) {
    PageImage image;
    if (metafile.empty()) return image;
    const kq::win32::EnhMetafile page(SetEnhMetaFileBits(static_cast<UINT>(metafile.size()), metafile.data()));
    ENHMETAHEADER header{};
    if (!page || GetEnhMetaFileHeader(page.get(), sizeof header, &header) == 0) return image;
    const double width = (static_cast<double>(header.rclFrame.right) - header.rclFrame.left) * kTwipsPerHimetric;
    const double height = (static_cast<double>(header.rclFrame.bottom) - header.rclFrame.top) * kTwipsPerHimetric;
    const SIZE pixels{screen.x(width), screen.y(height)};
    if (pixels.cx <= 0 || pixels.cy <= 0 || pixels.cx > kLargestPageSide || pixels.cy > kLargestPageSide) return image;

    std::uint32_t* bits = nullptr;
    kq::win32::Bitmap bitmap = kq::win32::topDownBitmap(pixels.cx, pixels.cy, bits);
    if (!bitmap) return image;
    // White paper, written straight into the fresh bitmap's bits.
    std::fill_n(bits, static_cast<std::size_t>(pixels.cx) * static_cast<std::size_t>(pixels.cy), 0x00FFFFFFu);
    {
        const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
        const kq::win32::Selection used = kq::win32::selectObject(dc.get(), bitmap.get());
        const RECT all{0, 0, pixels.cx, pixels.cy};
        // A page whose records the system refuses is still a page: what it drew stays.
        PlayEnhMetaFile(dc.get(), page.get(), &all);
        GdiFlush();
    }
    image.bitmap_ = std::move(bitmap);
    image.pixels_ = pixels;
    image.naturalWidth_ = width;
    image.naturalHeight_ = height;
    return image;
}

std::optional<std::pair<double, double>> PageImage::naturalSize() const {
    if (empty()) return std::nullopt;
    return std::pair{naturalWidth_, naturalHeight_};
}

void drawPage(HDC dc, const PageFit& fit, const PageImage& image, const PictureList& shadow, const Twips& screen) {
    const Rect& page = fit.page;
    const LONG left = screen.x(page.left), top = screen.y(page.top);
    const LONG right = screen.x(page.right()), bottom = screen.y(page.bottom());
    {
        const kq::win32::DeviceContext source = kq::win32::memoryDc(dc);
        const kq::win32::Selection used = kq::win32::selectObject(source.get(), image.bitmap());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, left, top, right - left, bottom - top, source.get(), 0, 0, image.pixels().cx,
                   image.pixels().cy, SRCCOPY);
    }
    // The long runs along the edges repeat one tile over the plain background:
    // a tile between a run's first and its last two (which meet the corner
    // tiles) is a copy of the run's first as drawn, far cheaper than drawing
    // each through the list. Copies must not overlap, or they would hide what
    // the tile before left showing.
    int tileWidth = 0, tileHeight = 0;
    ImageList_GetIconSize(shadow.handle(), &tileWidth, &tileHeight);
    const std::vector<ShadowTile> tiles = shadowTiles(page, screen.perPixelX());
    std::optional<POINT> runStart;
    POINT previous{};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const ShadowTile& tile = tiles[i];
        const POINT at{screen.x(tile.x), screen.y(tile.y)};
        const bool sameAsPrevious = i > 0 && tiles[i - 1].kind == tile.kind;
        const bool endsRun = i + 2 >= tiles.size() || tiles[i + 2].kind != tile.kind;
        const bool clear = std::abs(at.x - previous.x) >= tileWidth || std::abs(at.y - previous.y) >= tileHeight;
        previous = at;
        if (sameAsPrevious && !endsRun && runStart && clear) {
            BitBlt(dc, at.x, at.y, tileWidth, tileHeight, dc, runStart->x, runStart->y, SRCCOPY);
            continue;
        }
        ImageList_Draw(shadow.handle(), shadow.index(tileKey(tile.kind)), dc, at.x, at.y, ILD_TRANSPARENT);
        if (!sameAsPrevious) runStart = at;
    }
    outline(dc, rgb(kFrameColour), left, top, right, bottom);
}

// ---- The page shown and its neighbours

void PagePictures::show(const LoadedPage& page) {
    shownPath_ = page.loaded ? page.path : std::string();
    shownPage_ = page.number.current;
    pageCount_ = page.number.count;
    const auto same = std::ranges::find_if(pictures_, [&](const auto& p) {
        return !p->image.empty() && p->metafile == page.metafile;
    });
    if (same != pictures_.end()) {
        shown_ = same->get();
        shown_->path = page.path;
        shown_->page = page.number.current;
    } else {
        auto picture = std::make_unique<Picture>();
        picture->path = page.path;
        picture->page = page.number.current;
        picture->image = PageImage::draw(page.metafile, screen_);
        if (!picture->image.empty()) picture->metafile = page.metafile;
        shown_ = picture.get();
        pictures_.push_back(std::move(picture));
    }
    // Letting go of pictures costs a turn some time: it waits for the next
    // idle turn, unless they pile up.
    if (pictures_.size() > kPicturesKept) forgetOthers();
}

void PagePictures::forgetOthers() {
    // What stays is what a turn may show next.
    std::erase_if(pictures_, [&](const auto& p) {
        return p.get() != shown_ && (p->path != shownPath_ || std::abs(p->page - shownPage_) != 1);
    });
}

const PageImage& PagePictures::shown() const { return shown_ ? shown_->image : none_; }

void PagePictures::compose(Picture& picture, SIZE client, const PageFit& fit) const {
    std::uint32_t* bits = nullptr;
    picture.view = kq::win32::topDownBitmap(client.cx, client.cy, bits);
    // Tried at this size: a view the system has no room for is not tried
    // again ahead, only when it is shown.
    picture.viewSize = client;
    picture.fit = fit;
    if (!picture.view) return;
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    const kq::win32::Selection used = kq::win32::selectObject(dc.get(), picture.view.get());
    const RECT all{0, 0, client.cx, client.cy};
    const kq::win32::Brush background(CreateSolidBrush(rgb(kViewBackground)));
    FillRect(dc.get(), &all, background.get());
    drawPage(dc.get(), fit, picture.image, shadow_, screen_);
    GdiFlush();
}

HBITMAP PagePictures::picture(SIZE client, const PageDrawing& drawing) {
    if (drawing.kind != PageDrawing::Kind::page || !shown_ || shown_->image.empty()) return nullptr;
    Picture& page = *shown_;
    if (!page.view || page.viewSize.cx != client.cx || page.viewSize.cy != client.cy || !(page.fit == drawing.fit)) {
        compose(page, client, drawing.fit);
    }
    return page.view.get();
}

bool PagePictures::prepareAhead(PageReader& reader, SIZE client) {
    forgetOthers();
    if (shownPath_.empty() || client.cx <= 0 || client.cy <= 0) return false;
    for (const int page : {shownPage_ + 1, shownPage_ - 1}) {
        if (page < 1 || page > pageCount_) continue;
        const auto known = std::ranges::find_if(pictures_, [&](const auto& p) {
            return p.get() != shown_ && p->path == shownPath_ && p->page == page;
        });
        Picture* picture = known != pictures_.end() ? known->get() : nullptr;
        if (!picture) {
            const LoadedPage loaded = reader.load(shownPath_, page);
            auto drawn = std::make_unique<Picture>();
            drawn->path = shownPath_;
            drawn->page = page;
            // Even a page that cannot be drawn is remembered, so it is not read again and again.
            if (loaded.loaded) drawn->image = PageImage::draw(loaded.metafile, screen_);
            if (!drawn->image.empty()) drawn->metafile = loaded.metafile;
            picture = drawn.get();
            pictures_.push_back(std::move(drawn));
        } else if (picture->image.empty() || (picture->viewSize.cx == client.cx && picture->viewSize.cy == client.cy)) {
            continue;
        }
        const auto natural = picture->image.naturalSize();
        const auto fit = natural ? fitPage(natural->first, natural->second, client.cx * screen_.perPixelX(),
                                           client.cy * screen_.perPixelY())
                                 : std::nullopt;
        if (fit) {
            compose(*picture, client, *fit);
        } else {
            picture->viewSize = client;  // nothing to compose at this size
        }
        return true;
    }
    return false;
}

// ---- The view

PageViewArea::PageViewArea(HistoryBrowser& browser, const ViewerPictures& pictures, Twips screen)
    : browser_(browser), screen_(screen), pages_(pictures.imgShadow, screen), ahead_([this] { prepareAhead(); }, this) {}

bool PageViewArea::create(HWND parent, int id) {
    // The view paints all of itself: no background goes first.
    return kq::win32::Window::create({.name = kViewClass},
                                     {.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      .exStyle = WS_EX_CLIENTEDGE,
                                      .x = 0,
                                      .y = 0,
                                      .owner = parent,
                                      .id = id}) != nullptr;
}

void PageViewArea::prepareAhead() {
    RECT client{};
    if (!hwnd() || !IsWindowVisible(hwnd()) || IsIconic(GetAncestor(hwnd(), GA_ROOT)) || !GetClientRect(hwnd(), &client)) {
        return;
    }
    // One page an idle turn; the next one after whatever the user did meanwhile.
    if (pages_.prepareAhead(browser_.pageReader(), {client.right, client.bottom})) ahead_.post();
}

void PageViewArea::place(const RECT& pixels) {
    kq::win32::moveWindow(hwnd(), pixels);
    // Every layout pass ends with the page drawn anew, and its neighbours at the new size.
    InvalidateRect(hwnd(), nullptr, FALSE);
    ahead_.post();
}

void PageViewArea::update() {
    pages_.show(browser_.page());
    InvalidateRect(hwnd(), nullptr, FALSE);
    ahead_.post();
}

HBITMAP PageViewArea::keptPicture(const RECT& client) {
    return pages_.picture({client.right, client.bottom}, drawing());
}

void PageViewArea::paint(HDC dc, const RECT& client) {
    const kq::win32::Brush background(CreateSolidBrush(rgb(kViewBackground)));
    FillRect(dc, &client, background.get());
    if (drawing().kind == PageDrawing::Kind::cross) drawCross(dc);
}

PageDrawing PageViewArea::drawing() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    return browser_.drawing(client.right * screen_.perPixelX(), client.bottom * screen_.perPixelY(),
                            pages_.shown().naturalSize());
}

// ---- The loupe

bool PageViewArea::OnMouseDown(kq::win32::MouseButton button, POINT at, UINT) {
    if (button != kq::win32::MouseButton::left) return false;
    closeMagnifier();
    // The drawing first: it sets the scale the loupe enlarges from.
    const bool pageShown = drawing().kind == PageDrawing::Kind::page;
    if (!loupeOpens(pageShown, browser_.viewScale())) return true;
    // Each press makes the loupe anew. The view holds the mouse while the
    // button is down, so the loupe follows a drag beyond the view.
    auto loupe = std::make_unique<frmZoom>(screen_);
    if (!loupe->create(GetAncestor(hwnd(), GA_ROOT))) return true;
    magnifier_ = std::move(loupe);
    SetCapture(hwnd());
    moveMagnifier(at);
    return true;
}

bool PageViewArea::OnMouseMove(POINT at, UINT keys) {
    if (!magnifier_ || !(keys & MK_LBUTTON)) return false;
    moveMagnifier(at);
    return true;
}

bool PageViewArea::OnMouseUp(kq::win32::MouseButton button, POINT, UINT) {
    if (button != kq::win32::MouseButton::left) return false;
    closeMagnifier();
    return true;
}

bool PageViewArea::OnCaptureLost(HWND) {
    // Another window took the mouse: the release will never come here.
    closeMagnifier();
    return false;
}

void PageViewArea::OnDestroy() { closeMagnifier(); }

void PageViewArea::closeMagnifier() {
    // Gone before the mouse is let go, so the loss of the capture that
    // follows finds nothing more to close.
    const bool shown = magnifier_ != nullptr;
    magnifier_.reset();
    if (shown && GetCapture() == hwnd()) ReleaseCapture();
}

void PageViewArea::moveMagnifier(POINT at) {
    const PageDrawing shown = drawing();
    const PageImage& image = pages_.shown();
    const auto natural = image.naturalSize();
    if (!magnifier_ || shown.kind != PageDrawing::Kind::page || !natural) {
        closeMagnifier();
        return;
    }
    POINT cursor = at;
    ClientToScreen(hwnd(), &cursor);
    const LoupeSource page{.page = image.bitmap(),
                           .pixels = image.pixels(),
                           .width = natural->first,
                           .height = natural->second,
                           .background = rgb(kViewBackground)};
    magnifier_->SetPosition(at.x * screen_.perPixelX() - shown.fit.page.left,
                            at.y * screen_.perPixelY() - shown.fit.page.top, browser_.viewScale(), page, cursor);
}

// ---- The panel

PagePanel::PagePanel(HistoryBrowser& browser, const ViewerPictures& pictures, HFONT font, Twips screen)
    : browser_(browser), pictures_(pictures), font_(font), screen_(screen) {}

bool PagePanel::create(HWND parent, int id) {
    if (!kq::win32::createCompoundControl(*this, parent, {.windowClass = kPanelClass, .id = id})) return false;
    const HWND self = hwnd();
    buttons_ = createToolbar(self, pictures_.imlNo0.handle(), kButtonsId);
    if (!buttons_) return false;
    SendMessageW(buttons_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.imlNo1.handle()));
    const std::array<TBBUTTON, 2> buttons{toolbarButton(pictures_.imlNo0.index("BEFORE"), kBefore, 0),
                                          toolbarButton(pictures_.imlNo0.index("AFTER"), kAfter, 0)};
    SendMessageW(buttons_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    browser_.layout().setPageButtons(buttonPlaces(buttons_, screen_));

    const auto label = [&](std::string_view text, int labelId) {
        return kq::win32::createChild(
            self, {.windowClass = L"STATIC", .text = kq::win32::wide(text), .style = SS_LEFT, .id = labelId, .font = font_});
    };
    const auto log = [&](int logId) {
        return kq::win32::createChild(self, {.windowClass = L"EDIT",
                                             .style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                             .exStyle = WS_EX_CLIENTEDGE,
                                             .id = logId,
                                             .font = font_});
    };
    number_ = label("", kNumberId);
    commentLabel_ = label(texts::kCommentLabel, kCommentLabelId);
    comments_ = log(kCommentsId);
    errorLabel_ = label(texts::kErrorLabel, kErrorLabelId);
    errors_ = log(kErrorsId);
    if (!number_ || !commentLabel_ || !comments_ || !errorLabel_ || !errors_) return false;
    ShowWindow(number_, SW_SHOW);
    update();
    return true;
}

int PagePanel::captionWidth(HWND label) const {
    const kq::win32::WindowDc dc = kq::win32::windowDc(label);
    const kq::win32::Selection useFont = kq::win32::selectObject(dc.get(), font_);
    return kq::win32::lineExtent(dc.get(), kq::win32::wide(kq::win32::windowText(label))).cx;
}

void PagePanel::place(const RECT& pixels, const WindowLayout& layout) {
    kq::win32::moveWindow(hwnd(), pixels);
    kq::win32::moveWindow(buttons_, pixelsOf(layout.tlbNo, screen_));
    RECT number = pixelsOf(layout.lblNo, screen_);
    // A caption wider than the designed label (many pages, a large font)
    // widens it to the left: it still ends short of the buttons, whole.
    number.left = std::min<LONG>(number.left, number.right - captionWidth(number_));
    kq::win32::moveWindow(number_, number);
    const struct {
        HWND window;
        const Rect& at;
        bool shown;
    } logs[] = {{commentLabel_, layout.lblCommentLog, layout.commentsShown},
                {comments_, layout.txtCommentLog, layout.commentsShown},
                {errorLabel_, layout.lblErrorLog, layout.errorsShown},
                {errors_, layout.txtErrorLog, layout.errorsShown}};
    for (const auto& log : logs) {
        RECT at = pixelsOf(log.at, screen_);
        // The design's label widths are narrower than their captions in the
        // system's font; a label is never cut short.
        if (log.window == commentLabel_ || log.window == errorLabel_) {
            at.right = std::max<LONG>(at.right, at.left + captionWidth(log.window));
        }
        kq::win32::moveWindow(log.window, at);
        ShowWindow(log.window, log.shown ? SW_SHOWNA : SW_HIDE);
    }
}

void PagePanel::update() {
    const LoadedPage& page = browser_.page();
    SetWindowTextW(number_, kq::win32::wide(page.number.label).c_str());
    EnableWindow(number_, page.number.labelEnabled);
    SendMessageW(buttons_, TB_ENABLEBUTTON, kBefore, MAKELPARAM(page.number.previousEnabled, 0));
    SendMessageW(buttons_, TB_ENABLEBUTTON, kAfter, MAKELPARAM(page.number.nextEnabled, 0));
    SetWindowTextW(comments_, kq::win32::wide(page.comments).c_str());
    SetWindowTextW(errors_, kq::win32::wide(page.errors).c_str());
}

bool PagePanel::OnCommand(int id, UINT, HWND control) {
    if (control != buttons_) return false;
    if (id == kBefore) browser_.previousPage();
    if (id == kAfter) browser_.nextPage();
    changed(BrowserChange::page);
    return true;
}

}  // namespace kq::viewer::win32
