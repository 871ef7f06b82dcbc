#include "viewer/properties/header_footer_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/vb.h"

namespace kq::viewer {
namespace {

// 2012/05/07 13:05:09.
const double kPrinted = *vb::ToOleDate({2012, 5, 7, 13, 5, 9});
constexpr const char* kBook = "C:\\Books\\Q&A.xls";
constexpr const char* kSheet = "Sheet&1";

struct Case {
    const char* text;
    int page;
    int count;
    const char* shown;
};

void expectCases(std::initializer_list<Case> cases, const char* book = kBook, const char* sheet = kSheet,
                 double date = kPrinted) {
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " page " << c.page << " of " << c.count);
        EXPECT_EQ(GetHeaderAndFooterText(c.text, book, sheet, date, c.page, c.count), c.shown);
    }
}

TEST(HeaderFooterText, WithoutPageTheDateTimeFileAndSheetAreExpanded) {
    // What the properties of a history ask for: no page number, no count.
    expectCases({
        {"plain ＆＆ ＆Ｐ+ text", 0, 0, "plain ＆＆ ＆Ｐ+ text"},
        {"&&", 0, 0, "&"},
        {"&&P", 0, 0, "&P"},
        {"&&&P", 0, 0, "&&P"},
        {"&P / &N &D", 0, 0, "&P / &N 2012/5/7"},
        {"&P+1 &P-2 &P+", 0, 0, "&P+1 &P-2 &P+"},
        {"&D &T", 0, 0, "2012/5/7 13:5"},
        {"&F!&A", 0, 0, "C:\\Books\\Q&A.xls!Sheet&1"},
        {"&p &d &B&I&U&S&Z&G &\"Arial,Bold\"&12 &", 0, 0, "&p &d &B&I&U&S&Z&G &\"Arial,Bold\"&12 &"},
        {"&&F &&A", 0, 0, "&F &A"},
    });
}

TEST(HeaderFooterText, PageNumberCountAndOffsets) {
    expectCases({
        {"&P / &N", 3, 10, "3 / 10"},
        {"&P+2", 3, 10, "5"},
        {"&P-1", 3, 10, "2"},
        {"&P-5", 3, 10, "-2"},
        {"&P+02", 3, 10, "5"},
        {"&P+000000000000000000001", 3, 10, "4"},
        {"&P+", 3, 10, "&P+"},
        {"&P-", 3, 10, "&P-"},
        // An offset without digits that comes first keeps every code of its sign.
        {"&P+ &P+2", 3, 10, "&P+ &P+2"},
        {"&P+2 &P+", 3, 10, "5 &P+"},
        {"&P- &P+1 &P-1", 3, 10, "&P- 4 &P-1"},
        // The whole code is replaced, also where it begins a longer one.
        {"&P+1 &P+12", 3, 10, "4 42"},
        {"&P&P-5", 3, 10, "1"},
        {"P+1 P-1 p+1", 3, 10, "P+1 P-1 p+1"},
        {"&P of &N", 3, 0, "3 of &N"},
        {"&P of &N", 0, 7, "&P of 7"},
        // No page lies that far away: the offset stays as typed.
        {"&P+1234567890123456 &P+1", 3, 10, "&P+1234567890123456 4"},
    });
}

TEST(HeaderFooterText, NamesAndTheTextsOwnCharactersAreNeverReadAsCodes) {
    expectCases({{"&F", 0, 0, "&A&&P＆＆.xls"}, {"&A", 3, 9, "&P+1 ＆Ｐ-"}, {"＆＆&P＆Ｐ+&&", 3, 9, "＆＆3＆Ｐ+&"}},
                "&A&&P＆＆.xls", "&P+1 ＆Ｐ-");
}

TEST(HeaderFooterText, AStoredDateThatIsNoDateLeavesItsCodes) {
    expectCases({{"&D &T &P", 2, 2, "&D &T 2"}}, kBook, kSheet, 1e12);
}

TEST(HeaderFooterText, ALongTextOfOffsetsEnds) {
    // Hundreds of offsets of three digits each, over and over: a round for each.
    std::string text;
    std::string shown;
    for (int i = 0; text.size() < 20000; ++i) {
        text += "&P+" + vb::FormatDigits(i % 200, 3) + "|";
        shown += std::to_string(1 + i % 200) + "|";
    }
    EXPECT_EQ(GetHeaderAndFooterText(text, "", "", kPrinted, 1, 1), shown);
}

}  // namespace
}  // namespace kq::viewer
