#include "viewer/file_list/file_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "viewer/file_list/version_names.h"

namespace kq::viewer {
namespace {

// Every character is 100 twips wide, whatever it is.
struct FixedWidths final : TextWidths {
    double textWidth(std::string_view text) override { return 100.0 * static_cast<double>(text.size()); }
};

constexpr double kMar15 = 45366.4274305556;  // 2024/03/15 10:15:30, a Friday

struct World {
    ListedHistory& add(const std::string& path, double date, std::vector<UserHeadingRecord> headings = {}) {
        ListedHistory& h = histories[path];
        h.header.datPrintDate = date;
        h.headings = std::move(headings);
        card.FilesAdd(path, "", "", "", date);
        return h;
    }
    FileList build(const SearchFilter& search = {}) {
        return FileList::build(
            &card, settings,
            [&](const std::string& path) -> std::optional<ListedHistory> {
                const auto it = histories.find(path);
                if (it == histories.end()) return std::nullopt;
                return it->second;
            },
            search, widths, compareIgnoringCase);
    }
    std::vector<std::string> captions(const FileList& list) const {
        std::vector<std::string> out;
        for (const auto& c : list.columns()) out.push_back(c.caption);
        return out;
    }
    Card card;
    ViewSettings settings;
    std::map<std::string, ListedHistory> histories;
    FixedWidths widths;
};

TEST(FileListCells, SizesInThousandsRoundedUp) {
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {{0, "0 KB"},
                 {1, "1 KB"},
                 {1000, "1 KB"},
                 {1001, "2 KB"},
                 {999999, "1,000 KB"},
                 {1234567, "1,235 KB"},
                 // Whole groups of three digits: no separator before the first.
                 {250000, "250 KB"},
                 {250000000, "250,000 KB"},
                 {250000000000ull, "250,000,000 KB"},
                 {5000000000000ull, "5,000,000,000 KB"}};
    for (const auto& c : cases) EXPECT_EQ(sizeText(c.bytes), c.text) << c.bytes;
}

TEST(FileListCells, DatesWithTheJapaneseWeekdayAndUnreadableDatesShowSafely) {
    EXPECT_EQ(listDateText(kMar15), "2024/03/15(金) 10:15:30");
    EXPECT_EQ(listDateText(0), "1899/12/30(土) 00:00:00");
    EXPECT_EQ(listDateText(std::numeric_limits<double>::quiet_NaN()), "不明");
    EXPECT_EQ(listDateText(1e300), "不明");
    EXPECT_EQ(listDateText(-1e9), "不明");
}

TEST(FileListCells, FixedColumnTexts) {
    ListedHistory h;
    h.header.strSaveRange = "";
    h.header.lngOSVersion = 12;
    h.header.dblExcelVersion = 14;
    h.header.intPageCount = 3;
    h.header.intErrorCount = -1;
    h.size = 1001;
    const std::string path = "C:\\H\\sub\\A_B_C(2).tvk";
    EXPECT_EQ(fixedCellText(8, path, h), "自動");
    h.header.strSaveRange = "$A$1:$C$3";
    EXPECT_EQ(fixedCellText(8, path, h), "$A$1:$C$3");
    EXPECT_EQ(fixedCellText(10, path, h), "Windows 10");
    EXPECT_EQ(fixedCellText(11, path, h), "Excel2010");
    EXPECT_EQ(fixedCellText(14, path, h), "3");
    EXPECT_EQ(fixedCellText(17, path, h), "-1");
    EXPECT_EQ(fixedCellText(18, path, h), "A_B_C(2).tvk");
    EXPECT_EQ(fixedCellText(19, path, h), "2 KB");
}

TEST(VersionNames, KnownCodesAndTheRestUnknown) {
    const struct {
        std::int32_t code;
        const char* name;
    } os[] = {{0, "Windows 95"},   {1, "Windows 98"},  {2, "Windows ME"},    {3, "不明"},      {4, "Windows NT"},
              {5, "Windows 2000"}, {6, "Windows XP"},  {7, "Windows VISTA"}, {8, "Windows 7"}, {9, "Windows 8"},
              {10, "Windows 8.1"}, {11, "Windows 10"}, {12, "Windows 10"},   {13, "不明"},     {-1, "不明"}};
    for (const auto& c : os) EXPECT_EQ(GetOSVersionName(c.code), c.name) << c.code;
    const struct {
        double version;
        const char* name;
    } excel[] = {{9, "Excel2000"}, {10, "Excel2002"}, {11, "Excel2003"},     {12, "Excel2007"},
                 {13, "不明"},     {14, "Excel2010"}, {15, "Excel2013"},     {16, "Excel2016"},
                 {17, "不明"},     {14.5, "不明"},    {std::nan(""), "不明"}};
    for (const auto& c : excel) EXPECT_EQ(GetExcelVersionName(c.version), c.name) << c.version;
}

TEST(FileList, NoCardGivesTheSingleRowNothing) {
    World w;
    FixedWidths widths;
    const FileList list = FileList::build(nullptr, w.settings, {}, {}, widths, compareIgnoringCase);
    EXPECT_EQ(list.placeholder(), FileList::Placeholder::noCard);
    ASSERT_EQ(list.columns().size(), 1u);
    EXPECT_EQ(list.columns()[0].width, 200 * 3 + 300);  // "なし" is six bytes here
    ASSERT_EQ(list.rows().size(), 1u);
    EXPECT_EQ(list.rows()[0].cells, std::vector<std::string>{"なし"});
    EXPECT_FALSE(list.firstRow());
}

TEST(FileList, NothingListedGivesTheGreyNoResultsRow) {
    World w;
    w.add("C:\\H\\a.tvk", kMar15);
    w.add("C:\\H\\b.txt", kMar15);
    w.card.FilesAdd("C:\\H\\gone.tvk", "", "", "", 0);  // unreadable: passed over
    const FileList list = w.build([](const std::string&) { return false; });
    EXPECT_EQ(list.placeholder(), FileList::Placeholder::noResults);
    ASSERT_EQ(list.columns().size(), 1u);
    EXPECT_EQ(list.columns()[0].width, 3000);
    EXPECT_EQ(list.rows()[0].cells[0], "検索結果なし");
    EXPECT_FALSE(list.rowOf(""));
}

TEST(FileList, ColumnsInOrderWithMissingHeadingsShownAsDashes) {
    World w;
    w.settings.setColumn(ColumnSwitch::Area, true);
    w.settings.setColumn(ColumnSwitch::BookName, true);
    w.settings.setColumn(ColumnSwitch::Category, true);
    w.add("C:\\H\\1.tvk", kMar15, {{"A", "$A$1", "a1", 0}, {"B", "$B$1", "b1", 0}});
    ListedHistory& second =
        w.add("C:\\H\\2.tvk", kMar15 + 1, {{"B", "$B$1", "", 0}, {"C", "$C$1", "c2", 0}, {"C", "x", "c2'", 0}});
    second.header.intErrorCount = 2;
    w.add("C:\\H\\3.TVK", kMar15 - 1, {{"ページ数", "x", "heading", 0}});
    w.add("C:\\H\\4.tvk.bak", kMar15);

    const FileList list = w.build();
    EXPECT_EQ(w.captions(list),
              (std::vector<std::string>{"A", "B", "C", "ページ数", "ブック名", "分類名", "保存範囲", "日付", ""}));
    EXPECT_TRUE(list.columns()[3].userPicture());  // the heading, not a fixed column
    EXPECT_FALSE(list.columns()[4].userPicture());
    ASSERT_EQ(list.rows().size(), 3u);
    // Newest print first.
    EXPECT_EQ(list.rows()[0].key, "C:\\H\\2.tvk");
    EXPECT_EQ(list.rows()[0].cells,
              (std::vector<std::string>{"---", "", "c2'", "---", "", "", "自動", "2024/03/16(土) 10:15:30", ""}));
    EXPECT_TRUE(list.rows()[0].errorPicture);
    EXPECT_EQ(list.rows()[1].cells[0], "a1");
    EXPECT_EQ(list.rows()[1].cells[2], "---");
    EXPECT_FALSE(list.rows()[1].errorPicture);
    EXPECT_EQ(list.rows()[2].key, "C:\\H\\3.TVK");
    EXPECT_EQ(list.firstRow(), 0u);
    EXPECT_EQ(list.rowOf("C:\\H\\1.tvk"), 1u);
    EXPECT_EQ(list.sortColumn(), 7u);
    EXPECT_TRUE(list.sortDescending());
}

TEST(FileList, HeadingsOffLeaveOnlyTheDateAndTheFiller) {
    World w;
    w.settings.setColumn(ColumnSwitch::DataTitle, false);
    w.add("C:\\H\\1.tvk", kMar15, {{"A", "$A$1", "a1", 0}});
    const FileList list = w.build();
    EXPECT_EQ(w.captions(list), (std::vector<std::string>{"日付", ""}));
    EXPECT_EQ(list.rows()[0].cells, (std::vector<std::string>{"2024/03/15(金) 10:15:30", ""}));
}

TEST(FileList, WidthsFollowTheWidestTextUpToTheLimit) {
    World w;
    w.add("C:\\H\\1.tvk", kMar15,
          {{"short", "", "abc", 0}, {"long", "", std::string(200, 'x'), 0}, {"empty", "", "", 0}});
    w.add("C:\\H\\2.tvk", kMar15, {{"short", "", "abcdefgh", 0}});
    const FileList list = w.build();
    EXPECT_EQ(list.columns()[0].width, 800 + 300);
    EXPECT_EQ(list.columns()[1].width, 10000);
    EXPECT_EQ(list.columns()[2].width, 300);  // captions are not measured
}

TEST(FileList, ColumnClickTurnsTheOrderOrSortsAnotherColumnDescending) {
    World w;
    w.settings.setColumn(ColumnSwitch::FileName, true);
    w.add("C:\\H\\b.tvk", kMar15);
    w.add("C:\\H\\a.tvk", kMar15 + 2);
    w.add("C:\\H\\C.tvk", kMar15 + 1);
    FileList list = w.build();
    const auto keys = [&] {
        std::string out;
        for (const auto& r : list.rows()) out += r.key.substr(5, 1);
        return out;
    };
    EXPECT_EQ(keys(), "aCb");
    list.columnClick(1, compareIgnoringCase);  // the date column: ascending
    EXPECT_EQ(keys(), "bCa");
    list.columnClick(1, compareIgnoringCase);
    EXPECT_EQ(keys(), "aCb");
    list.columnClick(0, compareIgnoringCase);  // the file names, descending, letter case aside
    EXPECT_EQ(keys(), "Cba");
    EXPECT_EQ(list.sortColumn(), 0u);
}

}  // namespace
}  // namespace kq::viewer
