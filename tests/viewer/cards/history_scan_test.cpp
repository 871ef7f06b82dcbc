#include "viewer/cards/history_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"

namespace kq::viewer {
namespace {

using test::MemoryFileSystem;

std::vector<std::uint8_t> history(const char* sheet, const char* version = "V", const char* category = "",
                                  double date = 40000, const char* book = "Book") {
    HistoryRecords r;
    r.header.strSheetId = sheet;
    r.header.strVersionId = version;
    r.header.strCategory = category;
    r.header.datPrintDate = date;
    r.header.strBookName = book;
    return test::historyBytes(r);
}

vb::DateTime at(int minute) { return {2024, 4, 1, 9, minute, 0}; }

std::vector<std::string> paths(const std::vector<FoundHistory>& found) {
    std::vector<std::string> out;
    for (const auto& f : found) out.push_back(f.path);
    return out;
}

TEST(HistoryScan, FindsHistoriesBelowNewestFirstByLastWrite) {
    MemoryFileSystem fs;
    const struct {
        const char* path;
        int minute;
    } files[] = {
        {"D:\\H\\a.tvk", 1},        {"D:\\H\\sub\\deep\\b.tvk", 5},
        {"D:\\H\\sub\\c.TvK", 3},   {"D:\\H\\d.tvk.bak", 9},
        {"D:\\H\\e.txt", 9},        {"D:\\H\\tvk", 9},
        {"D:\\H\\s_1.tvk", 7},      {"D:\\H\\s_2.tvk", 7},
        {"D:\\H\\sub\\s_2.tvk", 7},
    };
    for (const auto& f : files) {
        fs.addFile(f.path, history("S"));
        fs.setLastWrite(f.path, at(f.minute));
    }
    EXPECT_EQ(paths(scanHistoryFolder(fs, "D:\\H")),
              (std::vector<std::string>{"D:\\H\\sub\\s_2.tvk", "D:\\H\\s_2.tvk", "D:\\H\\s_1.tvk",
                                        "D:\\H\\sub\\deep\\b.tvk", "D:\\H\\sub\\c.TvK", "D:\\H\\a.tvk"}));
    EXPECT_EQ(scanHistoryFolder(fs, "D:\\H\\")[0].lastWrite, at(7));
}

TEST(HistoryScan, HiddenAndSystemFoldersAreNotEnteredHiddenFilesAreListed) {
    MemoryFileSystem fs;
    fs.addFile("D:\\H\\hidden file.tvk");
    fs.setFlags("D:\\H\\hidden file.tvk", {.hidden = true});
    fs.addFile("D:\\H\\Hidden\\a.tvk");
    fs.setFlags("D:\\H\\Hidden", {.hidden = true});
    fs.addFile("D:\\H\\System\\a.tvk");
    fs.setFlags("D:\\H\\System", {.system = true});
    fs.addFile("D:\\H\\ReadOnly\\a.tvk");
    fs.setFlags("D:\\H\\ReadOnly", {.readOnly = true});
    EXPECT_EQ(paths(scanHistoryFolder(fs, "D:\\H")),
              (std::vector<std::string>{"D:\\H\\hidden file.tvk", "D:\\H\\ReadOnly\\a.tvk"}));
}

TEST(HistoryScan, LinkLoopsAndUnlistableFoldersEndTheWalk) {
    MemoryFileSystem fs;
    fs.addFile("D:\\H\\a.tvk");
    fs.addFile("D:\\H\\sub\\b.tvk");
    fs.addJunction("D:\\H\\sub\\up", "D:\\H");
    fs.addJunction("D:\\H\\self", "D:\\H\\self");
    fs.addFile("D:\\H\\closed\\c.tvk");
    fs.refuseListing("D:\\H\\closed");
    const auto found = scanHistoryFolder(fs, "D:\\H");
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(scanHistoryFolder(fs, "D:\\Missing").empty());
}

TEST(HistoryScan, TheWalkStopsAtASaneDepth) {
    MemoryFileSystem fs;
    std::string folder = "D:\\H";
    for (int depth = 0; depth <= kMaxScanDepth + 5; ++depth) {
        fs.addFile(folder + "\\a.tvk");
        folder += "\\d";
    }
    const auto found = scanHistoryFolder(fs, "D:\\H");
    EXPECT_EQ(found.size(), static_cast<std::size_t>(kMaxScanDepth + 1));
}

TEST(HistoryScan, CardKeysByGrouping) {
    HistoryFileHeader h;
    h.strSheetId = "S";
    h.strVersionId = "V";
    EXPECT_EQ(cardKeyOf(h, Grouping::all), "ALL");
    EXPECT_EQ(cardKeyOf(h, Grouping::sheet), "S");
    EXPECT_EQ(cardKeyOf(h, Grouping::version), "S_V");
    EXPECT_EQ(cardKeyOf(h, Grouping::category), "CATEGORY_<分類なし>");
    h.strCategory = "経理";
    EXPECT_EQ(cardKeyOf(h, Grouping::category), "CATEGORY_経理");
}

struct CardsWorld {
    CardsWorld() {
        add("D:\\H\\1.tvk", history("S1", "V1", "A"), 1);
        add("D:\\H\\2.tvk", history("S2", "V1", ""), 2);
        add("D:\\H\\3.tvk", history("S1", "V2", "B"), 3);
        add("D:\\H\\4.tvk", history("S1", "V2", "A"), 4);
    }
    void add(const std::string& path, std::vector<std::uint8_t> bytes, int minute) {
        fs.addFile(path, std::move(bytes));
        fs.setLastWrite(path, at(minute));
    }
    std::vector<std::string> cards(Grouping grouping) {
        CardBar bar;
        makeCards(bar, scanHistoryFolder(fs, "D:\\H"), headerReader(fs, systemAnsiCodec()), grouping);
        std::vector<std::string> out;
        for (std::size_t p = 1; p <= bar.Count(); ++p) {
            std::string line = bar.Item(p)->Key() + ":";
            for (const auto& f : bar.Item(p)->files()) {
                line += ' ';
                line += f.substr(5, 1);
            }
            out.push_back(line);
        }
        return out;
    }
    MemoryFileSystem fs;
};

TEST(HistoryCards, OneCardPerKeyInTheOrderOfItsNewestFile) {
    CardsWorld w;
    EXPECT_EQ(w.cards(Grouping::all), (std::vector<std::string>{"ALL: 4 3 2 1"}));
    EXPECT_EQ(w.cards(Grouping::sheet), (std::vector<std::string>{"S1: 4 3 1", "S2: 2"}));
    EXPECT_EQ(w.cards(Grouping::version), (std::vector<std::string>{"S1_V2: 4 3", "S2_V1: 2", "S1_V1: 1"}));
    EXPECT_EQ(w.cards(Grouping::category),
              (std::vector<std::string>{"CATEGORY_A: 4 1", "CATEGORY_B: 3", "CATEGORY_<分類なし>: 2"}));
}

TEST(HistoryCards, UnreadableHistoriesArePassedOver) {
    CardsWorld w;
    std::vector<std::uint8_t> cut = history("S9");
    cut.resize(20);
    w.add("D:\\H\\5.tvk", cut, 9);  // shorter than its header
    w.add("D:\\H\\6.tvk", history("S9"), 9);
    w.fs.lockExclusively("D:\\H\\6.tvk");  // held open without sharing
    w.add("D:\\H\\7.tvk", {}, 9);          // empty
    EXPECT_EQ(w.cards(Grouping::sheet), (std::vector<std::string>{"S1: 4 3 1", "S2: 2"}));

    // Gone between the scan and the read.
    CardBar bar;
    const auto found = scanHistoryFolder(w.fs, "D:\\H");
    w.fs.removeFile("D:\\H\\4.tvk");
    makeCards(bar, found, headerReader(w.fs, systemAnsiCodec()), Grouping::sheet);
    EXPECT_EQ(bar.Item(1)->FilesCount(), 2u);
}

}  // namespace
}  // namespace kq::viewer
