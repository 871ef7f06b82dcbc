// The page view and its panel in the main window: the page drawn with its
// frame, the page buttons and number, a page that cannot be drawn crossed
// while the history's comments and errors still show.

#include "viewer/page_view/win32/page_view_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <fstream>

#include "common/win32/bitmaps.h"
#include "common/win32/forms.h"
#include "common/win32/message_loop.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"
#include "tests/support/win32/window_driver.h"
#include "tests/viewer/main_window/win32/opened_history_window.h"
#include "viewer/page_view/magnifier.h"

namespace kq::viewer::win32 {
namespace {

using fixture::Opened;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kFrame = 0xC8C8C8;
constexpr std::uint32_t kBackground = 0xFCFCFC;
enum PageCommand { kBefore = 1, kAfter };

// A page 100 mm wide and 50 mm high, black all over.
std::vector<std::uint8_t> blackPage() {
    const RECT frame{0, 0, 10000, 5000};
    const HDC recording = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    const RECT all{0, 0, 5000, 5000};
    FillRect(recording, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const kq::win32::EnhMetafile page(CloseEnhMetaFile(recording));
    std::vector<std::uint8_t> bytes(GetEnhMetaFileBits(page.get(), 0, nullptr));
    GetEnhMetaFileBits(page.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

// The same page, its right half white.
std::vector<std::uint8_t> halfBlackPage() {
    const RECT frame{0, 0, 10000, 5000};
    const HDC recording = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    // The recording's units are the screen's pixels.
    const int half = GetDeviceCaps(recording, HORZRES) * 50 / GetDeviceCaps(recording, HORZSIZE);
    const RECT black{0, 0, half, 5000};
    FillRect(recording, &black, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT white{half, 0, 5000, 5000};
    FillRect(recording, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const kq::win32::EnhMetafile page(CloseEnhMetaFile(recording));
    std::vector<std::uint8_t> bytes(GetEnhMetaFileBits(page.get(), 0, nullptr));
    GetEnhMetaFileBits(page.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

// A history of these pages with a comment and an error line, as the only file of the folder.
std::function<void(const std::string&)> oneHistory(std::vector<std::vector<std::uint8_t>> pages) {
    return [pages = std::move(pages)](const std::string& folder) {
        HistoryRecords r;
        r.header.strSheetId = "S";
        r.header.strVersionId = "V";
        r.header.datPrintDate = 45000;
        r.pageTexts.resize(pages.size(), {"t"});
        r.comments.push_back({"確認済み", "A1", "kei"});
        r.errorLines.push_back({"ページ 2 を写せません"});
        const std::vector<std::uint8_t> bytes = test::historyBytes(r, pages);
        std::ofstream(std::filesystem::path(kq::win32::wide(folder + "\\S_V_1.tvk")), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
}

// Whether the label's client area holds its whole caption in the label's font.
bool captionFits(HWND label) {
    const std::wstring caption = kq::win32::wide(test::textOf(label));
    const HDC dc = GetDC(label);
    const HGDIOBJ was = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, was);
    ReleaseDC(label, dc);
    RECT client{};
    GetClientRect(label, &client);
    return size.cx > 0 && size.cx <= client.right;
}

bool enabled(HWND toolbar, int command) { return SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0) != 0; }

void press(PagePanel& panel, int command) {
    SendMessageW(panel.hwnd(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(panel.pageButtons()));
}

TEST(PageView, ThePageIsDrawnFramedAndThePageButtonsFollowIt) {
    Opened opened({}, oneHistory({blackPage(), blackPage()}));
    PagePanel& panel = opened.window->pagePanel();
    EXPECT_EQ(test::textOf(panel.pageNumber()), "1 / 2 ページ");
    EXPECT_FALSE(enabled(panel.pageButtons(), kBefore));
    EXPECT_TRUE(enabled(panel.pageButtons(), kAfter));

    const test::Picture view = test::printClient(opened.window->pageView().hwnd());
    EXPECT_EQ(view.at(5, 5), kBackground);
    EXPECT_EQ(view.at(20, 30), kFrame) << "the frame at the page's left edge, 300 twips in";
    EXPECT_EQ(view.at(30, 30), kBlack) << "the page";
    test::screenshot(opened.window->hwnd(), "page_view.png");

    press(panel, kAfter);
    EXPECT_EQ(test::textOf(panel.pageNumber()), "2 / 2 ページ");
    EXPECT_TRUE(enabled(panel.pageButtons(), kBefore));
    EXPECT_FALSE(enabled(panel.pageButtons(), kAfter));
    press(panel, kAfter);
    EXPECT_EQ(test::textOf(panel.pageNumber()), "2 / 2 ページ") << "a disabled button turns nothing";
}

TEST(PageView, APageThatCannotBeDrawnIsCrossedAndTheCommentsStillShow) {
    Opened opened({}, oneHistory({{1, 2, 3, 4, 5, 6, 7, 8}}));
    const test::Picture view = test::printClient(opened.window->pageView().hwnd());
    EXPECT_EQ(view.at(36, 36), kRed) << "on the cross";
    EXPECT_EQ(view.at(60, 60), kBackground);
    PagePanel& panel = opened.window->pagePanel();
    EXPECT_EQ(test::textOf(panel.comments()), "セル　：　A1\r\nコメント　：　確認済み\r\n");
    EXPECT_EQ(test::textOf(panel.errors()), "ページ 2 を写せません");
    EXPECT_TRUE(IsWindowVisible(panel.comments()) && IsWindowVisible(panel.errors()));
    EXPECT_TRUE(captionFits(panel.commentLabel()));
    EXPECT_TRUE(captionFits(panel.errorLabel()));
    test::screenshot(opened.window->hwnd(), "page_view_crossed.png");
}

TEST(PageView, AHistoryWithoutPagesShowsNoneAndNoPageButtons) {
    Opened opened({}, oneHistory({}));
    PagePanel& panel = opened.window->pagePanel();
    EXPECT_EQ(test::textOf(panel.pageNumber()), "0 / 0 ページ");
    EXPECT_FALSE(enabled(panel.pageButtons(), kBefore));
    EXPECT_FALSE(enabled(panel.pageButtons(), kAfter));
}

// Where the page buttons' toolbar and the page number stand in the panel,
// with the buttons' own places, in the panel's client pixels.
struct PanelPlaces {
    RECT toolbar{}, number{}, first{}, last{}, panel{};
};
PanelPlaces panelPlaces(const PagePanel& panel) {
    PanelPlaces at;
    const auto inPanel = [&](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    at.toolbar = inPanel(panel.pageButtons());
    at.number = inPanel(panel.pageNumber());
    GetClientRect(panel.hwnd(), &at.panel);
    SendMessageW(panel.pageButtons(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&at.first));
    SendMessageW(panel.pageButtons(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&at.last));
    return at;
}

TEST(PageView, ThePageToolbarHoldsItsButtonsAndStandsCentredRightOfTheNumber) {
    Opened opened({}, oneHistory({blackPage(), blackPage()}));
    const PanelPlaces at = panelPlaces(opened.window->pagePanel());
    const Twips screen = kq::win32::screenTwips();
    EXPECT_EQ(at.toolbar.right - at.toolbar.left, at.last.left + (at.first.right - at.first.left));
    EXPECT_EQ(at.toolbar.bottom - at.toolbar.top, std::max(at.first.bottom, at.last.bottom)) << "as high as they go down";
    EXPECT_LE(std::abs(at.toolbar.left - (at.panel.right - at.toolbar.right)), 1) << "centred";
    EXPECT_LE(std::abs(at.toolbar.left - at.number.right - screen.x(100)), 1);
}

// In a main window of 800 x 600 pixels the page number's caption stays whole
// and ends left of the page buttons, on a history long enough for a wide one.
TEST(PageView, AtEightHundredBySixHundredThePageNumberShowsWhole) {
    Opened opened({}, oneHistory(std::vector<std::vector<std::uint8_t>>(120, std::vector<std::uint8_t>(8, 1))));
    const HWND main = opened.window->hwnd();
    ShowWindow(main, SW_RESTORE);
    SetWindowPos(main, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    for (int page = 1; page < 99; ++page) opened.window->browser().nextPage();
    PagePanel& panel = opened.window->pagePanel();
    press(panel, kAfter);
    ASSERT_EQ(test::textOf(panel.pageNumber()), "100 / 120 ページ");
    const PanelPlaces at = panelPlaces(panel);
    EXPECT_TRUE(captionFits(panel.pageNumber()));
    EXPECT_GE(at.number.left, 0);
    EXPECT_LT(at.number.right, at.toolbar.left + at.first.left) << "no button over the caption's end";
    test::screenshot(main, "page_view_800x600.png");
}

// The shadow as drawn with the page is, pixel for pixel outside the frame's
// line, every tile drawn through the picture list over the view's background.
TEST(PageView, TheShadowIsEveryTileAsTheListDrawsIt) {
    const ViewerPictures pictures = loadViewerPictures();
    const Twips screen = kq::win32::screenTwips();
    const PageImage image = PageImage::draw(blackPage(), screen);
    const auto natural = image.naturalSize();
    ASSERT_TRUE(natural);
    constexpr int kWidth = 420, kHeight = 260;
    const auto fit = fitPage(natural->first, natural->second, kWidth * screen.perPixelX(), kHeight * screen.perPixelY());
    ASSERT_TRUE(fit);
    const auto canvas = [&](const auto& draw) {
        std::uint32_t* bits = nullptr;
        const kq::win32::Bitmap bitmap = kq::win32::topDownBitmap(kWidth, kHeight, bits);
        const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
        const kq::win32::Selection used = kq::win32::selectObject(dc.get(), bitmap.get());
        std::fill_n(bits, kWidth * kHeight, kBackground);
        draw(dc.get());
        GdiFlush();
        return std::vector<std::uint32_t>(bits, bits + kWidth * kHeight);
    };
    const std::vector<std::uint32_t> drawn =
        canvas([&](HDC dc) { drawPage(dc, *fit, image, pictures.imgShadow, screen); });
    const std::vector<std::uint32_t> tiles = canvas([&](HDC dc) {
        const std::map<ShadowTile::Kind, const char*> keys{{ShadowTile::Kind::right, "RIGHT"},
                                                           {ShadowTile::Kind::bottom, "BOTTOM"},
                                                           {ShadowTile::Kind::topRight, "TOPRIGHT"},
                                                           {ShadowTile::Kind::bottomLeft, "BOTTOMLEFT"},
                                                           {ShadowTile::Kind::bottomRight, "BOTTOMRIGHT"}};
        for (const ShadowTile& tile : shadowTiles(fit->page, screen.perPixelX())) {
            ImageList_Draw(pictures.imgShadow.handle(), pictures.imgShadow.index(keys.at(tile.kind)), dc,
                           screen.x(tile.x), screen.y(tile.y), ILD_TRANSPARENT);
        }
    });
    const int right = screen.x(fit->page.right()), bottom = screen.y(fit->page.bottom());
    int compared = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool shadowed = (x > right && y >= screen.y(fit->page.top)) || (y > bottom && x >= screen.x(fit->page.left));
            if (!shadowed) continue;
            ASSERT_EQ(drawn[y * kWidth + x] & 0xFFFFFF, tiles[y * kWidth + x] & 0xFFFFFF) << x << ", " << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}

// ---- The loupe

void mouse(HWND view, UINT msg, WPARAM keys, POINT at) { SendMessageW(view, msg, keys, MAKELPARAM(at.x, at.y)); }

POINT onScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Where the page's black half ends on the view's row through the page's middle.
struct PageEdge {
    POINT edge{};  // the first pixel of the white half
    bool found = false;
};
PageEdge pageEdge(const test::Picture& view) {
    int top = -1, bottom = -1;
    for (int y = 0; y < view.height; ++y) {
        if (view.at(30, y) != kBlack) continue;
        if (top < 0) top = y;
        bottom = y;
    }
    if (top < 0) return {};
    const int y = (top + bottom) / 2;
    for (int x = 30; x < view.width; ++x) {
        if ((view.at(x, y) & 0xFF) > 0x7F) return {{x, y}, true};
    }
    return {};
}

TEST(PageViewLoupe, HoldingTheLeftButtonShowsThePageEnlargedInARoundWindowThatFollows) {
    Opened opened({}, oneHistory({halfBlackPage()}));
    PageViewArea& area = opened.window->pageView();
    const HWND view = area.hwnd();
    const HWND main = opened.window->hwnd();
    const test::Picture drawn = test::printClient(view);
    const PageEdge page = pageEdge(drawn);
    ASSERT_TRUE(page.found);
    const POINT pointer{page.edge.x - 10, page.edge.y};
    const test::Picture before = test::captureWindow(main);

    mouse(view, WM_LBUTTONDOWN, MK_LBUTTON, pointer);
    const HWND loupe = area.magnifier();
    ASSERT_TRUE(loupe);
    EXPECT_TRUE(IsWindowVisible(loupe));
    EXPECT_EQ(GetWindow(loupe, GW_OWNER), main);
    EXPECT_EQ(GetCapture(), view) << "a drag beyond the view still moves it";
    const POINT at = onScreen(view, pointer);
    EXPECT_EQ(centreOf(loupe).x, at.x);
    EXPECT_EQ(centreOf(loupe).y, at.y);

    // Ten view pixels left of the edge lie 10 x f / scale loupe pixels left of it there.
    const test::Picture shown = test::printClient(loupe);
    const int middle = shown.width / 2;
    const double scale = opened.window->browser().viewScale();
    const double enlarged = loupeFactor(scale) / scale;
    const int edge = static_cast<int>(std::lround(middle + 10 * enlarged));
    EXPECT_LT(shown.at(edge - 6, middle) & 0xFF, 0x70) << "black under the lens, enlarged " << enlarged;
    EXPECT_EQ(shown.at(edge + 6, middle), 0xFFFFFFu);

    // On the screen: the loupe inside its circle, what was there before outside it.
    const test::Picture screen = test::captureWindow(loupe);
    EXPECT_EQ(screen.at(middle, middle), shown.at(middle, middle));
    EXPECT_EQ(screen.at(edge + 6, middle), 0xFFFFFFu);
    RECT mainAt{}, loupeAt{};
    GetWindowRect(main, &mainAt);
    GetWindowRect(loupe, &loupeAt);
    for (const POINT corner : {POINT{3, 3}, POINT{screen.width - 4, 3}, POINT{3, screen.height - 4},
                               POINT{screen.width - 4, screen.height - 4}}) {
        EXPECT_EQ(screen.at(corner.x, corner.y),
                  before.at(loupeAt.left + corner.x - mainAt.left, loupeAt.top + corner.y - mainAt.top))
            << "beside the round window at " << corner.x << ", " << corner.y;
    }
    test::screenshot(main, "page_view_loupe.png");

    const POINT moved{pointer.x + 15, pointer.y + 8};
    mouse(view, WM_MOUSEMOVE, MK_LBUTTON, moved);
    EXPECT_EQ(area.magnifier(), loupe);
    EXPECT_EQ(centreOf(loupe).x, at.x + 15);
    EXPECT_EQ(centreOf(loupe).y, at.y + 8);

    mouse(view, WM_LBUTTONUP, 0, moved);
    EXPECT_FALSE(area.magnifier());
    EXPECT_FALSE(IsWindow(loupe));
    EXPECT_NE(GetCapture(), view);

    mouse(view, WM_RBUTTONDOWN, MK_RBUTTON, pointer);
    EXPECT_FALSE(area.magnifier()) << "the right button opens no loupe";
    mouse(view, WM_RBUTTONUP, 0, pointer);
}

TEST(PageViewLoupe, NoPageDrawnOpensNone) {
    Opened opened({}, oneHistory({{1, 2, 3, 4, 5, 6, 7, 8}}));
    PageViewArea& area = opened.window->pageView();
    EXPECT_EQ(opened.window->browser().viewScale(), 0);
    mouse(area.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, {60, 60});
    EXPECT_FALSE(area.magnifier());
    EXPECT_NE(GetCapture(), area.hwnd());
    mouse(area.hwnd(), WM_LBUTTONUP, 0, {60, 60});
}

TEST(PageViewLoupe, ALostMouseOrTheMainWindowsEndClosesIt) {
    Opened opened({}, oneHistory({blackPage()}));
    PageViewArea& area = opened.window->pageView();
    mouse(area.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, {40, 40});
    const HWND first = area.magnifier();
    ASSERT_TRUE(first);
    SetCapture(opened.window->fileList());
    EXPECT_FALSE(area.magnifier());
    EXPECT_FALSE(IsWindow(first));
    ReleaseCapture();

    mouse(area.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, {40, 40});
    const HWND second = area.magnifier();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first) << "each press makes it anew";
    opened.window->end(0);
    EXPECT_FALSE(IsWindow(second));
}

TEST(PageViewLoupe, FollowsTheRealPointerBeyondTheView) {
    Opened opened({}, oneHistory({blackPage()}));
    PageViewArea& area = opened.window->pageView();
    const HWND view = area.hwnd();
    test::dragStep(view, {40, 40}, test::DragStep::press);
    ASSERT_TRUE(test::waitUntil([&] { return area.magnifier() && IsWindowVisible(area.magnifier()); }));
    const POINT start = onScreen(view, {40, 40});
    EXPECT_TRUE(test::waitUntil([&] { return centreOf(area.magnifier()).x == start.x; }));

    // Left of the view, over the file list: the loupe stays on the pointer.
    const POINT outside{-60, 90};
    test::dragStep(view, outside, test::DragStep::move);
    const POINT there = onScreen(view, outside);
    EXPECT_TRUE(test::waitUntil([&] {
        const POINT c = centreOf(area.magnifier());
        return c.x == there.x && c.y == there.y;
    }));
    test::screenshot(opened.window->hwnd(), "page_view_loupe_beyond.png");
    test::dragStep(view, outside, test::DragStep::release);
    EXPECT_TRUE(test::waitUntil([&] { return area.magnifier() == nullptr; }));
}

// The view as a drawing afresh of these metafile bytes gives it, at the size of `shown`.
std::vector<std::uint32_t> drawnAfresh(const std::vector<std::uint8_t>& metafile, const test::Picture& shown) {
    const Twips screen = kq::win32::screenTwips();
    const PageImage page = PageImage::draw(metafile, screen);
    const auto fit = fitPage(page.naturalSize()->first, page.naturalSize()->second, shown.width * screen.perPixelX(),
                             shown.height * screen.perPixelY());
    std::uint32_t* bits = nullptr;
    const kq::win32::Bitmap fresh = kq::win32::topDownBitmap(shown.width, shown.height, bits);
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    const kq::win32::Selection used = kq::win32::selectObject(dc.get(), fresh.get());
    std::fill_n(bits, shown.width * shown.height, kBackground);
    drawPage(dc.get(), *fit, page, loadViewerPictures().imgShadow, screen);
    GdiFlush();
    std::vector<std::uint32_t> pixels(bits, bits + shown.width * shown.height);
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The neighbours drawn ahead while the viewer is idle are shown by a turn
// only as the file still has them, and then as a drawing afresh shows them.
TEST(PageView, APageDrawnAheadShowsWhatTheFileHoldsAtTheTurn) {
    Opened opened({}, oneHistory({blackPage(), blackPage(), halfBlackPage()}));
    int opens = 0;
    opened.files.opening = [&](const std::string&) { ++opens; };
    for (int i = 0; i < 4; ++i) kq::win32::IdleHook::runAll();
    ASSERT_GT(opens, 0) << "page 2 read ahead";
    oneHistory({blackPage(), halfBlackPage(), halfBlackPage()})(opened.folder.path());
    PagePanel& panel = opened.window->pagePanel();
    const HWND view = opened.window->pageView().hwnd();
    for (const char* turn : {"to page 2, changed since", "to page 3, as read ahead"}) {
        press(panel, kAfter);
        const test::Picture shown = test::printClient(view);
        EXPECT_TRUE(shown.pixels == drawnAfresh(halfBlackPage(), shown)) << turn;
        for (int i = 0; i < 4; ++i) kq::win32::IdleHook::runAll();
    }
}

}  // namespace
}  // namespace kq::viewer::win32
