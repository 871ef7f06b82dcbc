#include "addin/core/doc_pros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "addin/core/texts.h"
#include "host/sim/sim_application.h"
#include "tests/support/memory_file_system.h"

namespace kq::addin {
namespace {

using host::sim::SimApplication;
using host::sim::SimWorkbook;
using host::sim::SimWorksheet;

constexpr const char* kId1 = "20240101090000AAA";
constexpr const char* kId2 = "20240101090000BBB";
constexpr const char* kId3 = "20240101090000CCC";
constexpr const char* kVersion = "20240102100000VER";
// What CalcNewId makes at the fixed time from the scripted numbers.
constexpr const char* kNewId = "20240305070809ANZ";

class FixedClock final : public Clock {
public:
    vb::DateTime now() const override { return {2024, 3, 5, 7, 8, 9}; }
};

c_Xl_DocPros::RandomSource cycling(std::vector<double> numbers) {
    return [numbers, next = std::size_t{0}]() mutable { return numbers[next++ % numbers.size()]; };
}

std::vector<std::string> fields(const std::string& value) {
    std::vector<std::string> parts(1);
    for (const char c : value) {
        if (c == '\t') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

struct World {
    World() {
        files.addDirectory("C:\\books");
        book = app->addWorkbook("Book1.xls", "C:\\books");
        sheet1 = book->addWorksheet("Sheet1");
        sheet2 = book->addWorksheet("Sheet2");
        sheet3 = book->addWorksheet("Sheet3");
    }

    void watch(const std::shared_ptr<SimWorksheet>& sheet, const char* sheetId) {
        pros.Add(book, sheet, "請求書", sheetId, kVersion, "B2", {"顧客"}, {"A1"}, {1});
    }
    std::int32_t storeAll() { return pros.SaveToDocProps(book, nullptr); }
    std::string stored(const std::string& sheetName) {
        const auto* property = book->properties()->find(SheetWatchPropertyName(sheetName));
        return property ? property->value : "(none)";
    }
    std::vector<std::string> propertyNames() const {
        std::vector<std::string> names;
        for (const auto& p : book->properties()->all()) names.push_back(p.name);
        return names;
    }

    test::MemoryFileSystem files;
    std::shared_ptr<SimApplication> app = SimApplication::create(files);
    std::shared_ptr<SimWorkbook> book;
    std::shared_ptr<SimWorksheet> sheet1;
    std::shared_ptr<SimWorksheet> sheet2;
    std::shared_ptr<SimWorksheet> sheet3;
    FixedClock clock;
    c_Xl_DocPros pros{clock, cycling({0.0, 0.5, 0.9999999})};
};

TEST(DocProIds, LocalTimeThenThreeCapitals) {
    World w;
    EXPECT_EQ(w.pros.CalcNewId(), kNewId);
}

TEST(DocProIds, IdsMadeWithinOneSecondDiffer) {
    const FixedClock clock;
    c_Xl_DocPros pros(clock);
    std::set<std::string> ids;
    for (int i = 0; i < 20; ++i) {
        const std::string id = pros.CalcNewId();
        ASSERT_EQ(id.size(), 17u);
        EXPECT_EQ(id.substr(0, 14), "20240305070809");
        EXPECT_TRUE(std::all_of(id.begin() + 14, id.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) << id;
        ids.insert(id);
    }
    // Three letters give 17576 ids; a few repeats among 20 are chance, all equal is the fault.
    EXPECT_GE(ids.size(), 18u);
}

TEST(DocProStore, FirstStoreWritesTheSixFieldsThenAnUnchangedStoreWritesNothing) {
    World w;
    w.watch(w.sheet1, kId1);
    EXPECT_EQ(w.storeAll(), store_flags::kWritten);
    const auto* property = w.book->properties()->find("KEZ_QUORVEX_INFO_Sheet1");
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(property->type, host::msoPropertyTypeString);
    EXPECT_EQ(property->value, std::string("0\t請求書\t") + kId1 + "\t" + kVersion + "\t$B$2\t顧客/$A$1/1");

    w.book->properties()->Add("Author", false, host::msoPropertyTypeString, "kei");
    EXPECT_EQ(w.storeAll(), store_flags::kSameVersion);
    EXPECT_EQ(w.propertyNames(), (std::vector<std::string>{"KEZ_QUORVEX_INFO_Sheet1", "Author"}));
}

TEST(DocProStore, OnlyCategoryHeadingCountTitleAndValueTypeMakeANewVersion) {
    struct Case {
        const char* change;
        std::function<void(c_Xl_DocPro&)> apply;
        bool newVersion;
    };
    const Case cases[] = {
        {"category", [](c_Xl_DocPro& r) { r.Category("納品書"); }, true},
        {"heading added", [](c_Xl_DocPro& r) { r.TitleText(2, "備考"); }, true},
        {"headings removed", [](c_Xl_DocPro& r) { r.TitleCount(0); }, true},
        {"title", [](c_Xl_DocPro& r) { r.TitleText(1, "得意先"); }, true},
        {"value type", [](c_Xl_DocPro& r) { r.CellLinkValueType(1, 0); }, true},
        {"save range", [](c_Xl_DocPro& r) { r.SaveRange("A1:F20"); }, false},
        {"value source", [](c_Xl_DocPro& r) { r.ValueRange(1, "C3"); }, false},
        {"released", [](c_Xl_DocPro& r) { r.Released(true); }, false},
    };
    for (const Case& c : cases) {
        World w;
        w.watch(w.sheet1, kId1);
        w.storeAll();
        const auto record = w.pros.Find(w.sheet1);
        c.apply(*record);
        EXPECT_EQ(w.storeAll(), c.newVersion ? store_flags::kNewVersion : store_flags::kSameVersion) << c.change;
        EXPECT_EQ(record->VersionId(), c.newVersion ? kNewId : kVersion) << c.change;
        EXPECT_EQ(w.stored("Sheet1"), SheetWatchPropertyValue(*record)) << c.change;
    }
}

TEST(DocProStore, FlagsSumOverTheStoredSheets) {
    World w;
    w.watch(w.sheet1, kId1);
    w.watch(w.sheet2, kId2);
    EXPECT_EQ(w.storeAll(), 2 * store_flags::kWritten);

    w.pros.Find(w.sheet2)->Category("納品書");
    w.watch(w.sheet3, kId3);
    EXPECT_EQ(w.storeAll(), store_flags::kSameVersion + store_flags::kNewVersion + store_flags::kWritten);

    w.pros.Find(w.sheet1)->Category("見積書");
    w.pros.Find(w.sheet3)->Category("見積書");
    EXPECT_EQ(w.pros.SaveToDocProps(w.book, w.sheet3), store_flags::kNewVersion);
    EXPECT_EQ(fields(w.stored("Sheet1"))[1], "請求書");
}

TEST(DocProStore, RenamedSheetMovesItsPropertyDeletedSheetLosesIt) {
    World w;
    w.watch(w.sheet1, kId1);
    w.watch(w.sheet2, kId2);
    w.storeAll();
    w.sheet1->rename("売上");
    EXPECT_EQ(w.storeAll(), 2 * store_flags::kSameVersion);
    EXPECT_EQ(w.propertyNames(), (std::vector<std::string>{"KEZ_QUORVEX_INFO_Sheet2", "KEZ_QUORVEX_INFO_売上"}));
    const auto stored = fields(w.stored("売上"));
    EXPECT_EQ(stored[2], kId1);
    EXPECT_EQ(stored[3], kVersion);

    // The clean-up covers every sheet, also when one other sheet is stored.
    w.book->deleteSheet("Sheet2");
    EXPECT_EQ(w.pros.SaveToDocProps(w.book, w.sheet3), 0);
    EXPECT_EQ(w.propertyNames(), (std::vector<std::string>{"KEZ_QUORVEX_INFO_売上"}));
}

TEST(DocProStore, OldNameOfARenamedSheetKeepsNoWatchForItsNextOwner) {
    World w;
    w.watch(w.sheet1, kId1);
    w.storeAll();
    w.sheet1->rename("Renamed");
    w.sheet2->rename("Sheet1");
    w.pros.SaveToDocProps(w.book, w.sheet1);

    EXPECT_EQ(w.propertyNames(), (std::vector<std::string>{"KEZ_QUORVEX_INFO_Renamed"}));
    w.pros.LoadFromDocProps(w.book);
    EXPECT_EQ(w.pros.Find(w.sheet2), nullptr);
    EXPECT_NE(w.pros.Find(w.sheet1), nullptr);
}

TEST(DocProStore, TwoWatchesOfOneSheetIdKeepTheirPropertiesAcrossSaveAndReopen) {
    // A renamed sheet's old property that stayed for the sheet which took the
    // name, or two watches made within one tick of the timer: two sheets load
    // one SheetId. Each keeps its own property, whatever the properties' order.
    struct Case {
        const char* name;
        std::vector<std::string> order;  // sheets, in the order of their properties
        const char* secondCategory;
    };
    const Case cases[] = {
        {"same settings", {"Sheet1", "Sheet2"}, "請求書"},
        {"same settings, second property first", {"Sheet2", "Sheet1"}, "請求書"},
        {"other category", {"Sheet1", "Sheet2"}, "納品書"},
        {"other category, second property first", {"Sheet2", "Sheet1"}, "納品書"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        const std::map<std::string, std::string> values{
            {"Sheet1", std::string("0\t請求書\t") + kId1 + "\t" + kVersion + "\t\t"},
            {"Sheet2", std::string("0\t") + c.secondCategory + "\t" + kId1 + "\t" + kVersion + "\t$B$2\t"}};
        for (const std::string& sheet : c.order) {
            w.book->properties()->add({SheetWatchPropertyName(sheet), host::msoPropertyTypeString, values.at(sheet)});
        }
        w.pros.LoadFromDocProps(w.book);

        EXPECT_EQ(w.storeAll(), 2 * store_flags::kSameVersion);
        EXPECT_EQ(w.stored("Sheet1"), values.at("Sheet1"));
        EXPECT_EQ(w.stored("Sheet2"), values.at("Sheet2"));

        w.book->Save();
        w.app->closeWorkbook(w.book);
        const auto reopened = w.app->openWorkbook("C:\\books\\Book1.xls");
        w.pros.LoadFromDocProps(reopened);
        for (const char* sheet : {"Sheet1", "Sheet2"}) {
            const auto record = w.pros.Find(reopened->worksheet(sheet));
            ASSERT_NE(record, nullptr) << sheet;
            EXPECT_EQ(SheetWatchPropertyValue(*record), values.at(sheet)) << sheet;
        }
    }
}

TEST(DocProStore, NewWatchWhoseIdAnotherSheetStoresGetsAPropertyOfItsOwn) {
    World w;
    w.watch(w.sheet1, kId1);
    w.storeAll();
    const std::string first = w.stored("Sheet1");
    w.watch(w.sheet3, kId1);
    EXPECT_EQ(w.storeAll(), store_flags::kSameVersion + store_flags::kWritten);
    EXPECT_EQ(w.stored("Sheet1"), first);
    EXPECT_EQ(fields(w.stored("Sheet3"))[2], kId1);
}

TEST(DocProStore, PropertyTooShortToHoldASheetIdIsNoWatchsProperty) {
    // A watch whose id is not made yet must not take another sheet's damaged
    // property for its own, nor read fields the property does not have.
    const char* const shortValues[] = {"", "0", "0\t請求書"};
    for (const char* value : shortValues) {
        SCOPED_TRACE(value);
        World w;
        w.book->properties()->add({SheetWatchPropertyName("Sheet2"), host::msoPropertyTypeString, value});
        w.pros.Add(w.book, w.sheet1, "請求書", "", "", "", {}, {}, {});
        EXPECT_EQ(w.storeAll(), store_flags::kWritten);
        EXPECT_EQ(w.stored("Sheet2"), value);
        EXPECT_EQ(fields(w.stored("Sheet1"))[2], "");
    }
}

TEST(DocProStore, SaveRangeWhoseCellsWereDeletedStoresRefAndTheStoreGoesOn) {
    World w;
    w.watch(w.sheet1, kId1);
    w.watch(w.sheet2, kId2);
    w.sheet1->deleteRows(2);
    EXPECT_EQ(w.storeAll(), 2 * store_flags::kWritten);
    EXPECT_EQ(fields(w.stored("Sheet1"))[4], "#REF");
    EXPECT_EQ(fields(w.stored("Sheet2"))[4], "$B$2");
}

TEST(DocProStore, WatchThatGrewPastTheHostsLimitKeepsWhatWasStoredAndTheOthersAreStored) {
    // A watch stored at the host's limit, whose save range then gets one
    // character longer as rows go in above it: the workbook refuses it. It must
    // keep the watch as stored (under the sheet's new name when renamed), the
    // other sheets must still be stored and gone sheets cleaned up, and the
    // refusal must name the sheet.
    for (const bool renamed : {false, true}) {
        SCOPED_TRACE(renamed ? "renamed" : "same name");
        World w;
        w.pros.Add(w.book, w.sheet1, "", kId1, kVersion, "B9", {}, {}, {});
        w.storeAll();
        const std::size_t room = host::kTextPropertyMaxLength - w.stored("Sheet1").size();
        w.pros.Find(w.sheet1)->Category(std::string(room, 'c'));
        w.storeAll();
        const std::string atTheLimit = w.stored("Sheet1");
        ASSERT_EQ(atTheLimit.size(), host::kTextPropertyMaxLength);

        w.watch(w.sheet2, kId2);
        w.book->properties()->add({SheetWatchPropertyName("Gone"), host::msoPropertyTypeString, "0\tx"});
        w.sheet1->insertRows(1);
        if (renamed) w.sheet1->rename("売上");
        try {
            w.storeAll();
            ADD_FAILURE() << "the refusal was not reported";
        } catch (const WatchNotStored& e) {
            EXPECT_EQ(e.what(), texts::WatchTooLong(host::kTextPropertyMaxLength));
            EXPECT_EQ(e.sheetName(), w.sheet1->Name());
        }
        EXPECT_EQ(w.stored(w.sheet1->Name()), atTheLimit);
        EXPECT_EQ(fields(w.stored("Sheet2"))[2], kId2);
        EXPECT_EQ(w.propertyNames(), (std::vector<std::string>{SheetWatchPropertyName(w.sheet1->Name()),
                                                               "KEZ_QUORVEX_INFO_Sheet2"}));
        w.pros.LoadFromDocProps(w.book);
        ASSERT_NE(w.pros.Find(w.sheet1), nullptr);
        EXPECT_EQ(w.pros.Find(w.sheet1)->SheetId(), kId1);
    }
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DocProLoad, StoredWorkbookKeepsSoundWatchesAndDropsDamagedOnes) {
    World w;
    const auto book = w.app->loadWorkbook(readText(KQ_TEST_DATA "/addin/stored_watches.txt"));
    w.pros.LoadFromDocProps(book);

    struct Expected {
        const char* sheet;
        bool watched;
        bool released;
    };
    const Expected sheets[] = {
        {"Report", true, false},       {"Copy", true, true},         {"ShortId", false, false},
        {"ShortVersion", false, false}, {"LongVersion", false, false}, {"Slash", false, false},
        {"Bar", false, false},          {"Four", false, false},
    };
    for (const Expected& e : sheets) {
        const auto record = w.pros.Find(book->worksheet(e.sheet));
        ASSERT_EQ(record != nullptr, e.watched) << e.sheet;
        if (record) {
            EXPECT_EQ(record->Released(), e.released) << e.sheet;
        }
    }
    EXPECT_EQ(SheetWatchPropertyValue(*w.pros.Find(book->worksheet("Report"))),
              "0\t請求書\t20240101090000AAA\t20240102100000AAB\t$B$2:$D$9\t顧客/$A$1/1|金額/$C$2/0");

    const auto names = [&] {
        std::vector<std::string> result;
        for (const auto& p : book->properties()->all()) result.push_back(p.name);
        return result;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"Author", "KEZ_QUORVEX_INFO_Report", "KEZ_QUORVEX_INFO_Copy",
                                                 "KEZ_QUORVEX_INFO_Four", "KEZ_QUORVEX_INFO_Gone"}));
    // The dropped headings change the heading count, so Report gets a new version.
    EXPECT_EQ(w.pros.SaveToDocProps(book, nullptr), store_flags::kNewVersion + store_flags::kSameVersion);
    EXPECT_EQ(names(), (std::vector<std::string>{"Author", "KEZ_QUORVEX_INFO_Copy", "KEZ_QUORVEX_INFO_Four",
                                                 "KEZ_QUORVEX_INFO_Report"}));
}

TEST(DocProLoad, SavedAndReopenedWorkbookKeepsItsWatches) {
    World w;
    w.watch(w.sheet1, kId1);
    w.pros.Add(w.book, w.sheet2, "控え", kId2, kId2, "", {}, {}, {});
    w.pros.Release(w.sheet2);
    w.sheet1->insertRows(1);
    w.storeAll();
    const std::string first = w.stored("Sheet1");
    const std::string second = w.stored("Sheet2");
    w.book->Save();
    w.app->closeWorkbook(w.book);

    const auto reopened = w.app->openWorkbook("C:\\books\\Book1.xls");
    w.pros.LoadFromDocProps(reopened);
    const auto record1 = w.pros.Find(reopened->worksheet("Sheet1"));
    const auto record2 = w.pros.Find(reopened->worksheet("Sheet2"));
    ASSERT_TRUE(record1 && record2);
    EXPECT_EQ(SheetWatchPropertyValue(*record1), first);
    EXPECT_EQ(SheetWatchPropertyValue(*record2), second);
    EXPECT_TRUE(record2->Released());
    // Addresses came back as ranges, not as texts.
    reopened->worksheet("Sheet1")->insertRows(1);
    EXPECT_EQ(record1->SaveRange(), "$B$4");
    EXPECT_EQ(record1->ValueRange(1), "$A$3");
}

TEST(DocProLoad, LoadingReplacesTheRecordsOfThatWorkbook) {
    World w;
    w.watch(w.sheet1, kId1);
    w.storeAll();
    w.pros.Find(w.sheet1)->Category("納品書");
    w.pros.LoadFromDocProps(w.book);
    EXPECT_EQ(w.pros.Find(w.sheet1)->Category(), "請求書");
}

TEST(DocProFind, RecordBelongsToItsOwnWorkbookAndSheet) {
    World w;
    w.watch(w.sheet1, kId1);
    const auto other = w.app->addWorkbook("Book2.xls", "C:\\books");
    const auto otherSheet1 = other->addWorksheet("Sheet1");
    EXPECT_EQ(w.pros.Find(otherSheet1), nullptr);
    EXPECT_EQ(w.pros.Find(w.sheet2), nullptr);
    EXPECT_EQ(w.pros.Find(nullptr), nullptr);

    w.pros.Release(otherSheet1);
    EXPECT_FALSE(w.pros.Find(w.sheet1)->Released());
    w.pros.Release(w.sheet1);
    EXPECT_TRUE(w.pros.Find(w.sheet1)->Released());
}

}  // namespace
}  // namespace kq::addin
