#include "viewer/page_view/page_view.h"

#include <gtest/gtest.h>

#include <functional>
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

// A turn to another page of the history read last reads the page's record,
// the header with the headings and the notes, each in one read, and no other
// page; whatever changed in the file since, the turn shows what a reading of
// the whole file shows.
TEST(PageReader, ATurnReadsLittleAndShowsWhatTheWholeFileSays) {
    const std::string path = "C:\\H\\a.tvk";
    const std::vector<std::uint8_t> original = history(4);
    MemorySource source(original);
    const std::vector<PageImageRecord> pages = *readHistoryPages(source).value;
    const std::size_t last = original.size() - 1;
    const std::uint64_t headerEnd = pages[0].bytDataOffset - kHistoryPageRecordOverhead;  // no headings
    const struct {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> change;
        int page;
    } turns[] = {
        {"unchanged", {}, 3},
        {"the page's own bytes", [&](auto& b) { b[pages[1].bytDataOffset] = 9; }, 2},
        {"the page's descriptor", [&](auto& b) { b[pages[1].bytDataOffset - 10] = 2; }, 2},
        {"an error line", [&](auto& b) { b[last] = 'x'; }, 1},
        {"the header's page count", [&](auto& b) { b[headerEnd - 10] = 3; }, 4},
        {"another history", [&](auto& b) { b = history(5); }, 3},
        {"gone", {}, 0},
    };
    test::MemoryFileSystem files;
    files.addFile(path, original);
    PageReader reader(files, systemAnsiCodec());
    reader.load(path, 1);
    std::vector<std::uint8_t> bytes = original;
    for (const auto& t : turns) {
        SCOPED_TRACE(t.what);
        if (t.change) t.change(bytes);
        if (t.page == 0) files.removeFile(path); else files.addFile(path, bytes);
        const LoadedPage plain = loadHistoryPage(files, systemAnsiCodec(), path, t.page);
        std::vector<std::pair<std::uint64_t, std::size_t>> reads;
        files.readLog = &reads;
        EXPECT_EQ(reader.load(path, t.page), plain);
        files.readLog = nullptr;
        if (t.change) continue;
        EXPECT_EQ(reads.size(), t.page == 0 ? 0u : 3u);
        for (const auto& [at, n] : reads) {
            EXPECT_TRUE(at + n <= pages[1].bytDataOffset || at >= pages[1].bytDataOffset + pages[1].curSize)
                << "page 2's bytes read at " << at;
        }
    }
}

// Writers differ on the order of a page's element count and lower bound: a
// record with the lower bound first is as sound, and its page is shown.
TEST(PageLoad, APageRecordWithItsLowerBoundFirstIsShown) {
    std::vector<std::uint8_t> bytes = history(2);
    MemorySource source(bytes);
    const std::uint64_t second = readHistoryPages(source).value->at(1).bytDataOffset;
    for (int i = 0; i < 4; ++i) {
        bytes[second - 4 + i] = bytes[second - 8 + i];  // the count where the bound was
        bytes[second - 8 + i] = 0;
    }
    test::MemoryFileSystem files;
    files.addFile("C:\\H\\a.tvk", bytes);
    for (const int page : {2, 1, 2}) {
        const LoadedPage loaded = loadHistoryPage(files, systemAnsiCodec(), "C:\\H\\a.tvk", page);
        EXPECT_EQ(loaded.metafile, std::vector<std::uint8_t>(static_cast<std::size_t>(page + 1), static_cast<std::uint8_t>(page - 1)));
        EXPECT_EQ(loaded.errors, "err");
    }
}

}  // namespace
}  // namespace kq::viewer
