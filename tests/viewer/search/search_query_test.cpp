#include "viewer/search/search_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/history_reader.h"
#include "common/letter_case.h"
#include "tests/support/counting_source.h"
#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"
#ifdef _WIN32
#include "common/win32/letter_case_win32.h"
#endif

namespace kq::viewer {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Terms = std::vector<std::string>;
using namespace std::string_literals;

// Alternatives as the query holds them, joined by NULs.
std::string anyOf(std::initializer_list<const char*> alternatives) {
    std::string out;
    for (const char* a : alternatives) {
        if (!out.empty()) out += '\0';
        out += a;
    }
    return out;
}

TEST(SearchQuery, ParsesTheLanguageOfTheBox) {
    struct Case {
        const char* query;
        Terms must;
        Terms mustNot;
        bool quoteClosed = false;
    };
    const Case cases[] = {
        {"  abc  ", {"abc"}, {}},
        {"abc -", {"abc"}, {}},
        {"abc - ", {"abc"}, {}},
        {"a OR b", {anyOf({"a", "b"})}, {}},
        {"a or B", {anyOf({"a", "B"})}, {}},
        {"a Or b oR c", {anyOf({"a", "b", "c"})}, {}},
        {"a OR", {"a", "OR"}, {}},
        {"a AND b", {"a", "b"}, {}},
        {"a and b", {"a", "b"}, {}},
        {"a aNd b AnD c", {"a", "b", "c"}, {}},
        {"a b", {"a", "b"}, {}},
        {"a ANDb", {"a", "ANDb"}, {}},
        {"a - b", {"a"}, {"b"}},
        {"a -b", {"a"}, {"b"}},
        {"abc -x f OR g", {"abc", anyOf({"f", "g"})}, {"x"}},
        {"-x OR y a", {"a"}, {anyOf({"x", "y"})}},
        {"\"a b\"", {"a b"}, {}},
        {"\"x OR y\"", {"x OR y"}, {}},
        {"-\"a b\" c", {"c"}, {"a b"}},
        {"\"abc", {"abc"}, {}, true},
        {"x \"a b", {"x", "a b"}, {}, true},
        {"abc", {"abc"}, {}},
        {"ABC", {"ABC"}, {}},
        {"ＡＢＣ", {"ＡＢＣ"}, {}},
        {"foo bar", {"foo", "bar"}, {}},
        // The ideographic space is no blank.
        {"a\u3000b", {"a\u3000b"}, {}},
        {"a    b", {"a", "b"}, {}},
        // Nothing left to search for: every history passes.
        {"   ", {}, {}},
        {"- -", {}, {}},
        // Empty parts would occur in every text: dropped.
        {"a OR  OR b", {anyOf({"a", "b"})}, {}},
        {"a OR \"\" OR b", {anyOf({"a", "b"})}, {}},
        {"\"\" x", {"x"}, {}},
        {"\"-\" x", {"x"}, {}},
        {"x -\"\"", {"x"}, {}},
        {"x -\"\" OR y", {"x"}, {"y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const SearchQuery q = parseSearchQuery(c.query);
        EXPECT_EQ(q.SearchAndTerms, c.must);
        EXPECT_EQ(q.SearchNotTerms, c.mustNot);
        EXPECT_EQ(q.quoteClosed, c.quoteClosed);
    }
}

int upperCaseAsks = 0;
std::string countedUpperCase(std::string_view text) {
    ++upperCaseAsks;
    return tableUpperCase(text);
}

TEST(SearchMatcher, UpperCaseAgreesWithTheMappingItStandsFor) {
    const struct {
        const char* text;
        int asks;  // how often the mapping itself is asked
    } cases[] = {
        {"", 0},
        {"abc xyz 09 {}~", 0},
        {"見積書 アイウ あいう 、。「」\u3000", 0},
        {"ａｂｃ", 1},
        {"ｱｲｳ", 1},
        {"straße äöü", 2},
        {"αβγ д ⅰⅱ", 3},
        {"ａ見ｂ", 2},
        {"mixed ＡbＣ漢ä\u00ff", 3},
        {"\xE3\x81", 1},  // cut short: what the mapping makes of it
        {"\x80\xBF", 1},
        {"\xF0\x9F\x98\x80" "a", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        upperCaseAsks = 0;
        EXPECT_EQ(searchUpperCase(c.text, countedUpperCase), tableUpperCase(c.text));
        EXPECT_EQ(upperCaseAsks, c.asks);
    }
}

#ifdef _WIN32
// What the search maps by itself, it maps as the system does.
TEST(SearchMatcher, UpperCaseAgreesWithTheSystemOnWhatItDoesNotAskAbout) {
    std::string text;
    for (char32_t c = 1; c < 0x80; ++c) appendUtf8(text, c);
    for (char32_t c = 0x3000; c <= 0x9FFF; ++c) appendUtf8(text, c);
    appendUtf8(text, U'ａ');
    EXPECT_EQ(searchUpperCase(text, win32::systemUpperCase), win32::systemUpperCase(text));
}
#endif

bool matches(const char* query, const std::vector<std::string>& texts) {
    return SearchMatcher(parseSearchQuery(query), tableUpperCase).matchTexts(texts);
}

TEST(SearchMatcher, TermsAlternativesExclusionsAndLetterCase) {
    struct Case {
        const char* query;
        std::vector<std::string> texts;
        bool hit;
    };
    const Case cases[] = {
        {"abc", {"xxABCxx"}, true},
        {"ABC", {"xxabcxx"}, true},
        {"a OR b", {"b only"}, true},
        {"a or B", {"ccc", "xbx"}, true},
        {"zz OR yy", {"a b"}, false},
        {"a OR", {"a"}, false},
        {"a OR", {"a", "or"}, true},
        {"foo bar", {"foo", "foo again"}, false},
        {"foo bar", {"foo", "a bar"}, true},
        {"a - b", {"a", "b"}, false},
        {"a -b", {"a c"}, true},
        {"-x OR y", {"abc y"}, false},
        {"\"a b\"", {"a", "b"}, false},
        {"\"a b\"", {"xa by"}, true},
        {"\"x OR y\"", {"x"}, false},
        {"\"x OR y\"", {"x or y"}, true},
        {"   ", {}, true},
        // The system's mapping: full-width letters have their own upper case,
        // and stay apart from the half-width ones; kana are not folded.
        {"ａｂｃ", {"ＡＢＣ"}, true},
        {"ＡＢＣ", {"abc"}, false},
        {"abc", {"ａｂｃ"}, false},
        {"あ", {"ア"}, false},
        {"ｱ", {"ア"}, false},
        {"ä", {"Ä"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(matches(c.query, c.texts), c.hit);
    }
}

// A history with something in every searched text and in every text that is not searched.
HistoryRecords sample() {
    HistoryRecords r;
    r.header.strBookPath = "C:\\帳簿";
    r.header.strBookName = "見積書.xls";
    r.header.strSheetName = "売上表";
    r.header.strCategory = "経理";
    r.header.strPrinterName = "PrinterName";
    r.header.strLeftHeader = "LeftHeader";
    r.header.strCenterFooter = "CenterFooter";
    r.header.strExcelUserName = "UserName";
    r.headings = {{"請求日", "$B$2", "20240315", 0}};
    r.pageTexts = {{"顧客\tサンプル"}, {"アイウ"}};
    r.shapes = {{"Shape 1", "確認済み", "B2", "C3"}};
    r.comments = {{"至急", "B2", "山田"}};
    r.errorLines = {{"ErrorLine"}};
    return r;
}

std::optional<bool> matchBytes(const char* query, const Bytes& bytes) {
    MemorySource source(bytes);
    return SearchMatcher(parseSearchQuery(query), tableUpperCase).matchHistory(source, systemAnsiCodec());
}

TEST(SearchMatcher, LooksInTheSearchedTextsOfAHistoryAlone) {
    const Bytes bytes = test::historyBytes(sample(), {Bytes(64, 0x41)});
    const struct {
        const char* query;
        bool hit;
    } cases[] = {
        {"帳簿\\見積書.xls!売上", true},
        {"経理", true},
        {"請求日 20240315", true},
        {"サンプル", true},
        {"確認済み 至急", true},
        {"至急 -アイウ", false},
        {"PrinterName", false},
        {"LeftHeader", false},
        {"CenterFooter", false},
        {"ErrorLine", false},
        // 「ア」 is 0x83 0x41 in the file: its second byte is no "A".
        {"A", false},
        {"-A", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(matchBytes(c.query, bytes), c.hit);
    }
}

using test::CountingSource;

TEST(SearchMatcher, NeverReadsPageBytesAndStopsOnceSettled) {
    // Pages of a text the query looks for: were they decoded, the history would match.
    HistoryRecords r = sample();
    const std::vector<Bytes> pages(3, Bytes(200 * 1024, 'Z'));
    const Bytes bytes = test::historyBytes(r, pages);
    MemorySource whole(bytes);
    const std::vector<PageImageRecord> found = *readHistoryPages(whole).value;
    const SearchMatcher matcher(parseSearchQuery("ZZZZ OR 至急"), tableUpperCase);

    CountingSource source(bytes);
    EXPECT_EQ(matcher.matchHistory(source, systemAnsiCodec()), true);
    std::uint64_t pageBytesRead = 0;
    for (const PageImageRecord& page : found) {
        pageBytesRead += source.readWithin(page.bytDataOffset, page.bytDataOffset + page.curSize);
    }
    // The header's one window may run into the first page; nothing beyond it.
    EXPECT_LE(pageBytesRead, 4096u);
    EXPECT_EQ(SearchMatcher(parseSearchQuery("ZZZZ"), tableUpperCase).matchHistory(source, systemAnsiCodec()), false);

    // Found in the place: nothing after the header's window is read.
    CountingSource early(bytes);
    EXPECT_EQ(SearchMatcher(parseSearchQuery("売上表"), tableUpperCase).matchHistory(early, systemAnsiCodec()), true);
    EXPECT_EQ(early.readWithin(4096, bytes.size()), 0u);
}

TEST(SearchMatcher, ADamagedHistoryIsNoMatchUnlessSettledBeforeTheDamage) {
    const Bytes bytes = test::historyBytes(sample(), {Bytes(64, 0)});
    const Bytes cut(bytes.begin(), bytes.end() - 20);  // into the comments
    EXPECT_EQ(matchBytes("経理", cut), true);
    EXPECT_EQ(matchBytes("至急", cut), std::nullopt);
    EXPECT_EQ(matchBytes("経理 -nothing", cut), std::nullopt);
    EXPECT_EQ(matchBytes("経理", Bytes(10, 0)), std::nullopt);
}

// Random histories and queries over a small alphabet where letter case,
// width and kana all make a difference; the matcher agrees with looking at
// every searched text, read the plain way.
TEST(SearchMatcher, AgreesWithAPlainScanOfEveryText) {
    const std::vector<std::string> letters = {"a", "A", "b", "ａ", "Ａ", "ア", "あ", "ｱ", "漢", " "};
    std::mt19937 random(20240315);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto text = [&](std::size_t longest) {
        std::string out;
        for (std::size_t i = pick(longest + 1); i > 0; --i) out += letters[pick(letters.size())];
        return out;
    };
    test::MemoryFileSystem files;
    std::vector<std::string> paths;
    std::vector<std::vector<std::string>> searched;
    for (int n = 0; n < 60; ++n) {
        HistoryRecords r;
        r.header.strBookPath = text(3);
        r.header.strCategory = text(3);
        for (std::size_t i = pick(3); i > 0; --i) r.headings.push_back({text(3), "", text(3), 0});
        for (std::size_t i = pick(4); i > 0; --i) r.pageTexts.push_back({text(8)});
        for (std::size_t i = pick(3); i > 0; --i) r.shapes.push_back({"s", text(4), "", ""});
        for (std::size_t i = pick(3); i > 0; --i) r.comments.push_back({text(4), "", ""});
        r.errorLines = {{text(4)}};
        r.header.strPrinterName = text(4);
        const std::string path = "C:\\H\\" + std::to_string(n) + ".tvk";
        const Bytes bytes = test::historyBytes(r, {Bytes(512, 'a')});
        files.addFile(path, bytes);
        paths.push_back(path);
        // What was stored, as a plain reading gives it back.
        MemorySource source(bytes);
        const HistoryRecords stored = *readHistoryRecords(source, systemAnsiCodec()).value;
        std::vector<std::string> texts = {
            stored.header.strBookPath + "\\" + stored.header.strBookName + "!" + stored.header.strSheetName,
            stored.header.strCategory};
        for (const auto& h : stored.headings) texts.push_back(h.strTitle + "\t" + h.strValue);
        for (const auto& t : stored.pageTexts) texts.push_back(t.strText);
        for (const auto& s : stored.shapes) texts.push_back(s.varText);
        for (const auto& c : stored.comments) texts.push_back(c.varText);
        searched.push_back(std::move(texts));
    }
    const auto occursIn = [](const std::vector<std::string>& texts, const std::string& alternative) {
        const std::string needle = tableUpperCase(alternative);
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& t) { return tableUpperCase(t).find(needle) != std::string::npos; });
    };
    const auto split = [](const std::string& term) {
        std::vector<std::string> out(1);
        for (char c : term) {
            if (c == '\0') {
                out.emplace_back();
            } else {
                out.back().push_back(c);
            }
        }
        return out;
    };
    std::size_t hits = 0;
    for (int q = 0; q < 300; ++q) {
        std::string query;
        for (std::size_t i = pick(3) + 1; i > 0; --i) {
            if (pick(4) == 0) query += "-";
            std::string word = text(2);
            std::erase(word, ' ');
            query += word;
            query += pick(3) == 0 ? " OR " : " ";
        }
        SearchBox box(tableUpperCase);
        box.buttonClick(query);
        for (std::size_t n = 0; n < paths.size(); ++n) {
            bool expected = true;
            for (const std::string& term : box.query().SearchAndTerms) {
                const auto alternatives = split(term);
                expected &= std::any_of(alternatives.begin(), alternatives.end(),
                                        [&](const std::string& a) { return occursIn(searched[n], a); });
            }
            for (const std::string& term : box.query().SearchNotTerms) {
                for (const std::string& a : split(term)) expected &= !occursIn(searched[n], a);
            }
            ASSERT_EQ(box.MatchSearchText(files, systemAnsiCodec(), paths[n]), expected)
                << "query [" << query << "] history " << n;
            hits += expected;
        }
    }
    // Both answers came up often enough to mean something.
    EXPECT_GT(hits, 1000u);
    EXPECT_LT(hits, 300u * paths.size() - 1000u);
}

TEST(SearchBox, TheButtonEnterAndTheBoxCarryTheSearchState) {
    enum Action { click, enter, edit };
    struct Step {
        Action action;
        const char* box;
        bool refresh;
        std::optional<std::string> boxText;
        SearchPicture picture;
        const char* SearchText;
    };
    using P = SearchPicture;
    const Step steps[] = {
        {click, "", false, {}, P::search, ""},  // nothing to end: not even a refresh
        {edit, "ab", false, {}, P::search, ""},
        {enter, "ab", true, {}, P::endSearch, "ab"},
        {enter, "ab", false, {}, P::endSearch, "ab"},  // the box's text is in force already
        {edit, "abc", false, {}, P::search, "ab"},  // editing leaves the search as it was
        {click, "abc", true, {}, P::endSearch, "abc"},
        {click, "abc", true, "", P::search, ""},  // ends it and empties the box
        {edit, "\"x y", false, {}, P::search, ""},
        {enter, "\"x y", true, "\"x y\"", P::endSearch, "\"x y"},  // the quote closed in the box alone
        {edit, "", true, {}, P::search, ""},                    // emptied: the search ends at once
        {edit, "q", false, {}, P::search, ""},
        {click, "q", true, {}, P::endSearch, "q"},
        {edit, "qq", false, {}, P::search, "q"},
        {edit, "", true, {}, P::search, ""},  // emptied under the search picture too
        {edit, "", false, {}, P::search, ""},
    };
    SearchBox box(tableUpperCase);
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(++n);
        const SearchBox::Reaction r =
            s.action == click ? box.buttonClick(s.box) : s.action == enter ? box.enter(s.box) : box.textChanged(s.box);
        EXPECT_EQ(r.refresh, s.refresh);
        EXPECT_EQ(r.boxText, s.boxText);
        EXPECT_EQ(box.picture(), s.picture);
        EXPECT_EQ(box.SearchText(), s.SearchText);
    }
}

TEST(SearchBox, TheListPassesOverWhatCannotBeReadAndGoesOn) {
    test::MemoryFileSystem files;
    HistoryRecords r = sample();
    const Bytes good = test::historyBytes(r, {Bytes(64, 0)});
    files.addFile("C:\\H\\1.tvk", Bytes(good.begin(), good.end() - 20));
    files.addFile("C:\\H\\2.tvk", good);
    files.addFile("C:\\H\\3.tvk", Bytes{1, 2, 3});
    r.comments = {{"other", "", ""}};
    files.addFile("C:\\H\\4.tvk", test::historyBytes(r, {Bytes(64, 0)}));
    SearchBox box(tableUpperCase);
    const auto passing = [&](const SearchFilter& filter) {
        std::vector<std::string> out;
        for (const char* p : {"C:\\H\\1.tvk", "C:\\H\\2.tvk", "C:\\H\\3.tvk", "C:\\H\\4.tvk", "C:\\H\\gone.tvk"}) {
            if (filter(p)) out.push_back(p);
        }
        return out;
    };
    // No search: no filter, nothing is opened.
    EXPECT_FALSE(box.filter(files, systemAnsiCodec()));
    box.buttonClick("至急");
    const SearchFilter filter = box.filter(files, systemAnsiCodec());
    EXPECT_EQ(passing(filter), (std::vector<std::string>{"C:\\H\\2.tvk"}));
    // A filter keeps the search it was made under: a list built meanwhile is not changed under it.
    box.buttonClick("至急");
    EXPECT_FALSE(box.filter(files, systemAnsiCodec()));
    EXPECT_EQ(passing(filter), (std::vector<std::string>{"C:\\H\\2.tvk"}));
}

}  // namespace
}  // namespace kq::viewer
