#include "viewer/main/page_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/history_reader.h"
#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"

namespace kq::viewer {
namespace {

TEST(PageFit, FitsNeverEnlargesAndNeedsRoomBeyondTheMargins) {
    const struct {
        double W, H, viewW, viewH;
        std::optional<Rect> page;
    } cases[] = {
        {1000, 2000, 10600, 10600, Rect{300, 300, 1000, 2000}},  // smaller: natural size
        {10000, 5000, 5600, 10600, Rect{300, 300, 5000, 2500}},  // wider: the available width
        {5000, 10000, 10600, 5600, Rect{300, 300, 2500, 5000}},  // taller: the available height
        {10000, 10000, 10600, 10600, Rect{300, 300, 10000, 10000}},
        {1000, 1000, 600, 5000, std::nullopt},  // no room: nothing drawn
        {1000, 1000, 5000, 601, Rect{300, 300, 1, 1}},
        {0, 1000, 5000, 5000, std::nullopt},  // an empty frame cannot be drawn
    };
    for (const auto& c : cases) {
        const auto fit = fitPage(c.W, c.H, c.viewW, c.viewH);
        ASSERT_EQ(fit.has_value(), c.page.has_value()) << c.W << " in " << c.viewW;
        if (fit) {
            EXPECT_EQ(fit->page, *c.page);
            EXPECT_EQ(fit->scale, c.page->width / c.W);
        }
    }
}

TEST(PageFit, ShadowTilesEveryEightPixelsAndTheCorners) {
    const auto tiles = shadowTiles(Rect{300, 300, 240, 120}, 15);
    using K = ShadowTile::Kind;
    EXPECT_EQ(tiles, (std::vector<ShadowTile>{{K::right, 540, 300},
                                              {K::right, 540, 420},
                                              {K::bottom, 300, 420},
                                              {K::bottom, 420, 420},
                                              {K::bottom, 540, 420},
                                              {K::topRight, 540, 300},
                                              {K::bottomLeft, 300, 420},
                                              {K::bottomRight, 540, 420}}));
}

TEST(PageNumber, LabelAndButtons) {
    const struct {
        int wanted, count;
        const char* label;
        bool previous, next, labelEnabled;
    } cases[] = {
        {1, 3, "1 / 3 ページ", false, true, true},    {3, 3, "3 / 3 ページ", true, false, true},
        {5, 3, "3 / 3 ページ", true, false, true},    {0, 3, "1 / 3 ページ", false, true, true},
        {1, 1, "1 / 1 ページ", false, false, false},  {1, 0, "0 / 0 ページ", false, false, false},
        {2, -4, "0 / 0 ページ", false, false, false},
    };
    for (const auto& c : cases) {
        const PageNumber n = pageNumber(c.wanted, c.count);
        EXPECT_EQ(n.label, c.label);
        EXPECT_EQ(n.previousEnabled, c.previous) << c.label;
        EXPECT_EQ(n.nextEnabled, c.next) << c.label;
        EXPECT_EQ(n.labelEnabled, c.labelEnabled) << c.label;
    }
}

TEST(PagePanel, CommentsAreLabelledAndIndented) {
    const std::string text = commentText({{"first", "A1", "me"}, {"line1\r\nline2", "B2", "me"}});
    EXPECT_EQ(text,
              "セル　：　A1\r\nコメント　：　first\r\n\r\n"
              "セル　：　B2\r\nコメント　：　line1\r\n　　　　　　　line2\r\n");
    EXPECT_EQ(commentText({}), "");
    EXPECT_EQ(errorText({{"e1"}, {"e2"}}), "e1\r\ne2");
}

// A history of `pages` pages, page n holding n + 1 bytes, with one comment and one error line.
std::vector<std::uint8_t> history(int pages) {
    HistoryRecords r;
    r.header.strSheetId = "S";
    for (int i = 0; i < pages; ++i) r.pageTexts.push_back({"t"});
    r.comments = {{"note", "A1", "me"}};
    r.errorLines = {{"err"}};
    std::vector<std::vector<std::uint8_t>> images;
    for (int i = 0; i < pages; ++i) images.emplace_back(static_cast<std::size_t>(i + 2), static_cast<std::uint8_t>(i));
    return test::historyBytes(r, images);
}

TEST(PageLoad, ClampedPageWithCommentsAndErrors) {
    test::MemoryFileSystem files;
    files.addFile("C:\\H\\a.tvk", history(3));
    const LoadedPage page = loadHistoryPage(files, systemAnsiCodec(), "C:\\H\\a.tvk", 7);
    EXPECT_TRUE(page.loaded);
    EXPECT_EQ(page.number.label, "3 / 3 ページ");
    EXPECT_EQ(page.metafile, std::vector<std::uint8_t>(4, 2));
    EXPECT_EQ(page.comments, "セル　：　A1\r\nコメント　：　note\r\n");
    EXPECT_EQ(page.errors, "err");
}

TEST(PageLoad, MissingDamagedAndPagelessHistories) {
    test::MemoryFileSystem files;
    files.addFile("C:\\H\\none.tvk", history(0));
    std::vector<std::uint8_t> cut = history(2);
    cut.resize(cut.size() - 30);  // the last page, comments and errors cut off
    files.addFile("C:\\H\\cut.tvk", cut);
    files.addFile("C:\\H\\short.tvk", {1, 2, 3});
    const auto& codec = systemAnsiCodec();

    EXPECT_FALSE(loadHistoryPage(files, codec, "C:\\H\\gone.tvk", 1).loaded);
    EXPECT_FALSE(loadHistoryPage(files, codec, "", 1).loaded);
    EXPECT_FALSE(loadHistoryPage(files, codec, "C:\\H\\short.tvk", 1).loaded);

    const LoadedPage none = loadHistoryPage(files, codec, "C:\\H\\none.tvk", 1);
    EXPECT_TRUE(none.loaded);
    EXPECT_EQ(none.number.label, "0 / 0 ページ");
    EXPECT_TRUE(none.metafile.empty());

    const LoadedPage cutPage = loadHistoryPage(files, codec, "C:\\H\\cut.tvk", 2);
    EXPECT_TRUE(cutPage.loaded);
    EXPECT_TRUE(cutPage.metafile.empty());  // the cross
    EXPECT_EQ(cutPage.number.label, "2 / 2 ページ");

    // Page 1's record disagrees with its length (a two-dimensional array):
    // that page is crossed, the next one and the notes after it still read.
    std::vector<std::uint8_t> damaged = history(2);
    MemorySource source(damaged);
    const std::uint64_t firstPage = readHistoryPages(source).value->at(0).bytDataOffset;
    damaged[firstPage - 10] = 2;
    files.addFile("C:\\H\\damaged.tvk", damaged);
    const LoadedPage crossed = loadHistoryPage(files, codec, "C:\\H\\damaged.tvk", 1);
    EXPECT_TRUE(crossed.metafile.empty());
    EXPECT_EQ(crossed.comments, "セル　：　A1\r\nコメント　：　note\r\n");
    EXPECT_EQ(crossed.errors, "err");
    EXPECT_EQ(loadHistoryPage(files, codec, "C:\\H\\damaged.tvk", 2).metafile, std::vector<std::uint8_t>(3, 1));
}

}  // namespace
}  // namespace kq::viewer
