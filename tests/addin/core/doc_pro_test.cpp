#include "addin/core/doc_pro.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/sim/sim_application.h"
#include "tests/support/memory_file_system.h"

namespace kq::addin {
namespace {

using host::sim::SimApplication;
using host::sim::SimWorkbook;
using host::sim::SimWorksheet;

struct World {
    World() {
        book->defineName("Total", "Sheet1!$D$4:$D$6");
        record.Book(book);
        record.Sheet(sheet);
    }

    test::MemoryFileSystem files;
    std::shared_ptr<SimApplication> app = SimApplication::create(files);
    std::shared_ptr<SimWorkbook> book = app->addWorkbook("Book1.xls", "C:\\books");
    std::shared_ptr<SimWorksheet> sheet = book->addWorksheet("Sheet1");
    c_Xl_DocPro record;
};

TEST(DocProRecord, TextsTheSheetResolvesBecomeRangesOthersStayLiteral) {
    struct Case {
        const char* text;
        const char* reads;
        std::int32_t type;  // what a stored type 1 reads back as
    };
    const Case cases[] = {
        {"A1", "$A$1", 1},
        {"b2:c3", "$B$2:$C$3", 1},
        {"A1,C1:C2", "$A$1,$C$1:$C$2", 1},
        {"Total", "$D$4:$D$6", 1},
        {"売上合計", "売上合計", 0},
        {"Sheet2!A1", "Sheet2!A1", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        World w;
        w.record.ValueRange(1, c.text);
        w.record.CellLinkValueType(1, 1);
        w.record.SaveRange(c.text);
        EXPECT_EQ(w.record.ValueRange(1), c.reads) << c.text;
        EXPECT_EQ(w.record.CellLinkValueType(1), c.type) << c.text;
        EXPECT_EQ(w.record.SaveRange(), c.reads) << c.text;
    }
}

TEST(DocProRecord, RangesFollowInsertedRowsAndReadRefOnceDeleted) {
    World w;
    w.record.ValueRange(1, "A2");
    w.record.SaveRange("B2:C3");
    w.sheet->insertRows(1);
    EXPECT_EQ(w.record.ValueRange(1), "$A$3");
    EXPECT_EQ(w.record.SaveRange(), "$B$3:$C$4");

    w.sheet->deleteRows(3, 2);
    EXPECT_EQ(w.record.ValueRange(1), "#REF");
    EXPECT_EQ(w.record.SaveRange(), "#REF");
}

TEST(DocProRecord, SheetThatIsGoneReadsNothingAndKeepsTextsLiteral) {
    const std::function<void(World&)> ways[] = {
        [](World& w) {
            w.book->addWorksheet("Sheet2");
            w.book->deleteSheet("Sheet1");
        },
        [](World& w) { w.app->closeWorkbook(w.book); },
    };
    for (const auto& loseSheet : ways) {
        World w;
        loseSheet(w);
        EXPECT_EQ(w.record.Sheet(), nullptr);
        w.record.ValueRange(1, "A1");
        w.record.CellLinkValueType(1, 1);
        EXPECT_EQ(w.record.ValueRange(1), "A1");
        EXPECT_EQ(w.record.CellLinkValueType(1), 0);
    }
}

TEST(DocProRecord, HeadingListsGrowAndShrinkTogether) {
    World w;
    w.record.TitleCount(3);
    w.record.TitleCount(0);
    EXPECT_EQ(w.record.TitleCount(), 0);

    w.record.TitleText(1, "顧客");
    w.record.ValueRange(1, "A1");
    w.record.CellLinkValueType(1, 1);
    w.record.TitleText(2, "備考");
    ASSERT_EQ(w.record.TitleCount(), 2);
    EXPECT_EQ(w.record.ValueRange(2), "");
    EXPECT_EQ(w.record.CellLinkValueType(2), 0);

    w.record.TitleCount(1);
    EXPECT_EQ(w.record.TitleText(1), "顧客");
    EXPECT_EQ(w.record.ValueRange(1), "$A$1");
    EXPECT_EQ(w.record.CellLinkValueType(1), 1);
    EXPECT_THROW(w.record.TitleText(2), std::out_of_range);
    EXPECT_THROW(w.record.ValueRange(0), std::out_of_range);
}

TEST(DocProRecord, FieldBreaksNeverReachTheRecord) {
    const char* const inputs[] = {"A\t1", "A\r\n1", "\nA1\r", "A\t\t1"};
    for (const char* input : inputs) {
        World w;
        w.record.Category(input);
        w.record.TitleText(1, input);
        w.record.ValueRange(1, input);
        w.record.SaveRange(input);
        EXPECT_EQ(w.record.Category(), "A1") << input;
        EXPECT_EQ(w.record.TitleText(1), "A1") << input;
        EXPECT_EQ(w.record.ValueRange(1), "$A$1") << input;
        EXPECT_EQ(w.record.SaveRange(), "$A$1") << input;
    }
}

TEST(DocProRecord, StoredFormHasSixFieldsInOrder) {
    World w;
    w.record.SheetId("20240305070809ABC");
    w.record.VersionId("20240306101112XYZ");
    EXPECT_EQ(SheetWatchPropertyValue(w.record), "0\t\t20240305070809ABC\t20240306101112XYZ\t\t");

    w.record.Released(true);
    w.record.Category("請求書");
    w.record.SaveRange("B2:C3");
    w.record.TitleText(1, "顧客");
    w.record.ValueRange(1, "A1");
    w.record.CellLinkValueType(1, 1);
    w.record.TitleText(2, "備考");
    w.record.ValueRange(2, "未記入");
    w.record.CellLinkValueType(2, 1);
    EXPECT_EQ(SheetWatchPropertyValue(w.record),
              "1\t請求書\t20240305070809ABC\t20240306101112XYZ\t$B$2:$C$3\t顧客/$A$1/1|備考/未記入/0");
    EXPECT_EQ(SheetWatchPropertyName("Sheet 1"), "KEZ_QUORVEX_INFO_Sheet 1");
}

}  // namespace
}  // namespace kq::addin
