// The card bar in the main window of this process, over a history folder of
// real files: the cards as drawn (colours and borders read back from the
// bar's own painting), mouse releases selecting and showing a card, and the
// scroll bar moving the cards.

#include "viewer/cards/win32/card_bar_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "common/settings_store.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/window_driver.h"
#include "tests/support/win32_scratch.h"
#include "viewer/main_window/win32/history_window.h"

namespace kq::viewer::win32 {
namespace {

constexpr std::uint32_t kSelected = 0xF5F5FF;
constexpr std::uint32_t kPlain = 0xF5F5F5;
constexpr std::uint32_t kFresh = 0xFFFFFF;

std::uint32_t systemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

struct CardsShown {
    MemorySettingsStore store;
    ViewerRun run{store};
    test::ScratchFolder folder{L"kq_card_bar"};
    WorkHere here;
    std::unique_ptr<HistoryWindow> window;

    // One card per sheet, the first sheet's newest; the first card holds `firstFiles` histories.
    explicit CardsShown(int sheets, int firstFiles = 1) {
        int age = 0;
        for (int i = 0; sheets > 0 && i < firstFiles; ++i) write("S0", ++age);
        for (int sheet = 1; sheet < sheets; ++sheet) write(std::string("S").append(std::to_string(sheet)), ++age);
        run.start.gSaveFolder = folder.path();
        window = std::make_unique<HistoryWindow>(run, HistoryWindowServices{.work = &here});
        EXPECT_TRUE(window->open());
    }

    void write(const std::string& sheet, int minutesOld) {
        HistoryRecords r;
        r.header.strSheetId = sheet;
        r.header.strSheetName = std::string("売上").append(sheet);
        r.header.strBookName = "月次報告.xls";
        r.header.strBookPath = "C:\\帳票\\月次";
        r.header.datPrintDate = 40000;
        // Older by whole minutes, so the newest-first order is the one written here.
        ASSERT_TRUE(test::writeHistoryFile(folder.path(sheet + "_" + std::to_string(minutesOld) + ".tvk"), r, minutesOld));
    }

    CardBarWindow& bar() { return window->cardBar(); }
    const CardBar& cards() { return window->browser().cards(); }
    HWND barWindow() { return bar().hwnd(); }
    // A mouse button let go at the middle of the card. The right button's
    // opens the card's menu, which a timer closes as Esc would.
    void release(UINT message, std::size_t position) {
        const RECT r = bar().cardPixels(position);
        const UINT_PTR closing = message == WM_RBUTTONUP ? SetTimer(nullptr, 0, 100, closeMenu) : 0;
        SendMessageW(barWindow(), message, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        if (closing) KillTimer(nullptr, closing);
    }
    static void CALLBACK closeMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
    void scroll(WORD request) {
        SendMessageW(barWindow(), WM_VSCROLL, MAKEWPARAM(request, 0), reinterpret_cast<LPARAM>(bar().scrollBar()));
    }
    // The card's own colour, in its bottom margin beside the right border.
    std::uint32_t background(const test::Picture& shown, std::size_t position) {
        const RECT r = bar().cardPixels(position);
        return shown.at(r.right - 5, r.bottom - 4);
    }
    std::uint32_t leftBorder(const test::Picture& shown, std::size_t position) {
        const RECT r = bar().cardPixels(position);
        return shown.at(r.left, (r.top + r.bottom) / 2);
    }
};

TEST(CardBarWindow, AnEmptyFolderShowsTheFreshPlaceholderOnly) {
    CardsShown shown(0);
    EXPECT_EQ(shown.cards().Count(), 0u);
    const RECT placeholder = shown.bar().cardPixels(0);
    EXPECT_EQ(placeholder.left, std::lround(100 / kq::win32::screenTwips().perPixelX()));
    EXPECT_EQ(placeholder.top, std::lround(100 / kq::win32::screenTwips().perPixelY()));
    const test::Picture picture = test::printClient(shown.barWindow());
    EXPECT_EQ(shown.background(picture, 0), kFresh);
    EXPECT_EQ(shown.leftBorder(picture, 0), systemColour(COLOR_WINDOWFRAME)) << "a flat border";
    EXPECT_FALSE(IsWindowEnabled(shown.bar().scrollBar()));
}

TEST(CardBarWindow, TheSelectedCardIsLightBlueAndSunkenTheOthersGreyAndFlat) {
    CardsShown shown(3, 2);
    test::screenshot(shown.window->hwnd(), "card_bar.png");
    ASSERT_EQ(shown.cards().Count(), 3u);
    ASSERT_EQ(shown.cards().selectedPosition(), 1u);
    const test::Picture picture = test::printClient(shown.barWindow());
    test::savePng(picture, "card_bar_client.png");
    EXPECT_EQ(shown.background(picture, 1), kSelected);
    EXPECT_EQ(shown.leftBorder(picture, 1), systemColour(COLOR_BTNSHADOW)) << "a sunken border";
    for (std::size_t position : {2u, 3u}) {
        EXPECT_EQ(shown.background(picture, position), kPlain) << position;
        EXPECT_EQ(shown.leftBorder(picture, position), systemColour(COLOR_WINDOWFRAME)) << position;
    }
    // A gap of 100 twips between cards, the bar's own colour.
    const RECT first = shown.bar().cardPixels(1);
    const RECT second = shown.bar().cardPixels(2);
    EXPECT_EQ(second.top - first.bottom, std::lround(100 / kq::win32::screenTwips().perPixelY()));
    EXPECT_EQ(picture.at(first.left + 3, (first.bottom + second.top) / 2), systemColour(COLOR_BTNFACE));

    // The titles, folder and count are written on the card.
    int inked = 0;
    for (int y = first.top + 2; y < first.bottom - 2; ++y) {
        for (int x = first.left + 2; x < first.right - 2; ++x) inked += picture.at(x, y) == systemColour(COLOR_BTNTEXT);
    }
    EXPECT_GT(inked, 200);
}

TEST(CardBarWindow, EveryButtonsReleaseSelectsAndShowsTheCardAlsoWhenItIsSelected) {
    CardsShown shown(2, 2);
    HistoryBrowser& browser = shown.window->browser();
    for (const UINT release : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) {
        shown.release(release, 2);
        EXPECT_EQ(shown.cards().selectedPosition(), 2u) << release;
        ASSERT_EQ(browser.list().rows().size(), 1u) << release;
        EXPECT_NE(browser.list().rows()[0].key.find("S1_"), std::string::npos) << release;

        shown.release(release, 1);
        EXPECT_EQ(shown.cards().selectedPosition(), 1u) << release;
        EXPECT_EQ(browser.list().rows().size(), 2u) << release;

        // The selected card again: its list is built anew, with its first row selected.
        const std::set<std::size_t> first = browser.selectedRows();
        browser.setListSelection({}, std::nullopt);
        shown.release(release, 1);
        EXPECT_EQ(browser.selectedRows(), first) << release;
    }
    const test::Picture picture = test::printClient(shown.barWindow());
    EXPECT_EQ(shown.background(picture, 1), kSelected);
    EXPECT_EQ(shown.background(picture, 2), kPlain);

    // A release in the gap between the cards chooses none.
    const RECT first = shown.bar().cardPixels(1);
    SendMessageW(shown.barWindow(), WM_LBUTTONUP, 0, MAKELPARAM(first.left + 5, first.bottom + 3));
    EXPECT_EQ(shown.cards().selectedPosition(), 1u);
}

TEST(CardBarWindow, TheScrollBarMovesTheCardsByAThousandTwipsAUnit) {
    CardsShown shown(25);
    const CardBar& cards = shown.cards();
    ASSERT_GT(cards.scrollMax(), 2);
    EXPECT_TRUE(IsWindowEnabled(shown.bar().scrollBar()));
    int low = 0, high = 0;
    GetScrollRange(shown.bar().scrollBar(), SB_CTL, &low, &high);
    EXPECT_EQ(high, cards.scrollMax());

    const double perPixel = kq::win32::screenTwips().perPixelY();
    shown.scroll(SB_LINEUP);
    EXPECT_EQ(cards.scrollValue(), 0);
    shown.scroll(SB_LINEDOWN);
    shown.scroll(SB_PAGEDOWN);
    EXPECT_EQ(cards.scrollValue(), 2) << "a large change is one unit too";
    EXPECT_EQ(shown.bar().cardPixels(1).top, std::lround((100 - 2000) / perPixel));
    EXPECT_EQ(GetScrollPos(shown.bar().scrollBar(), SB_CTL), 2);
    const test::Picture picture = test::printClient(shown.barWindow());
    for (std::size_t position = 1; position <= cards.Count(); ++position) {
        const RECT r = shown.bar().cardPixels(position);
        if (r.top < 0 || r.bottom > picture.height) continue;
        EXPECT_EQ(shown.background(picture, position), position == 1 ? kSelected : kPlain) << position;
    }

    shown.scroll(SB_BOTTOM);
    EXPECT_EQ(cards.scrollValue(), cards.scrollMax());
    RECT client{};
    GetClientRect(shown.barWindow(), &client);
    const RECT last = shown.bar().cardPixels(cards.Count());
    EXPECT_GT(last.top, 0);
    EXPECT_LE(last.bottom, client.bottom) << "the last card can be scrolled into view";
    shown.scroll(SB_LINEDOWN);
    EXPECT_EQ(cards.scrollValue(), cards.scrollMax());
    test::screenshot(shown.window->hwnd(), "card_bar_scrolled.png");
}

}  // namespace
}  // namespace kq::viewer::win32
