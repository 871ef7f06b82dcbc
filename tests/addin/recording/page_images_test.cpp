#include "addin/recording/page_images.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "addin/core/texts.h"
#include "tests/addin/recording/host_proxy.h"
#include "tests/addin/recording/recorder_test_world.h"

namespace kq::addin::recording {
namespace {

using host::sim::SimWorksheet;
using test::cornersOfText;
using test::RecorderTestWorld;

const char* kindName(PieceKind kind) {
    switch (kind) {
        case PieceKind::body:
            return "body";
        case PieceKind::titleRows:
            return "rows";
        case PieceKind::titleColumns:
            return "columns";
        case PieceKind::corner:
            return "corner";
    }
    return "?";
}

// Makes the pages of one sheet of its own and tells what was captured.
class PageImages : public ::testing::Test {
protected:
    PageImages() {
        book = w.sim->addWorkbook("Pages.xls", "C:\\books");
        other = book->addWorksheet("Other");
        sheet = book->addWorksheet("Grid");
    }

    void make(const std::string& range, std::int32_t order = host::xlDownThenOver, const std::string& rows = {},
              const std::string& columns = {}) {
        host::Application& app = application ? *application : *w.application;
        const host::WorksheetPtr ws = application ? test::proxy(hook, host::WorksheetPtr(sheet)) : sheet;
        host::RangePtr titleRows;
        host::RangePtr titleColumns;
        if (!rows.empty()) titleRows = ws->Range(rows);
        if (!columns.empty()) titleColumns = ws->Range(columns);
        PageServices services{app, *w.clipboard, temp, systemAnsiCodec()};
        MakePageImages(services, lists, ws->Range(range), titleRows, titleColumns, order);
    }

    // "page piece/count kind first:last" for every captured piece.
    std::vector<std::string> captured() {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < lists.colPages.size(); ++i) {
            const PageEntry& p = lists.colPages[i];
            std::string line = std::to_string(p.page) + " " + std::to_string(p.piece) + "/" +
                               std::to_string(p.pieceCount) + " " + kindName(p.kind);
            if (i < lists.colTexts.size()) {
                line += ' ';
                line += cornersOfText(systemAnsiCodec().fromAnsi(lists.colTexts[i].text));
            }
            out.push_back(line);
        }
        return out;
    }

    // The bodies only, "A1:B10".
    std::vector<std::string> bodies() {
        std::vector<std::string> out;
        for (const std::string& line : captured()) out.push_back(line.substr(line.rfind(' ') + 1));
        return out;
    }

    RecorderTestWorld w;
    std::shared_ptr<host::sim::SimWorkbook> book;
    std::shared_ptr<SimWorksheet> other;
    std::shared_ptr<SimWorksheet> sheet;
    TempPaths temp{w.files, w.prompts, test::kTitle};
    RecordingLists lists;
    test::HostHook hook;
    host::ApplicationPtr application;  // the host behind a proxy, when a test sets it
};

TEST_F(PageImages, GridFollowsThePageBreaksInTheOrderOfThePageSetup) {
    struct Case {
        const char* name;
        std::string range;
        std::int32_t order;
        std::set<std::int32_t> rowBreaks;
        std::set<std::int32_t> columnBreaks;
        std::vector<std::string> pages;
    };
    const std::vector<Case> cases = {
        {"no breaks", "$A$1:$D$30", host::xlDownThenOver, {}, {}, {"A1:D30"}},
        {"down, then over",
         "$A$1:$D$30",
         host::xlDownThenOver,
         {11, 21},
         {3},
         {"A1:B10", "A11:B20", "A21:B30", "C1:D10", "C11:D20", "C21:D30"}},
        {"over, then down",
         "$A$1:$D$30",
         host::xlOverThenDown,
         {11, 21},
         {3},
         {"A1:B10", "C1:D10", "A11:B20", "C11:D20", "A21:B30", "C21:D30"}},
        {"over, then down, more column breaks",
         "$A$1:$D$30",
         host::xlOverThenDown,
         {16},
         {2, 4},
         {"A1:A15", "B1:C15", "D1:D15", "A16:A30", "B16:C30", "D16:D30"}},
        {"range starting after the first break",
         "$A$15:$D$30",
         host::xlDownThenOver,
         {11, 21},
         {3},
         {"A15:B20", "A21:B30", "C15:D20", "C21:D30"}},
        {"range between two breaks", "$C$12:$D$18", host::xlDownThenOver, {11, 21}, {3}, {"C12:D18"}},
        {"areas of one range", "$A$1:$B$5,$C$20:$D$22", host::xlDownThenOver, {}, {}, {"A1:B5", "C20:D22"}},
        // The page before a break at AA ends at Z.
        {"a break at the second letter", "$X$1:$AB$3", host::xlDownThenOver, {}, {27}, {"X1:Z3", "AA1:AB3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lists = {};
        test::fillWithAddresses(*sheet, 1, 1, 30, 28);
        sheet->rowBreaks() = c.rowBreaks;
        sheet->columnBreaks() = c.columnBreaks;
        make(c.range, c.order);
        EXPECT_EQ(bodies(), c.pages);
        EXPECT_TRUE(lists.colErrors.empty());
        for (std::size_t i = 0; i < lists.colPages.size(); ++i) {
            EXPECT_EQ(lists.colPages[i].page, static_cast<std::int32_t>(i + 1));
            EXPECT_EQ(lists.colTexts[i].page, lists.colPages[i].page);
        }
    }
}

TEST(AreaAddress, ColumnLettersAsTheHostWritesThem) {
    const std::pair<std::int32_t, const char*> columns[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"},
    };
    for (const auto& [column, letters] : columns) {
        SCOPED_TRACE(column);
        EXPECT_EQ(areaAddress(7, column, 7, column), std::string("$") + letters + "$7");
        EXPECT_EQ(areaAddress(1, 1, 1048576, column), std::string("$A$1:$") + letters + "$1048576");
    }
}

// Pieces are captured body first, then corner, title rows and title columns;
// each keeps its position on the page (1 corner, 2 title columns, 3 title
// rows, 4 body, counting only those the page has).
TEST_F(PageImages, PagesAreCutIntoTitlePiecesWhereTheTitlesRepeat) {
    struct Case {
        const char* name;
        std::string range;
        std::string rows;
        std::string columns;
        std::set<std::int32_t> rowBreaks;
        std::set<std::int32_t> columnBreaks;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {"rows and columns",
         "$B$3:$E$40",
         "$1:$2",
         "$A:$A",
         {20},
         {},
         {"1 4/4 body B3:E19", "1 1/4 corner A1:A2", "1 3/4 rows B1:E2", "1 2/4 columns A3:A19", "2 4/4 body B20:E40",
          "2 1/4 corner A1:A2", "2 3/4 rows B1:E2", "2 2/4 columns A20:A40"}},
        {"rows, first page holding them",
         "$A$1:$E$40",
         "$1:$2",
         "",
         {20},
         {},
         {"1 1/1 body A1:E19", "2 2/2 body A20:E40", "2 1/2 rows A1:E2"}},
        {"columns, first page holding them",
         "$A$1:$E$40",
         "",
         "$A:$A",
         {},
         {3},
         {"1 1/1 body A1:B40", "2 2/2 body C1:E40", "2 1/2 columns A1:A40"}},
        {"far down and right",
         "$ALL$1000:$ALM$1001",
         "$1:$2",
         "$A:$A",
         {},
         {},
         {"1 4/4 body ALL1000:ALM1001", "1 1/4 corner A1:A2", "1 3/4 rows ALL1:ALM2", "1 2/4 columns A1000:A1001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lists = {};
        test::fillWithAddresses(*sheet, 1, 1, 40, 5);
        test::fillWithAddresses(*sheet, 1, 1000, 2, 1001);
        test::fillWithAddresses(*sheet, 1000, 1, 1001, 1);
        test::fillWithAddresses(*sheet, 1000, 1000, 1001, 1001);
        sheet->setPrintTitleRows(c.rows);
        sheet->setPrintTitleColumns(c.columns);
        sheet->rowBreaks() = c.rowBreaks;
        sheet->columnBreaks() = c.columnBreaks;
        make(c.range, host::xlDownThenOver, c.rows, c.columns);
        EXPECT_EQ(captured(), c.pieces);
    }
}

TEST_F(PageImages, StatusBarCountsThePiecesOfEachPage) {
    test::fillWithAddresses(*sheet, 1, 1, 40, 5);
    sheet->setPrintTitleRows("$1:$2");
    sheet->rowBreaks() = {20};
    make("$A$1:$E$40", host::xlDownThenOver, "$1:$2");
    std::vector<std::string> shown;
    for (const auto& text : w.sim->statusBarHistory()) {
        if (text) shown.push_back(*text);
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"印刷履歴を保存中...1", "印刷履歴を保存中...1", "印刷履歴を保存中...2"}));
}

TEST_F(PageImages, NinetyNinePageUnitsAtMost) {
    test::fillWithAddresses(*sheet, 1, 1, 120, 1);
    for (std::int32_t row = 2; row <= 120; ++row) sheet->rowBreaks().insert(row);
    make("$A$1:$A$120");
    ASSERT_EQ(lists.colPages.size(), 99u);
    EXPECT_EQ(lists.colPages.back().page, 99);
    EXPECT_EQ(bodies().back(), "A99");
    EXPECT_EQ(lists.colErrors, (std::vector<std::string>{"err:max 100. "}));
}

TEST_F(PageImages, FailuresEndTheCaptureAndKeepWhatWasCaptured) {
    struct Case {
        const char* name;
        std::int32_t order;
        int metafileReads;  // -1: all
        bool textReadable;
        std::string failing;  // a host call that always fails
        std::size_t pieces;
        std::size_t texts;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {"third metafile", host::xlDownThenOver, 2, true, "", 2, 2, {"err:CopyMetafile."}},
        {"no text", host::xlDownThenOver, -1, false, "", 1, 0, {"err:CopyTextfile."}},
        {"picture copy", host::xlDownThenOver, -1, true, "Range.CopyPicture", 0, 0, {"err:CopyMetafile."}},
        {"copy mode", host::xlDownThenOver, -1, true, "Application.ClearCutCopyMode", 1, 1, {"err(1004)."}},
        {"row break, inner", host::xlDownThenOver, -1, true, "HBreak.Row", 0, 0, {"err:HPageBreaks2. "}},
        {"column break, outer", host::xlDownThenOver, -1, true, "VBreak.Column", 0, 0, {"err:PageBreaksV. "}},
        {"row break, outer", host::xlOverThenDown, -1, true, "HBreak.Row", 0, 0, {"err:PageBreaksH. "}},
        {"column break, inner", host::xlOverThenDown, -1, true, "VBreak.Column", 0, 0, {"err:PageBreaksV. "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lists = {};
        test::fillWithAddresses(*sheet, 1, 1, 30, 4);
        sheet->rowBreaks() = {11, 21};
        sheet->columnBreaks() = {3};
        w.clipboard->metafileReadsLeft = c.metafileReads;
        w.clipboard->textReadable = c.textReadable;
        hook.before = [&](const std::string& what) {
            if (what == c.failing) throw host::HostError(1004, "failed");
        };
        application = test::proxy(hook, w.application);
        make("$A$1:$D$30", c.order);
        EXPECT_EQ(lists.colPages.size(), c.pieces);
        EXPECT_EQ(lists.colTexts.size(), c.texts);
        EXPECT_EQ(lists.colErrors, c.errors);
        EXPECT_EQ(w.files.filesIn(test::kTempFolder), std::vector<std::string>{});
    }
}

TEST_F(PageImages, PiecesStayInMemoryAndTheTempFolderIsAskedOncePerSheet) {
    test::fillWithAddresses(*sheet, 1, 1, 40, 5);
    sheet->rowBreaks() = {20};
    make("$B$3:$E$40", host::xlDownThenOver, "$1:$2", "$A:$A");
    ASSERT_EQ(lists.colPages.size(), 8u);
    EXPECT_EQ(test::fakeMetafileSize(test::asText(lists.colPages[0].picture)), (PixelSize{4 * 72, 17 * 18}));
    EXPECT_EQ(lists.colTexts[0].text.substr(0, 6), "B3\tC3\t");
    EXPECT_TRUE(lists.colTexts[0].text.ends_with("E19\r\n\r\n"));
    EXPECT_EQ(w.files.memory.uniqueFilesMade, 1);
    EXPECT_EQ(w.files.filesIn(test::kTempFolder), std::vector<std::string>{});
    // Each read took its copy away.
    EXPECT_TRUE(w.clipboard->content.empty());
}

TEST_F(PageImages, PictureCopyThatFailsIsNotTakenFromTheCellCopyBeforeIt) {
    test::fillWithAddresses(*sheet, 1, 1, 20, 3);
    sheet->rowBreaks() = {11};
    // As the host's cell copy offers a picture of the cells besides their text.
    w.clipboard->cellCopiesCarryPicture = true;
    int pictures = 0;
    hook.before = [&](const std::string& what) {
        if (what == "Range.CopyPicture" && ++pictures == 2) throw host::HostError(1004, "failed");
    };
    application = test::proxy(hook, w.application);
    make("$A$1:$C$20");
    EXPECT_EQ(lists.colPages.size(), 1u);
    EXPECT_EQ(lists.colErrors, std::vector<std::string>{"err:CopyMetafile."});
}

TEST_F(PageImages, HostIsQuietWhileCopyingAndPutBackAfterwards) {
    test::fillWithAddresses(*sheet, 1, 1, 30, 4);
    sheet->rowBreaks() = {11};
    other->activate();
    other->select({{3, 3, 5, 4}}, {4, 4, 4, 4});
    struct Seen {
        bool screenUpdating, events;
        std::int32_t view;
        std::string active;
    };
    std::vector<Seen> atCopy;
    std::string failing;
    hook.before = [&](const std::string& what) {
        if (what == "Range.CopyPicture") {
            atCopy.push_back({w.sim->ScreenUpdating(), w.sim->EnableEvents(), w.sim->ActiveWindow()->View(),
                              w.sim->ActiveSheet()->Name()});
        }
        if (what == failing) throw host::HostError(1004, "failed");
    };
    application = test::proxy(hook, w.application);

    // A failure outside the capture steps reaches the caller; the host is put back all the same.
    for (const std::string& f : {std::string(), std::string("Worksheet.VPageBreaks")}) {
        SCOPED_TRACE(f);
        failing = f;
        atCopy.clear();
        lists = {};
        if (f.empty()) {
            make("$A$1:$D$30");
            ASSERT_EQ(atCopy.size(), 2u);
            EXPECT_FALSE(atCopy[0].screenUpdating);
            EXPECT_FALSE(atCopy[0].events);
            EXPECT_EQ(atCopy[0].view, host::xlPageBreakPreview);
            EXPECT_EQ(atCopy[0].active, "Grid");
        } else {
            EXPECT_THROW(make("$A$1:$D$30"), host::HostError);
        }
        EXPECT_TRUE(w.sim->ScreenUpdating());
        EXPECT_TRUE(w.sim->EnableEvents());
        EXPECT_EQ(w.sim->ActiveWindow()->View(), host::xlNormalView);
        EXPECT_EQ(w.sim->ActiveSheet()->Name(), "Other");
        EXPECT_EQ(other->selection(), (std::vector<host::sim::CellRect>{{3, 3, 5, 4}}));
        EXPECT_EQ(other->activeCell(), (host::sim::CellRect{4, 4, 4, 4}));
    }
}

TEST(PageLayout, PiecesGoTogetherByTheirKinds) {
    using K = PieceKind;
    struct Case {
        const char* name;
        std::vector<K> kinds;
        std::vector<PixelSize> sizes;
        PixelSize page;
        std::vector<PiecePlacement> placed;
    };
    const std::vector<Case> cases = {
        {"body", {K::body}, {{100, 50}}, {100, 50}, {{{}, 0, 0, 100, 50, false}}},
        {"rows above",
         {K::titleRows, K::body},
         {{100, 20}, {100, 50}},
         {100, 70},
         {{{}, 0, 0, 100, 20, true}, {{}, 0, 20, 100, 50, false}}},
        {"narrower rows still above",
         {K::titleRows, K::body},
         {{80, 20}, {100, 50}},
         {100, 70},
         {{{}, 0, 0, 80, 20, true}, {{}, 0, 20, 100, 50, false}}},
        {"columns left",
         {K::titleColumns, K::body},
         {{30, 50}, {100, 50}},
         {130, 50},
         {{{}, 0, 0, 30, 50, true}, {{}, 30, 0, 100, 50, false}}},
        {"columns as wide as the body still left",
         {K::titleColumns, K::body},
         {{100, 50}, {100, 50}},
         {200, 50},
         {{{}, 0, 0, 100, 50, true}, {{}, 100, 0, 100, 50, false}}},
        {"four",
         {K::corner, K::titleColumns, K::titleRows, K::body},
         {{30, 20}, {30, 50}, {100, 20}, {100, 50}},
         {130, 70},
         {{{}, 0, 0, 30, 20, true},
          {{}, 0, 20, 30, 50, true},
          {{}, 30, 0, 100, 20, true},
          {{}, 30, 20, 100, 50, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageLayout layout = layOutPage(c.kinds, c.sizes);
        EXPECT_EQ(layout.page, c.page);
        EXPECT_EQ(layout.pieces, c.placed);
    }
}

TEST(CombinePagePieces, GivesOnePageOrNothing) {
    test::FakeComposer composer;
    const auto piece = [&](const std::string& name, PixelSize size, PieceKind kind, std::int32_t position) {
        return PageEntry{1, position, 2, kind, test::asBytes(test::fakeMetafile(size, name))};
    };
    std::vector<PageEntry> pieces = {piece("rows", {100, 20}, PieceKind::titleRows, 1),
                                     piece("body", {100, 50}, PieceKind::body, 2)};
    const std::vector<const PageEntry*> page = {&pieces[0], &pieces[1]};

    const std::optional<std::vector<std::uint8_t>> combined = CombinePagePieces(composer, page);
    ASSERT_TRUE(combined);
    EXPECT_EQ(test::asText(*combined),
              "PAGE 100 70\nPIECE 0 0 100 20 back EMF 100 20 rows\nPIECE 0 20 100 50 - EMF 100 50 body\n");

    composer.refuse = true;
    EXPECT_FALSE(CombinePagePieces(composer, page));
    composer.refuse = false;
    pieces[1].picture = test::asBytes("not a metafile");
    EXPECT_FALSE(CombinePagePieces(composer, page));
}

TEST(PagePixelSize, ScreenFirstThenPrinter) {
    struct Case {
        const char* name;
        DeviceMetrics screen;
        std::optional<DeviceMetrics> printer;
        std::optional<HimetricFactors> factors;
        bool printerAsked;
    };
    const DeviceMetrics a4{210, 297, 4960, 7016};
    const std::vector<Case> cases = {
        {"screen", {320, 240, 1280, 960}, a4, HimetricFactors{25, 25, false}, false},
        {"screen without size", {0, 0, 1280, 960}, a4, HimetricFactors{21000.0 / 4960, 29700.0 / 7016, true}, true},
        {"screen without height", {320, 0, 1280, 960}, a4, HimetricFactors{21000.0 / 4960, 29700.0 / 7016, true}, true},
        {"no size, no printer", {0, 0, 1280, 960}, std::nullopt, std::nullopt, true},
        {"printer without size", {0, 0, 1280, 960}, DeviceMetrics{0, 0, 4960, 7016}, std::nullopt, true},
        {"no pixels", {320, 240, 0, 960}, a4, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool asked = false;
        const std::optional<HimetricFactors> f = himetricPerPixel(c.screen, [&] {
            asked = true;
            return c.printer;
        });
        EXPECT_EQ(asked, c.printerAsked);
        ASSERT_EQ(f.has_value(), c.factors.has_value());
        if (!f) continue;
        EXPECT_DOUBLE_EQ(f->x, c.factors->x);
        EXPECT_DOUBLE_EQ(f->y, c.factors->y);
        EXPECT_EQ(f->byPrinter, c.factors->byPrinter);
    }
}

}  // namespace
}  // namespace kq::addin::recording
