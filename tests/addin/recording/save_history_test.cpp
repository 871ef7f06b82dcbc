#include "addin/recording/save_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "addin/core/texts.h"
#include "tests/addin/recording/host_proxy.h"
#include "tests/addin/recording/recorder_test_world.h"

namespace kq::addin::recording {
namespace {

using host::sim::SimWorksheet;
using kq::test::ShownMessage;
using test::RecorderTestWorld;

constexpr unsigned kCritical = 0x10;
const std::string kErrorsHead = "下記のエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。\r\n\r\n";
const std::string kUnknown = "不明なエラーが発生しました。\r\n印刷履歴が保存されていない可能性があります。";
const std::string kHeadingBox = "履歴を保存しましたが、見出しとして設定されているセルがエラーになっています。";

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

struct Heading {
    std::string title;
    std::string source;
    std::int32_t type = 0;
};

class Recording : public ::testing::Test {
protected:
    Recording() { book = w.sim->addWorkbook("Book.xls", "C:\\books"); }

    // A watched sheet; ids are made from its place among the watches.
    std::shared_ptr<SimWorksheet> watched(const std::string& name, const std::string& saveRange = {},
                                          const std::vector<Heading>& headings = {}) {
        const auto sheet = book->addWorksheet(name);
        std::vector<std::string> titles, values;
        std::vector<std::int32_t> types;
        for (const Heading& h : headings) {
            titles.push_back(h.title);
            values.push_back(h.source);
            types.push_back(h.type);
        }
        const char letter = static_cast<char>('A' + watches_++);
        w.docPros.Add(book, sheet, "月次", std::string("20240101090000S") + letter + "A",
                      std::string("20240101090000V") + letter + "A", saveRange, titles, values, types);
        return sheet;
    }

    void run(host::ApplicationPtr application = {}) {
        RecorderWorld world = w.world();
        if (application) world.application = std::move(application);
        SaveHistory(world);
    }

    // The name the first history of the watch made `index`-th gets (from 0).
    std::string historyName(int index, const std::string& suffix = {}) {
        test::FixedClock clock;
        c_Xl_DocPros ids(clock, [] { return 0.5; });
        const char letter = static_cast<char>('A' + index);
        return std::string("20240101090000S") + letter + "A_20240101090000V" + letter + "A_" + ids.CalcNewId() +
               suffix + ".tvk";
    }

    void clearHistory() {
        for (const std::string& name : w.historyFiles())
            w.files.removeFile(std::string(test::kHistoryFolder) + "\\" + name);
    }

    void expectErrorBox(const std::vector<std::string>& lines) {
        EXPECT_EQ(w.prompts.messages,
                  (std::vector<ShownMessage>{{kErrorsHead + joined(lines), test::kTitle, kCritical}}));
    }

    void expectNothingLeft() {
        EXPECT_EQ(w.files.filesIn(test::kTempFolder), std::vector<std::string>{});
        EXPECT_EQ(w.sim->statusBar(), std::nullopt);
    }

    RecorderTestWorld w;
    std::shared_ptr<host::sim::SimWorkbook> book;

private:
    int watches_ = 0;
};

TEST_F(Recording, NothingHappensWithoutASelectedWatch) {
    struct Case {
        const char* name;
        std::vector<std::string> selected;
        bool released;
    };
    const std::vector<Case> cases = {
        {"unwatched sheet", {"Plain"}, false},
        {"released watch", {"Watched"}, true},
        {"chart sheet and unwatched sheet", {"Chart", "Plain"}, false},
    };
    const auto watchedSheet = watched("Watched");
    test::fillWithAddresses(*watchedSheet, 1, 1, 3, 3);
    book->addWorksheet("Plain");
    book->addChartSheet("Chart");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.setting->ShowMessageWhenPrintRun(true);
        if (c.released) w.docPros.Release(watchedSheet);
        book->selectSheets(c.selected);
        run();
        EXPECT_TRUE(w.system.boxes.empty());
        EXPECT_TRUE(w.prompts.messages.empty());
        EXPECT_TRUE(w.sim->statusBarHistory().empty());
        EXPECT_TRUE(w.historyFiles().empty());
        EXPECT_EQ(book->properties()->Count(), 0);  // the watches were not stored either
    }
}

TEST_F(Recording, PreconditionsEndTheRunWithTheirErrorLine) {
    struct Case {
        const char* name;
        std::string nothing;  // a call that answers Nothing
        std::int32_t windowState;
        std::int32_t disabledControl;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"no active workbook", "Application.ActiveWorkbook", host::xlMaximized, 0, "err:not find activeworkbook"},
        {"no active window", "Application.ActiveWindow", host::xlMaximized, 0, "err:not find activewindow. Book.xls"},
        {"no selection", "Application.Selection", host::xlMaximized, 0, "err:not find selection. Book.xls"},
        {"minimized", "", host::xlMinimized, 0, "err:windowState. Book.xls"},
        {"nothing printable", "", host::xlMaximized, 748, "err:not find activeworkbook"},
        {"editing a cell", "", host::xlMaximized, 18, "err:now editing. Book.xls"},
    };
    const auto sheet = watched("Watched");
    test::fillWithAddresses(*sheet, 1, 1, 3, 3);
    book->selectSheets({"Watched"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.prompts.messages.clear();
        test::HostHook hook;
        if (!c.nothing.empty()) hook.nothing.insert(c.nothing);
        book->window()->setWindowState(c.windowState);
        for (const std::int32_t id : {18, 748}) w.sim->control(id)->setEnabled(id != c.disabledControl);
        run(test::proxy(hook, w.application));
        expectErrorBox({c.line});
        EXPECT_TRUE(w.historyFiles().empty());
        EXPECT_EQ(book->properties()->Count(), 0);
        expectNothingLeft();
    }
}

TEST_F(Recording, ConfirmationDecidesAndItsCheckBoxDecidesTheNextTime) {
    struct Case {
        const char* name;
        std::int32_t answer;
        bool recorded;
        bool askAgain;
    };
    const std::vector<Case> cases = {
        {"OK, ticked", 1 + 128, true, true},
        {"OK, unticked", 1, true, false},
        {"Cancel, ticked", 2 + 128, false, true},
        {"Cancel, unticked", 2, false, false},
    };
    const auto sheet = watched("Watched");
    test::fillWithAddresses(*sheet, 1, 1, 3, 3);
    book->selectSheets({"Watched"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearHistory();
        w.system.boxes.clear();
        w.setting->ShowMessageWhenPrintRun(true);
        w.system.answers = {c.answer};
        run();
        ASSERT_EQ(w.system.boxes.size(), 1u);
        const MsgBoxExArgs& box = w.system.boxes[0];
        EXPECT_EQ(box.Prompt, "印刷履歴に保存します。\r\nよろしいですか？");
        EXPECT_EQ(box.Buttons, 0x2082);
        EXPECT_EQ(box.Title, test::kTitle);
        EXPECT_TRUE(box.ShowCheck);
        EXPECT_TRUE(box.CheckValue);
        EXPECT_EQ(box.CheckCaption, "次回も表示起動する");
        EXPECT_EQ(w.historyFiles().size(), c.recorded ? 1u : 0u);
        EXPECT_TRUE(w.prompts.messages.empty());
        EXPECT_EQ(w.setting->ShowMessageWhenPrintRun(), c.askAgain);
        // The watches are stored before the question, whatever the answer.
        EXPECT_EQ(book->properties()->Count(), 1);
    }
    run();
    EXPECT_EQ(w.system.boxes.size(), 1u);  // not asked again
    EXPECT_EQ(w.historyFiles().size(), 1u);
}

TEST_F(Recording, HeaderTellsWhatWhereAndWhen) {
    const auto sheet = watched("Ledger", "$A$1:$C$3");
    test::fillWithAddresses(*sheet, 1, 1, 5, 5);
    sheet->setPrintTitleRows("$1:$1");
    host::sim::PageSetupData& s = sheet->setup();
    s.leftHeader = "&L";
    s.centerHeader = "&A";
    s.rightHeader = "&D";
    s.leftFooter = "left";
    s.centerFooter = "&P / &N";
    s.rightFooter = "右";
    s.leftMargin = 10;
    s.rightMargin = 11;
    s.topMargin = 12;
    s.bottomMargin = 13;
    s.headerMargin = 14;
    s.footerMargin = 15;
    s.centerHorizontally = true;
    s.orientation = 2;
    s.paperSize = 8;
    s.firstPageNumber = 3;
    s.order = host::xlOverThenDown;
    w.sim->setUserName("山田");
    book->selectSheets({"Ledger"});
    run();

    ASSERT_EQ(w.historyFiles(), std::vector<std::string>{historyName(0)});
    const HistoryFileHeader h = w.readHistory(historyName(0)).header;
    EXPECT_EQ(h.strVersion, "1.00.0.01");
    EXPECT_EQ(h.dblExcelVersion, 16);
    EXPECT_EQ(h.lngOSVersion, 12);
    EXPECT_EQ(h.strCategory, "月次");
    EXPECT_EQ(h.strSheetId, "20240101090000SAA");
    EXPECT_EQ(h.strVersionId, "20240101090000VAA");
    EXPECT_EQ(historyName(0), h.strSheetId + "_" + h.strVersionId + "_" + h.strHistoryId + ".tvk");
    EXPECT_EQ(h.strSaveRange, "$A$1:$C$3");
    EXPECT_EQ(h.strBookPath, "C:\\books");
    EXPECT_EQ(h.strBookName, "Book.xls");
    EXPECT_EQ(h.strSheetName, "Ledger");
    EXPECT_EQ(h.strExcelUserName, "山田");
    EXPECT_EQ(h.datPrintDate, vb::ToOleDate(w.clock.at).value());
    EXPECT_EQ(h.strPrinterName, w.sim->ActivePrinter());
    EXPECT_EQ(std::vector<std::string>({h.strLeftHeader, h.strCenterHeader, h.strRightHeader, h.strLeftFooter,
                                        h.strCenterFooter, h.strRightFooter}),
              std::vector<std::string>({"&L", "&A", "&D", "left", "&P / &N", "右"}));
    EXPECT_EQ(h.strPrintTitleRows, "$1:$1");
    EXPECT_EQ(h.strPrintTitleColumns, "");
    EXPECT_EQ(std::vector<double>({h.dblLeftMargin, h.dblRightMargin, h.dblTopMargin, h.dblBottomMargin,
                                   h.dblHeaderMargin, h.dblFooterMargin}),
              std::vector<double>({10, 11, 12, 13, 14, 15}));
    EXPECT_TRUE(h.blnCenterHorizontally);
    EXPECT_FALSE(h.blnCenterVertically);
    EXPECT_EQ(h.lngOrientation, 2);
    EXPECT_EQ(h.lngPaperSize, 8);
    EXPECT_EQ(h.lngFirstPageNumber, 3);
    EXPECT_EQ(h.lngOrder, host::xlOverThenDown);
    EXPECT_EQ(h.intTitleCount, 0);
    EXPECT_EQ(h.intPageCount, 1);
    EXPECT_EQ(h.intTextCount, 1);
    EXPECT_EQ(h.intShapeCount, 0);
    EXPECT_EQ(h.intCommentCount, 0);
    EXPECT_EQ(h.intErrorCount, 0);
    EXPECT_TRUE(w.prompts.messages.empty());
    expectNothingLeft();
}

TEST(RecordedVersion, MinorAndRevisionInTwoDigits) {
    EXPECT_EQ(LibraryVersionText(1, 2, 3), "1.02.0.03");
    EXPECT_EQ(LibraryVersionText(12, 10, 105), "12.10.0.105");
}

TEST_F(Recording, HeadingsCarryTheirCellsOrTheirText) {
    const auto sheet = watched("Heads", "$A$1:$B$2",
                               {{"Twelve|cells", "$A$1:$L$1", 1},
                                {"Values", "$A$2:$F$2", 0},
                                {"Texts", "$A$2:$F$2", 1},
                                {"Areas", "$A$3:$B$3,$D$3", 0},
                                {"Literal", "month/end", 0},
                                {"Checker", "#REF", 0}});
    const std::string letters = "abcdefghijkl";
    for (std::int32_t c = 1; c <= 12; ++c) sheet->setCell(1, c, letters.substr(static_cast<std::size_t>(c - 1), 1));
    sheet->setCell("A2", 1234.5, "1,234.50");
    sheet->setCell("B2", host::Date{45322}, "2024年1月31日");
    sheet->setCell("C2", true, "TRUE");
    sheet->setCell("D2", host::CellError{2042}, "#N/A");
    sheet->setCell("F2", std::string("x|y/z"));
    sheet->setCell("A3", std::string("p"));
    sheet->setCell("B3", std::string("q"));
    sheet->setCell("D3", std::string("r"));
    book->selectSheets({"Heads"});
    w.setting->ShowProgressTime(2);
    run();

    const HistoryRecords r = w.readHistory(historyName(0));
    EXPECT_EQ(r.headings, (std::vector<UserHeadingRecord>{
                              {"Twelvecells", "$A$1:$L$1", "abcdefghij", 1},
                              {"Values", "$A$2:$F$2", "1234.520240131True#NAxyz", 0},
                              {"Texts", "$A$2:$F$2", "1,234.502024年1月31日TRUE#NAxyz", 1},
                              {"Areas", "$A$3:$B$3,$D$3", "pqr", 0},
                              {"Literal", "monthend", "monthend", 0},
                              {"Checker", "#REF", "", 0},
                          }));
    EXPECT_EQ(r.errorLines, (std::vector<TextLineRecord>{{"err:#REF. Checker"}}));
    // The file is written, and the heading box follows the saved notice.
    EXPECT_EQ(w.system.log, (std::vector<std::string>{"notice 2", test::cat("message ", kHeadingBox)}));
    EXPECT_EQ(w.prompts.messages, (std::vector<ShownMessage>{{kHeadingBox, test::kTitle, kCritical}}));
}

TEST_F(Recording, HeadingOfWholeRowsOrColumnsJoinsItsFirstTenCells) {
    // A range of many whole rows holds more cells than the host can count.
    struct Case {
        const char* source;
        const char* value;
    };
    const Case cases[] = {
        {"$A:$A", "a2345678910"},
        {"$A:$B", "ab22334455"},
        {"$1:$200000", "abcdefghij"},
        {"$1:$1048576", "abcdefghij"},
    };
    std::vector<Heading> headings;
    for (const Case& c : cases) headings.push_back({c.source, c.source, 1});
    const auto sheet = watched("Heads", "$A$1:$B$2", headings);
    const std::string letters = "abcdefghijkl";
    for (std::int32_t c = 1; c <= 12; ++c) sheet->setCell(1, c, letters.substr(static_cast<std::size_t>(c - 1), 1));
    for (std::int32_t r = 2; r <= 12; ++r) {
        sheet->setCell(r, 1, std::to_string(r));
        sheet->setCell(r, 2, std::to_string(r));
    }
    book->selectSheets({"Heads"});
    run();

    EXPECT_TRUE(w.prompts.messages.empty()) << w.prompts.messages.front().text;
    ASSERT_EQ(w.historyFiles(), std::vector<std::string>{historyName(0)});
    const HistoryRecords r = w.readHistory(historyName(0));
    ASSERT_EQ(r.headings.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(r.headings[i].strValue, cases[i].value) << cases[i].source;
    }
    EXPECT_TRUE(r.errorLines.empty());
}

TEST_F(Recording, PageTextsAreStoredBodyFirst) {
    // Then the corner, the title rows and the title columns, page by page.
    const auto sheet = watched("Ledger");
    test::fillWithAddresses(*sheet, 1, 1, 40, 5);
    sheet->setPrintArea("$B$3:$E$40");
    sheet->setPrintTitleRows("$1:$2");
    sheet->setPrintTitleColumns("$A:$A");
    sheet->rowBreaks() = {20};
    book->selectSheets({"Ledger"});
    run();

    const HistoryRecords r = w.readHistory(historyName(0));
    std::vector<std::string> texts;
    for (const TextLineRecord& text : r.pageTexts) texts.push_back(test::cornersOfText(text.strText));
    EXPECT_EQ(texts, (std::vector<std::string>{"B3:E19", "A1:A2", "B1:E2", "A3:A19", "B20:E40", "A1:A2", "B1:E2",
                                               "A20:A40"}));
}

TEST_F(Recording, PrintRangeIsTheSaveRangeThePrintAreaOrTheUsedCells) {
    struct Case {
        const char* name;
        std::string saveRange;
        std::string printArea;
        std::vector<std::string> filled;  // areas whose cells show their addresses
        std::vector<std::string> texts;   // other cells
        std::optional<std::string> page;  // the page's picture, or no file
        std::optional<std::string> pageText;
        std::optional<std::string> box;
    };
    const std::vector<Case> cases = {
        {"save range", "$B$2:$C$4", "$A$1:$D$5", {"$A$1:$D$5"}, {}, "EMF 144 54 B2", std::nullopt, std::nullopt},
        {"print area", "", "$A$1:$B$3", {"$A$1:$D$5"}, {}, "EMF 144 54 A1", std::nullopt, std::nullopt},
        {"used cells from A1", "", "", {"$B$2:$D$5"}, {}, "EMF 288 90 B2", std::nullopt, std::nullopt},
        {"used cells up to Z", "", "", {"$Y$2:$Z$3"}, {}, "EMF 1872 54 Y2", std::nullopt, std::nullopt},
        {"leading empty lines dropped",
         "$A$1:$A$3",
         "",
         {},
         {"A2", "A3"},
         "EMF 72 54 A2",
         "A2\r\nA3\r\n",
         std::nullopt},
        {"save range gone",
         "$B$2:$C$4",
         "",
         {"$A$1:$D$5"},
         {},
         std::nullopt,
         std::nullopt,
         test::cat(kErrorsHead, "err:cannot get user printarea. Book.xls")},
        {"empty sheet", "", "", {}, {}, std::nullopt, std::nullopt, kUnknown},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.prompts.messages.clear();
        clearHistory();
        const std::string name = test::cat("Range", std::to_string(++n));
        const auto sheet = watched(name, c.saveRange);
        for (const std::string& area : c.filled) {
            const auto rect = host::sim::parseAddress(area, sheet->grid()).value().front().rect;
            test::fillWithAddresses(*sheet, rect.top, rect.left, rect.bottom, rect.right);
        }
        for (const std::string& cell : c.texts) sheet->setCell(cell, cell);
        sheet->setPrintArea(c.printArea);
        if (std::string(c.name) == "save range gone") sheet->deleteRows(2, 3);
        book->selectSheets({name});
        run();
        if (c.page) {
            const std::string file = historyName(n - 1);
            ASSERT_EQ(w.historyFiles(), std::vector<std::string>{file});
            EXPECT_EQ(w.readPages(file), std::vector<std::string>{*c.page});
            if (c.pageText) {
                EXPECT_EQ(w.readHistory(file).pageTexts, std::vector<TextLineRecord>{{*c.pageText}});
            }
        } else {
            EXPECT_TRUE(w.historyFiles().empty());
        }
        if (c.box) {
            EXPECT_EQ(w.prompts.messages, (std::vector<ShownMessage>{{*c.box, test::kTitle, kCritical}}));
        } else {
            EXPECT_TRUE(w.prompts.messages.empty());
        }
        expectNothingLeft();
    }
}

TEST_F(Recording, EachSelectedWatchGetsItsFileInTabOrder) {
    const auto ledger = watched("Ledger", "", {{"Checker", "#REF", 0}});
    test::fillWithAddresses(*ledger, 1, 1, 40, 5);
    ledger->setPrintArea("$B$3:$E$40");
    ledger->setPrintTitleRows("$1:$2");
    ledger->setPrintTitleColumns("$A:$A");
    ledger->rowBreaks() = {20};
    const auto memo = watched("Memo");
    test::fillWithAddresses(*memo, 1, 1, 3, 2);
    book->addWorksheet("Plain");
    book->selectSheets({"Plain", "Ledger", "Memo"});
    w.clipboard->content = {{"text", "user text"}, {"format 8", "user picture"}};

    run();

    // Both files bear the same ids here: the second takes the next free name.
    const std::string first = historyName(0);
    const std::string second = test::cat("20240101090000SBA_20240101090000VBA_", first.substr(36, 17), ".tvk");
    ASSERT_EQ(w.historyFiles(), (std::vector<std::string>{first, second}));

    const HistoryRecords a = w.readHistory(first);
    EXPECT_EQ(a.header.strSheetName, "Ledger");
    EXPECT_EQ(a.header.strPrintTitleRows, "$1:$2");
    EXPECT_EQ(a.header.strPrintTitleColumns, "$A:$A");
    EXPECT_EQ(a.pageTexts.size(), 8u);
    EXPECT_EQ(test::cornersOfText(a.pageTexts[0].strText), "B3:E19");
    const std::vector<std::string> pages = w.readPages(first);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1],
              "PAGE 360 414\n"
              "PIECE 0 0 72 36 back EMF 72 36 A1\n"
              "PIECE 0 36 72 378 back EMF 72 378 A20\n"
              "PIECE 72 0 288 36 back EMF 288 36 B1\n"
              "PIECE 72 36 288 378 - EMF 288 378 B20\n");
    EXPECT_EQ(a.errorLines, (std::vector<TextLineRecord>{{"err:#REF. Checker"}}));

    const HistoryRecords b = w.readHistory(second);
    EXPECT_EQ(b.header.strSheetName, "Memo");
    EXPECT_EQ(b.header.strPrintTitleRows, "");
    EXPECT_EQ(b.header.strPrintTitleColumns, "");
    EXPECT_EQ(w.readPages(second), std::vector<std::string>{"EMF 144 54 A1"});
    EXPECT_EQ(b.pageTexts, std::vector<TextLineRecord>{{"A1\tB1\r\nA2\tB2\r\nA3\tB3\r\n"}});
    EXPECT_EQ(b.errorLines, a.errorLines);  // a run's error lines stay for its later files

    EXPECT_EQ(w.clipboard->content,
              (std::map<std::string, std::string>{{"text", "user text"}, {"format 8", "user picture"}}));
    EXPECT_EQ(w.sim->ActiveSheet()->Name(), "Plain");
    expectNothingLeft();
}

TEST_F(Recording, CommentsAreRecordedWhenPrinted) {
    struct Case {
        std::int32_t printComments;
        std::vector<CommentRecord> comments;
    };
    const std::vector<Case> cases = {
        {host::xlPrintNoComments, {}},
        {1, {{"two\r\nlines", "$C$3", "佐藤"}}},
    };
    const auto sheet = watched("Notes");
    test::fillWithAddresses(*sheet, 1, 1, 5, 4);
    sheet->addComment(3, 3, "佐藤", "two\nlines");
    sheet->addComment(20, 8, "佐藤", "not printed");
    book->selectSheets({"Notes"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printComments);
        clearHistory();
        sheet->setup().printComments = c.printComments;
        run();
        EXPECT_EQ(w.readHistory(historyName(0)).comments, c.comments);
    }
}

TEST_F(Recording, TextTooLongForTheFileIsCutAndSaid) {
    const auto sheet = watched("Long");
    sheet->setCell("A1", std::string(70000, 'a'));
    book->selectSheets({"Long"});
    run();
    const HistoryRecords r = w.readHistory(historyName(0));
    ASSERT_EQ(r.pageTexts.size(), 1u);
    EXPECT_EQ(r.pageTexts[0].strText, std::string(65535, 'a'));
    EXPECT_EQ(r.errorLines, (std::vector<TextLineRecord>{{"err:text too long. page text 1 strText"}}));
    EXPECT_TRUE(w.prompts.messages.empty());
}

TEST_F(Recording, HistoryFileIsWholeOrAbsent) {
    struct Case {
        const char* name;
        bool failMove;
        std::string failWritesOf;
    };
    const std::vector<Case> cases = {
        {"rename refused", true, "\\never"},
        {"disk full while writing", false, ".tvk.tmp"},
    };
    const auto sheet = watched("Grid");
    test::fillWithAddresses(*sheet, 1, 1, 30, 4);
    sheet->rowBreaks() = {11};
    book->selectSheets({"Grid"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.prompts.messages.clear();
        w.files.failMove = c.failMove;
        w.files.failWritesOf = c.failWritesOf;
        run();
        EXPECT_TRUE(w.historyFiles().empty());
        expectErrorBox({test::cat("err:write history. ", historyName(0))});
        expectNothingLeft();
    }
}

TEST_F(Recording, PageTextsStayWithThePagesThatAreWritten) {
    struct Case {
        const char* name;
        int metafileReads;
        bool composerRefuses;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {"second page lost its body", 2, false, {"err:CopyMetafile."}},
        {"second page not composed", -1, true, {"err:CombinePagePieces. 2"}},
    };
    const auto sheet = watched("Titled");
    test::fillWithAddresses(*sheet, 1, 1, 40, 5);
    sheet->setPrintArea("$A$1:$E$40");
    sheet->setPrintTitleRows("$1:$2");
    sheet->rowBreaks() = {20};
    book->selectSheets({"Titled"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearHistory();
        w.clipboard->metafileReadsLeft = c.metafileReads;
        w.composer.refuse = c.composerRefuses;
        run();
        const HistoryRecords r = w.readHistory(historyName(0));
        EXPECT_EQ(r.header.intPageCount, 1);
        ASSERT_EQ(r.pageTexts.size(), 1u);
        EXPECT_EQ(test::cornersOfText(r.pageTexts[0].strText), "A1:E19");
        std::vector<std::string> errors;
        for (const TextLineRecord& line : r.errorLines) errors.push_back(line.strText);
        EXPECT_EQ(errors, c.errors);
        EXPECT_TRUE(w.prompts.messages.empty());
        expectNothingLeft();
    }
}

TEST_F(Recording, SheetWithoutAPageLeavesTheOtherSheetsTheirFiles) {
    const auto grid = watched("Grid");
    test::fillWithAddresses(*grid, 1, 1, 3, 3);
    const auto memo = watched("Memo");
    test::fillWithAddresses(*memo, 1, 1, 3, 2);
    book->selectSheets(std::vector<std::string>{"Grid", "Memo"});
    w.setting->ShowProgressTime(2);
    // The first sheet's only piece can't be copied as a picture.
    test::HostHook hook;
    int pictures = 0;
    hook.before = [&](const std::string& what) {
        if (what == "Range.CopyPicture" && ++pictures == 1) throw host::HostError(1004, "failed");
    };
    run(test::proxy(hook, w.application));

    const std::string memoFile =
        test::cat("20240101090000SBA_20240101090000VBA_", historyName(0).substr(36, 17), ".tvk");
    ASSERT_EQ(w.historyFiles(), std::vector<std::string>{memoFile});
    const HistoryRecords r = w.readHistory(memoFile);
    EXPECT_EQ(r.header.strSheetName, "Memo");
    EXPECT_EQ(r.errorLines, (std::vector<TextLineRecord>{{"err:CopyMetafile."}, {"err:no page. Grid"}}));
    // Not every sheet was recorded: the error box says so instead of the notice.
    EXPECT_TRUE(w.system.notices.empty());
    expectErrorBox({"err:CopyMetafile.", "err:no page. Grid"});
    expectNothingLeft();
}

// The pieces of a page stay in memory, but a temp folder that can't serve the
// rest of the system is still said at once, at the first piece of each sheet,
// and that sheet gets no page.
TEST(RecordingTempFolder, ThatCannotServeIsSaidAndTheSheetGetsNoPage) {
    struct Case {
        const char* name;
        std::function<void(kq::test::MemoryFileSystem&)> spoil;
        ShownMessage said;
    };
    const std::string cannotPrepare =
        "一時ファイルを準備できません。制限付きユーザーでログインしている場合は、管理者権限を持ったユーザーでログインし直してください。";
    const std::vector<Case> cases = {
        {"no temp folder told", [](auto& files) { files.setTempFolder(std::nullopt); },
         {"Error:GetTempFolder\r\n", test::kTitle, 0}},
        {"temp folder missing", [](auto& files) { files.setTempFolder("C:\\Gone"); },
         {"Err:GetTempFileFullpath\r\nWindowsの環境変数として、存在しないパスが指定されています。"
          "Windowsの環境設定を修正し、Windowsを再起動してください。",
          test::kTitle, kCritical}},
        {"no file may be made there", [](auto& files) { files.failUniqueFiles(); },
         {test::cat("C:\\Temp\\\r\n", cannotPrepare), test::kTitle, kCritical}},
        {"the file made can't be deleted",
         [](auto& files) {
             files.queueUniqueNames({"C:\\Temp\\KEZ1.tmp"});
             files.holdOpen("C:\\Temp\\KEZ1.tmp");
         },
         {test::cat("C:\\Temp\\KEZ1.tmp\r\n", cannotPrepare), test::kTitle, kCritical}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecorderTestWorld w;
        const auto book = w.sim->addWorkbook("Book.xls", "C:\\books");
        const auto sheet = book->addWorksheet("Grid");
        test::fillWithAddresses(*sheet, 1, 1, 30, 3);
        sheet->rowBreaks() = {11};
        w.docPros.Add(book, sheet, "", "20240101090000SAA", "20240101090000VAA", "", {}, {}, {});
        book->selectSheets({"Grid"});
        c.spoil(w.files.memory);
        RecorderWorld world = w.world();
        SaveHistory(world);
        EXPECT_EQ(w.prompts.messages,
                  (std::vector<ShownMessage>{
                      c.said, {kErrorsHead + joined({"err:CopyMetafile.", "err:no page. Grid"}), test::kTitle, kCritical}}));
        EXPECT_TRUE(w.historyFiles().empty());
    }
}

TEST_F(Recording, AWatchTheWorkbookRefusesIsSaidAndThePrintIsStillRecorded) {
    const auto grid = watched("Grid");
    test::fillWithAddresses(*grid, 1, 1, 3, 3);
    watched("Memo");
    w.docPros.Find(book->worksheet("Memo"))->Category(std::string(host::kTextPropertyMaxLength, 'c'));
    book->selectSheets({"Grid"});
    w.setting->ShowProgressTime(2);
    run();
    const std::string refused = texts::WatchTooLong(host::kTextPropertyMaxLength) + " Memo";
    ASSERT_EQ(w.historyFiles().size(), 1u);
    EXPECT_EQ(w.readHistory(w.historyFiles()[0]).errorLines, (std::vector<TextLineRecord>{{refused}}));
    EXPECT_EQ(w.system.notices.size(), 1u);
    EXPECT_EQ(w.prompts.messages, (std::vector<ShownMessage>{{refused, test::kTitle, 0x30}}));
    EXPECT_NE(book->properties()->find("KEZ_QUORVEX_INFO_Grid"), nullptr);
}

TEST_F(Recording, SheetWithoutAnyPageIsAnErrorNotASave) {
    const auto sheet = watched("Grid");
    test::fillWithAddresses(*sheet, 1, 1, 3, 3);
    book->selectSheets({"Grid"});
    w.setting->ShowProgressTime(2);
    w.clipboard->metafileReadsLeft = 0;
    run();
    EXPECT_TRUE(w.historyFiles().empty());
    EXPECT_TRUE(w.system.notices.empty());
    expectErrorBox({"err:CopyMetafile.", "err:no page. Grid"});
    expectNothingLeft();
}

}  // namespace
}  // namespace kq::addin::recording
