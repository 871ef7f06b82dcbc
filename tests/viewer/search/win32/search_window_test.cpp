// The main window's search by real typing and clicks: the filter box with
// Enter, the button's two pictures, emptying the box, and the grey row that
// stands in the list while a search runs.

#include "viewer/main_window/win32/history_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/window_driver.h"
#include "tests/viewer/main_window/win32/opened_history_window.h"

namespace kq::viewer::win32 {
namespace {

using fixture::Opened;
using test::Key;
using Texts = std::vector<std::string>;

// The first cell of each row the list view shows.
Texts firstCells(HWND list) {
    Texts out;
    for (const auto& row : test::rowsOf(list)) out.push_back(row.empty() ? std::string() : row.front());
    return out;
}

// Three histories of one sheet, newest first: 1, 2, 3.
void histories(const std::string& folder) {
    struct Made {
        const char* name;
        const char* comment;
        const char* page;
        const char* printer;
    };
    const Made made[] = {
        {"1.tvk", "Alpha note", "見積", "P"},
        {"2.tvk", "", "beta ＡＢＣ", "gamma"},
        {"3.tvk", "", "alpha beta", "P"},
    };
    int age = 0;
    for (const Made& m : made) {
        HistoryRecords r;
        r.header.strSheetId = "S";
        r.header.strVersionId = "V";
        r.header.strBookName = "月次.xls";
        r.header.strPrinterName = m.printer;
        r.header.datPrintDate = 45000 - age;
        if (*m.comment) r.comments.push_back({m.comment, "B2", "山田"});
        r.pageTexts.push_back({m.page});
        ++age;
        ASSERT_TRUE(test::writeHistoryFile(folder + "\\" + m.name, r, age, {std::vector<std::uint8_t>(64, 0)}));
    }
}

struct Search {
    Opened opened{{}, histories};
    HWND box = opened.window->filterBox();
    HWND button = opened.window->filterButton();
    HWND list = opened.window->fileList();
    const ViewerPictures pictures = loadViewerPictures();
    std::size_t built = 0;
    Connection onBuilt = opened.window->browser().listBuilt.connect([this] { ++built; });

    int picture() const {
        TBBUTTON b{};
        SendMessageW(button, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b));
        return b.iBitmap;
    }
    bool shows(const char* key) const { return picture() == pictures.imlButton.index(key); }
    // Histories listed; none while a placeholder row stands.
    std::size_t listed() const {
        return opened.window->browser().list().placeholder() == FileList::Placeholder::none
                   ? opened.window->browser().list().rows().size()
                   : 0;
    }
    std::size_t builds() const { return built; }
    void enter() { test::pressKeys(box, {Key{VK_RETURN}}); }
    void clickButton() {
        RECT r{};
        SendMessageW(button, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        test::clickAt(button, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    bool settles(std::size_t rows) {
        return test::waitUntil([&] { return listed() == rows; });
    }
};

TEST(SearchWindow, EnterAppliesTheBoxAndTheButtonEndsTheSearch) {
    Search s;
    ASSERT_EQ(s.listed(), 3u);
    ASSERT_TRUE(s.shows("SEARCH"));

    test::typeText(s.box, "ALPHA");
    ASSERT_TRUE(test::waitUntil([&] { return test::textOf(s.box) == "ALPHA"; }));
    const std::size_t before = s.builds();
    EXPECT_EQ(s.listed(), 3u) << "typing alone applies nothing";
    EXPECT_EQ(s.builds(), before);

    s.enter();
    ASSERT_TRUE(s.settles(2u));  // the comment of 1 and the page of 3
    EXPECT_TRUE(s.shows("DELETE"));
    EXPECT_EQ(test::rowsOf(s.list).size(), 2u);
    test::screenshot(s.opened.window->hwnd(), "search_applied.png");

    // The box's text is in force: Enter again does nothing.
    const std::size_t applied = s.builds();
    s.enter();
    test::waitUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(s.builds(), applied);

    // Edited: the picture offers to search again, the list stays.
    test::typeText(s.box, " -beta");
    ASSERT_TRUE(test::waitUntil([&] { return s.shows("SEARCH"); }));
    EXPECT_EQ(s.listed(), 2u);
    test::screenshot(s.opened.window->hwnd(), "search_edited.png");
    s.enter();
    ASSERT_TRUE(s.settles(1u));
    EXPECT_EQ(s.opened.window->browser().currentHistory(), s.opened.folder.path() + "\\1.tvk");

    // The button under its end picture: the box emptied, everything listed.
    s.clickButton();
    ASSERT_TRUE(s.settles(3u));
    EXPECT_EQ(test::textOf(s.box), "");
    EXPECT_TRUE(s.shows("SEARCH"));
    EXPECT_EQ(s.opened.window->search().SearchText(), "");
}

TEST(SearchWindow, EmptyingTheBoxEndsTheSearchAndNothingFoundIsTold) {
    Search s;
    // Found only in a printer's name: not searched.
    test::typeText(s.box, "gamma");
    s.enter();
    ASSERT_TRUE(test::waitUntil([&] {
        return s.opened.window->browser().list().placeholder() == FileList::Placeholder::noResults;
    }));
    EXPECT_EQ(firstCells(s.list), (Texts{"検索結果なし"}));
    test::screenshot(s.opened.window->hwnd(), "search_nothing_found.png");

    test::pressKeys(s.box, {Key{VK_END}, Key{VK_BACK}, Key{VK_BACK}, Key{VK_BACK}, Key{VK_BACK}, Key{VK_BACK}});
    ASSERT_TRUE(s.settles(3u));
    EXPECT_TRUE(s.shows("SEARCH"));
    EXPECT_EQ(s.opened.window->search().SearchText(), "");

    // Full-width letters in upper case find their lower case, not the half-width ones.
    test::typeText(s.box, "ａｂｃ");
    s.enter();
    ASSERT_TRUE(s.settles(1u));
    SendMessageW(s.box, EM_SETSEL, 0, -1);
    test::pressKeys(s.box, {Key{VK_DELETE}});
    ASSERT_TRUE(s.settles(3u));
}

TEST(SearchWindow, AnUnmatchedQuoteIsClosedInTheBox) {
    Search s;
    test::typeText(s.box, "\"alpha b");
    s.enter();
    ASSERT_TRUE(s.settles(1u));
    EXPECT_EQ(test::textOf(s.box), "\"alpha b\"");
    EXPECT_EQ(s.opened.window->search().SearchText(), "\"alpha b");
    // The closing quote was the program's, not an edit: the search stays in force.
    EXPECT_TRUE(s.shows("DELETE"));
}

TEST(SearchWindow, TheGreyRowStandsInTheListBeforeTheFirstHistoryIsRead) {
    Search s;
    Texts seen;
    bool enabled = true;
    s.opened.files.opening = [&](const std::string&) {
        if (!seen.empty()) return;
        seen = firstCells(s.list);
        enabled = IsWindowEnabled(s.list) != FALSE;
        test::savePng(test::printClient(s.list), "search_under_way.png");
    };
    test::typeText(s.box, "beta");
    s.enter();
    ASSERT_TRUE(s.settles(2u));
    s.opened.files.opening = {};
    EXPECT_EQ(seen, (Texts{"検索中"}));
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(IsWindowEnabled(s.list));
}

}  // namespace
}  // namespace kq::viewer::win32
