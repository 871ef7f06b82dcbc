#include "viewer/properties/history_properties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/vb.h"
#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"

namespace kq::viewer {
namespace {

using test::MemoryFileSystem;

double at(int year, int month, int day, int hour, int minute, int second) {
    return *vb::ToOleDate({year, month, day, hour, minute, second});
}

PropertyRow group(const char* label) { return {label, std::nullopt}; }
PropertyRow row(const char* label, const char* value) { return {label, value}; }

// Rows side by side, so that a failure names the row that differs.
void expectRows(const PropertyRows& shown, const PropertyRows& expected) {
    for (std::size_t i = 0; i < std::max(shown.size(), expected.size()); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i + 1);
        ASSERT_LT(i, shown.size());
        ASSERT_LT(i, expected.size());
        EXPECT_EQ(shown[i].label, expected[i].label);
        EXPECT_EQ(shown[i].value, expected[i].value);
    }
}

HistoryRecords fullHistory() {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.05";
    h.dblExcelVersion = 12;
    h.lngOSVersion = 6;
    h.strCategory = "月次";
    h.strSheetId = "HEADER-SHEET";  // the ids shown come from the file's name
    h.strVersionId = "HEADER-VERSION";
    h.strHistoryId = "HEADER-HISTORY";
    h.strSaveRange = "$A$1:$H$40";
    h.strBookPath = "C:\\Books";
    h.strBookName = "Q&A.xls";
    h.strSheetName = "集計";
    h.strExcelUserName = "山田";
    h.datPrintDate = at(2012, 5, 7, 13, 5, 9);
    h.strPrinterName = "Office Printer";
    h.strLeftHeader = "&P / &N &D";
    h.strCenterHeader = "&F";
    h.strRightHeader = "&A &T";
    h.strLeftFooter = "A&&B";
    h.strCenterFooter = "";
    h.strRightFooter = "&P+1";
    h.dblLeftMargin = 72;
    h.dblTopMargin = 0;
    h.dblRightMargin = 50;  // 1.75: halves go up
    h.dblBottomMargin = 14.4;
    h.dblHeaderMargin = 36;
    h.dblFooterMargin = 28.35;
    h.blnCenterHorizontally = true;
    h.blnCenterVertically = false;
    h.lngOrientation = 2;
    h.lngPaperSize = 256;
    h.lngFirstPageNumber = -4105;
    h.lngOrder = 1;
    r.headings = {{"担当", "担当", "担当", 0}, {"金額", "$B$2", "1,200", 0}, {"参照", "#REF", "", 0}};
    r.comments = {{"a comment", "B2", "山田"}};
    r.errorLines = {{"one"}, {"two"}};
    return r;
}

TEST(HistoryProperties, EveryRowOfAHistory) {
    MemoryFileSystem fs;
    const std::string path = "D:\\History\\Sub\\SHEET1_VER2_H3(2).tvk";
    const std::vector<std::uint8_t> bytes = test::historyBytes(fullHistory());
    ASSERT_LE(bytes.size(), 1000u);
    fs.addFile(path, bytes);
    const std::optional<HistoryProperties> read = readHistoryProperties(fs, systemAnsiCodec(), path);
    ASSERT_TRUE(read);
    expectRows(historyPropertyRows(path, *read),
               {
                   group("履歴ファイル"),
                   row("　　パス", "D:\\History\\Sub"),
                   row("　　名称", "SHEET1_VER2_H3(2).tvk"),
                   row("　　　ID1", "SHEET1"),
                   row("　　　ID2", "VER2"),
                   row("　　　ID3", "H3(2)"),
                   row("　　ファイルのサイズ", "1 KB"),
                   row("　　保存日時", "2012/05/07(月)13:05:09"),
                   group("分類"),
                   row("　　分類名", "月次"),
                   group("対象シート"),
                   row("　　ブックパス", "C:\\Books"),
                   row("　　ブック名", "Q&A.xls"),
                   row("　　シート名", "集計"),
                   row("　　保存セル範囲", "$A$1:$H$40"),
                   row("　　ページ数", "0"),
                   row("　　Shape数", "0"),
                   row("　　コメント数", "1"),
                   group("印刷設定"),
                   row("　　プリンタ名", "Office Printer"),
                   row("　　ヘッダー(左)", "&P / &N 2012/5/7"),
                   row("　　ヘッダー(中)", "C:\\Books\\Q&A.xls"),
                   row("　　ヘッダー(右)", "集計 13:5"),
                   row("　　フッター(左)", "A&B"),
                   row("　　フッター(中)", ""),
                   row("　　フッター(右)", "&P+1"),
                   row("　　余白(左)", "2.5cm"),
                   row("　　余白(上)", "0.0cm"),
                   row("　　余白(右)", "1.8cm"),
                   row("　　余白(下)", "0.5cm"),
                   row("　　余白(ヘッダー)", "1.3cm"),
                   row("　　余白(フッター)", "1.0cm"),
                   row("　　用紙サイズ", "ユーザー設定"),
                   row("　　用紙方向", "横"),
                   row("　　印刷方向", "上から下"),
                   row("　　ページ中央(水平)", "する"),
                   row("　　ページ中央(垂直)", "しない"),
                   row("　　開始ページ番号", "自動"),
                   group("ユーザー設定の見出し"),
                   row("　　担当", "担当"),
                   row("　　金額", "1,200 (=$B$2)"),
                   row("　　参照", " (=#REF)"),
                   group("保存時の環境"),
                   row("　　OSのバージョン", "Windows XP"),
                   row("　　エクセルのバージョン", "Excel2007"),
                   row("　　エクセルのユーザ名", "山田"),
                   row("エラー発生数", "2"),
               });
}

TEST(HistoryProperties, WithoutHeadingsTheEnvironmentFollowsThePrintSetup) {
    HistoryRecords r;
    r.header.lngPaperSize = 13;
    r.header.lngOrientation = 1;
    r.header.lngOrder = 2;
    r.header.lngFirstPageNumber = 1;
    r.header.lngOSVersion = 3;
    r.header.dblExcelVersion = 13;
    MemoryFileSystem fs;
    const std::string path = "D:\\H\\A.tvk";
    fs.addFile(path, test::historyBytes(r));
    const PropertyRows rows = historyPropertyRows(path, *readHistoryProperties(fs, systemAnsiCodec(), path));
    ASSERT_EQ(rows.size(), 43u);
    expectRows(PropertyRows(rows.begin() + 32, rows.end()),
               {
                   row("　　用紙サイズ", " B5 (182 mm x 257 mm)"),
                   row("　　用紙方向", "縦"),
                   row("　　印刷方向", "左から右"),
                   row("　　ページ中央(水平)", "しない"),
                   row("　　ページ中央(垂直)", "しない"),
                   row("　　開始ページ番号", "1"),
                   group("保存時の環境"),
                   row("　　OSのバージョン", "不明"),
                   row("　　エクセルのバージョン", "不明"),
                   row("　　エクセルのユーザ名", ""),
                   row("エラー発生数", "0"),
               });
    // A name without the ids' parts leaves theirs empty; the range shows "自動".
    expectRows(PropertyRows(rows.begin() + 3, rows.begin() + 6),
               {row("　　　ID1", "A"), row("　　　ID2", ""), row("　　　ID3", "")});
    EXPECT_EQ(rows[14], row("　　保存セル範囲", "自動"));
}

TEST(HistoryProperties, WhatCannotBeReadShowsEmptyAndZero) {
    MemoryFileSystem fs;
    fs.addFile("D:\\H\\garbage_x_y.tvk", std::vector<std::uint8_t>(1001, 0xFF));
    const std::optional<HistoryProperties> read = readHistoryProperties(fs, systemAnsiCodec(), "D:\\H\\garbage_x_y.tvk");
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->headerRead);
    const PropertyRows rows = historyPropertyRows("D:\\H\\garbage_x_y.tvk", *read);
    ASSERT_EQ(rows.size(), 43u);
    EXPECT_EQ(rows[6], row("　　ファイルのサイズ", "2 KB"));
    EXPECT_EQ(rows[7], row("　　保存日時", ""));  // no made-up date
    EXPECT_EQ(rows[14], row("　　保存セル範囲", "自動"));
    EXPECT_EQ(rows[26], row("　　余白(左)", "0.0cm"));
    EXPECT_EQ(rows[32], row("　　用紙サイズ", "不明"));

    // Headings cut short: the header is shown, no heading.
    HistoryRecords r = fullHistory();
    r.comments.clear();
    r.errorLines.clear();
    std::vector<std::uint8_t> cut = test::historyBytes(r);
    cut.pop_back();
    fs.addFile("D:\\H\\cut.tvk", cut);
    const std::optional<HistoryProperties> partly = readHistoryProperties(fs, systemAnsiCodec(), "D:\\H\\cut.tvk");
    ASSERT_TRUE(partly);
    EXPECT_TRUE(partly->headerRead);
    EXPECT_TRUE(partly->history.headings.empty());
    EXPECT_EQ(historyPropertyRows("D:\\H\\cut.tvk", *partly)[12], row("　　ブック名", "Q&A.xls"));
}

TEST(HistoryProperties, OnlyAFileThatIsThereHasProperties) {
    MemoryFileSystem fs;
    fs.addFile("D:\\H\\hidden.tvk", test::historyBytes(fullHistory()));
    fs.setFlags("D:\\H\\hidden.tvk", {.hidden = true, .system = true});
    fs.addDirectory("D:\\H\\folder.tvk");
    EXPECT_FALSE(readHistoryProperties(fs, systemAnsiCodec(), ""));
    EXPECT_FALSE(readHistoryProperties(fs, systemAnsiCodec(), "D:\\H\\gone.tvk"));
    EXPECT_FALSE(readHistoryProperties(fs, systemAnsiCodec(), "D:\\H\\folder.tvk"));
    // The list shows hidden histories, so their properties show too.
    EXPECT_TRUE(readHistoryProperties(fs, systemAnsiCodec(), "D:\\H\\hidden.tvk"));
}

TEST(HistoryProperties, PaperSizeNames) {
    const struct {
        std::int32_t code;
        const char* name;
    } cases[] = {{1, "レター (8 1/2 x 11 インチ)"},
                 {9, "A4 (210 mm x 297 mm)"},
                 {13, " B5 (182 mm x 257 mm)"},
                 {41, "German Legal Fanfold (8-1/2 x 13 インチ)"},
                 {256, "ユーザー設定"},
                 {0, "不明"},
                 {-1, "不明"},
                 {42, "不明"},
                 {255, "不明"},
                 {257, "不明"}};
    for (const auto& c : cases) EXPECT_EQ(GetPaperSizeName(c.code), c.name) << c.code;
}

TEST(HistoryProperties, MarginsInCentimetres) {
    const struct {
        double points;
        const char* shown;
    } cases[] = {{72, "2.5cm"},        {0, "0.0cm"},     {50, "1.8cm"},  {10, "0.4cm"},
                 {-0.5, "0.0cm"},      {-50, "-1.8cm"},  {2857.2, "100.0cm"},
                 {std::numeric_limits<double>::infinity(), "1.#INFcm"}};
    for (const auto& c : cases) EXPECT_EQ(marginText(c.points), c.shown) << c.points;
}

TEST(CardProperties, CountsAndDatesOfTheHistoriesRead) {
    MemoryFileSystem fs;
    const auto add = [&](const std::string& path, double date, bool errors) {
        HistoryRecords r;
        r.header.datPrintDate = date;
        if (errors) r.errorLines = {{"failed"}};
        fs.addFile(path, test::historyBytes(r));
    };
    add("D:\\H\\a.tvk", at(2011, 1, 2, 3, 4, 5), false);
    add("D:\\H\\b.tvk", at(2010, 5, 1, 10, 0, 0), true);
    add("D:\\H\\nodate.tvk", 1e12, true);
    fs.addFile("D:\\H\\broken.tvk", {1, 2, 3});
    const HeaderReader read = headerReader(fs, systemAnsiCodec());
    const auto cardOf = [](std::vector<std::string> paths) {
        Card card;
        for (std::string& p : paths) card.FilesAdd(std::move(p), "", "", "", 0);
        return card;
    };
    const auto rows = [](const char* count, const char* errors, const char* first, const char* last) {
        return PropertyRows{group("データファイル"), row("　　ファイル数", count),
                            row("　　エラーが含まれるファイル数", errors), row("　　開始日時", first),
                            row("　　最新日時", last)};
    };
    expectRows(cardPropertyRows(cardOf({"D:\\H\\a.tvk", "D:\\H\\b.tvk"}), read),
               rows("2", "1", "2010/05/01(土)10:00:00", "2011/01/02(日)03:04:05"));
    // Unreadable histories are counted and nothing more; a stored non-date
    // counts its errors but no date.
    expectRows(cardPropertyRows(cardOf({"D:\\H\\broken.tvk", "D:\\H\\a.tvk", "D:\\H\\gone.tvk", "D:\\H\\nodate.tvk"}), read),
               rows("4", "1", "2011/01/02(日)03:04:05", "2011/01/02(日)03:04:05"));
    expectRows(cardPropertyRows(cardOf({"D:\\H\\broken.tvk", "D:\\H\\gone.tvk"}), read), rows("2", "0", "-", "-"));
    expectRows(cardPropertyRows(Card{}, read), rows("0", "0", "-", "-"));
}

}  // namespace
}  // namespace kq::viewer
