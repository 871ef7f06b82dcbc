#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <span>

#include "common/history_file.h"
#include "common/history_reader.h"
#include "common/history_writer.h"
#include "tests/support/counting_source.h"

namespace kq {
namespace {

using Bytes = std::vector<std::uint8_t>;

class VectorPages final : public HistoryPageSource {
public:
    explicit VectorPages(std::vector<Bytes> pages, std::size_t failAt = SIZE_MAX)
        : pages_(std::move(pages)), failAt_(failAt) {}
    bool readPage(std::size_t index, Bytes& bytes) override {
        asked.push_back(index);
        if (index == failAt_) return false;
        bytes = index < pages_.size() ? pages_[index] : Bytes{};
        return true;
    }
    std::vector<std::size_t> asked;

private:
    std::vector<Bytes> pages_;
    std::size_t failAt_;
};

// Accepts `allowed` writes, then fails.
class FailingSink final : public ByteSink {
public:
    explicit FailingSink(int allowed) : allowed_(allowed) {}
    bool write(const void*, std::size_t) override { return allowed_-- > 0; }

private:
    int allowed_;
};

Bytes writeHistory(const HistoryRecords& records, const std::vector<Bytes>& pages) {
    VectorPages source(pages);
    MemorySink sink;
    EXPECT_EQ(HistoryWriter(records, pages.size(), systemAnsiCodec()).write(source, sink), HistoryWriteStatus::written);
    return sink.bytes;
}

HistoryRecords sampleRecords() {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.02.0.03";
    h.dblExcelVersion = 16;
    h.lngOSVersion = 100;
    h.strCategory = "経理";
    h.strSheetId = "20240315093000QRS";
    h.strVersionId = "20240301080000KLM";
    h.strHistoryId = "20240315101530XYZ";
    h.strBookPath = "C:\\Users\\山田\\Documents";
    h.strBookName = "見積書.xls";
    h.strSheetName = "売上表";
    h.strExcelUserName = "山田 太郎";
    h.datPrintDate = 45366.0 + 36930.0 / 86400.0;  // 2024-03-15 10:15:30
    h.strPrinterName = "プリンタ 2 on Ne01:";
    h.strLeftHeader = "&D";
    h.strCenterHeader = "&B売上表&B";
    h.strCenterFooter = "&P / &N";
    h.strRightFooter = "社外秘";
    h.strPrintTitleRows = "$1:$2";
    h.dblLeftMargin = h.dblRightMargin = 51.0236220472441;
    h.dblTopMargin = h.dblBottomMargin = 53.8582677165354;
    h.dblHeaderMargin = h.dblFooterMargin = 22.6771653543307;
    h.blnCenterHorizontally = true;
    h.lngOrientation = 2;
    h.lngPaperSize = 9;
    h.lngFirstPageNumber = -4105;
    h.lngOrder = 1;
    h.intTitleCount = 99;  // the writer sets the counts itself
    r.headings = {{"請求日", "$B$2", "2024/03/15", 1}, {"備考|メモ", "", "", 0}};
    r.pageTexts = {{"請求日\t2024/03/15\r\n顧客名\t株式会社サンプル\r\n"}, {"ソ表\t1,234\r\n"}};
    r.shapes = {{"四角形 1", "確認済み", "$C$3", "$E$5"}};
    r.comments = {{"山田:\n至急確認", "$B$2", "山田 太郎"}};
    r.errorLines = {{"err:#REF. 担当"}};
    return r;
}

const std::vector<Bytes> kSamplePages = {{0x01, 0x00, 0x00, 0x00, 0x6C, 0x00, 0x00, 0x00, 0x20, 0x45, 0x4D, 0x46},
                                         {0xAA, 0xBB, 0xCC}};

// The sample as every reader should see it: counts set, separators gone from
// headings, comment lines ended CR LF.
HistoryRecords sampleAsStored() {
    HistoryRecords r = sampleRecords();
    r.header.intTitleCount = 2;
    r.header.intPageCount = 2;
    r.header.intTextCount = 2;
    r.header.intShapeCount = 1;
    r.header.intCommentCount = 1;
    r.header.intErrorCount = 1;
    r.headings[0].strValue = "20240315";
    r.headings[1].strTitle = "備考メモ";
    r.comments[0].varText = "山田:\r\n至急確認";
    return r;
}

// 138 bytes and the CP932 lengths of the sample header's 19 Strings, in field order.
constexpr std::size_t kSampleHeaderBytes =
    138 + 9 + 4 + 17 * 3 + 0 + 23 + 10 + 6 + 9 + 19 + 2 + 10 + 0 + 0 + 7 + 6 + 5 + 0;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(HistoryFile, SampleIsByteIdenticalToTheCheckedInFile) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    const Bytes expected = readFile(KQ_TEST_DATA "/history/two_pages.tvk");
    if (bytes != expected) {
        std::ofstream(std::string("two_pages.actual.tvk"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_EQ(bytes, expected) << "actual bytes saved as two_pages.actual.tvk in the test's folder";

    // Landmarks counted by hand, so the file is not merely what the writer said.
    const Bytes start = {0x09, 0x00, '1', '.', '0', '2', '.', '0', '.', '0', '3', 0, 0, 0, 0, 0, 0, 0x30, 0x40,
                         100, 0, 0, 0, 0x04, 0x00, 0x8C, 0x6F, 0x97, 0x9D};
    EXPECT_TRUE(std::equal(start.begin(), start.end(), bytes.begin()));
    const Bytes counts = {2, 0, 2, 0, 2, 0, 1, 0, 1, 0, 1, 0};
    EXPECT_TRUE(std::equal(counts.begin(), counts.end(), bytes.begin() + kSampleHeaderBytes - 12));
    const Bytes comment = {0x08, 0x00, 0x0F, 0x00, 0x8E, 0x52, 0x93, 0x63, 0x3A, 0x0D, 0x0A,
                           0x8E, 0x8A, 0x8B, 0x7D, 0x8A, 0x6D, 0x94, 0x46};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), comment.begin(), comment.end()), bytes.end());
    const Bytes lastError = {0x0E, 0x00, 'e', 'r', 'r', ':', '#', 'R', 'E', 'F', '.', ' ', 0x92, 0x53, 0x93, 0x96};
    EXPECT_TRUE(std::equal(lastError.rbegin(), lastError.rend(), bytes.rbegin()));
}

TEST(HistoryFile, EmptyHeaderAndPageRecordSizes) {
    const Bytes empty = writeHistory({}, {});
    EXPECT_EQ(empty, Bytes(kHistoryEmptyHeaderBytes, 0));

    const Bytes page(300, 0x5A);
    const Bytes one = writeHistory({}, {page});
    ASSERT_EQ(one.size(), 138u + 300 + 18);
    const Bytes record = {0xC0, 0xC6, 0x2D, 0x00, 0, 0, 0, 0,  // 300 * 10000
                          0x01, 0x00, 0x2C, 0x01, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(record.begin(), record.end(), one.begin() + 138));
    EXPECT_EQ(one[138 - 10], 1) << "intPageCount";
}

TEST(HistoryFile, ReadsBackWhatWasWritten) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    MemorySource source(bytes);

    const auto header = readHistoryHeader(source, systemAnsiCodec());
    ASSERT_TRUE(header) << header.damage;
    EXPECT_EQ(*header.value, sampleAsStored().header);
    const auto records = readHistoryRecords(source, systemAnsiCodec());
    ASSERT_TRUE(records) << records.damage;
    EXPECT_EQ(*records.value, sampleAsStored());

    const auto pages = readHistoryPages(source);
    ASSERT_TRUE(pages) << pages.damage;
    ASSERT_EQ(pages.value->size(), 2u);
    EXPECT_EQ(pages.value->at(1).bytDataOffset, pages.value->at(0).bytDataOffset + 12 + 18);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto page = readHistoryPage(source, pages.value->at(i));
        ASSERT_TRUE(page) << page.damage;
        EXPECT_EQ(*page.value, kSamplePages[i]);
    }
}

TEST(HistoryFile, EveryTruncationIsDamageButTheHeaderSurvivesWhatHoldsIt) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    MemorySource whole(bytes);
    const std::vector<PageImageRecord> pages = *readHistoryPages(whole).value;
    const std::uint64_t pagesEnd = pages.back().bytDataOffset + pages.back().curSize;
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        MemorySource cut(std::span<const std::uint8_t>(bytes).first(len));
        EXPECT_EQ(bool(readHistoryHeader(cut, systemAnsiCodec())), len >= kSampleHeaderBytes) << len;
        EXPECT_EQ(bool(readHistoryPages(cut)), len >= pagesEnd) << len;
        for (const PageImageRecord& page : pages) {
            EXPECT_EQ(bool(readHistoryPage(cut, page)), len >= page.bytDataOffset + page.curSize) << len;
        }
        const auto records = readHistoryRecords(cut, systemAnsiCodec());
        EXPECT_FALSE(records) << len;
        EXPECT_FALSE(records.damage.empty()) << len;
    }
}

void putLittle(Bytes& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(HistoryFile, DamagedCountsAndLengthsAreReported) {
    const Bytes sample = writeHistory(sampleRecords(), kSamplePages);
    MemorySource whole(sample);
    const std::size_t page1 = readHistoryPages(whole).value->at(0).bytDataOffset - 18;
    const std::size_t counts = kSampleHeaderBytes - 12;
    struct Case {
        const char* what;
        std::size_t at;
        std::uint64_t value;
        int size;
        bool headerReads;
        bool pagesRead;
    };
    const Case cases[] = {
        {"negative heading count", counts, 0xFFFF, 2, false, false},
        {"negative error count", counts + 10, 0x8000, 2, false, false},
        {"error count past the end", counts + 10, 0x7FFF, 2, true, true},
        {"one page more than stored", counts + 2, 3, 2, true, false},
        {"text length past the end", 0, 0xFFFF, 2, false, false},
        {"page size not whole bytes", page1, 12 * 10000 + 1, 8, true, false},
        {"negative page size", page1, static_cast<std::uint64_t>(-10000), 8, true, false},
        {"page size past the end", page1, std::uint64_t{1} << 62, 8, true, false},
    };
    for (const Case& c : cases) {
        Bytes bytes = sample;
        putLittle(bytes, c.at, c.value, c.size);
        MemorySource source(bytes);
        EXPECT_EQ(bool(readHistoryHeader(source, systemAnsiCodec())), c.headerReads) << c.what;
        EXPECT_EQ(bool(readHistoryPages(source)), c.pagesRead) << c.what;
        const auto records = readHistoryRecords(source, systemAnsiCodec());
        EXPECT_FALSE(records) << c.what;
        EXPECT_FALSE(records.damage.empty()) << c.what;
    }
    MemorySource source(sample);
    EXPECT_FALSE(readHistoryPage(source, {13, sample.size() - 12})) << "a page record lying past the end";
}

TEST(HistoryFile, ShapeTextVariantTypes) {
    struct Case {
        Bytes variant;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{0, 0}, ""},                  // Empty
        {{1, 0}, ""},                  // Null
        {{8, 0, 2, 0, 'a', 'b'}, "ab"},
        {{3, 0, 0, 0, 0, 0}, std::nullopt},  // a Long is no text
        {{8, 1, 0, 0}, std::nullopt},
    };
    for (const Case& c : cases) {
        Bytes bytes(kHistoryEmptyHeaderBytes, 0);
        bytes[138 - 6] = 1;  // intShapeCount
        bytes.insert(bytes.end(), {0, 0});
        bytes.insert(bytes.end(), c.variant.begin(), c.variant.end());
        bytes.insert(bytes.end(), {0, 0, 0, 0});
        MemorySource source(bytes);
        const auto records = readHistoryRecords(source, systemAnsiCodec());
        ASSERT_EQ(bool(records), c.text.has_value()) << records.damage;
        if (c.text) {
            EXPECT_EQ(records.value->shapes.at(0).varText, *c.text);
        }
    }
}

TEST(HistoryFile, AnyNonzeroBooleanIsTrue) {
    Bytes bytes(kHistoryEmptyHeaderBytes, 0);
    bytes[138 - 12 - 16 - 4] = 1;  // blnCenterHorizontally
    MemorySource source(bytes);
    const auto header = readHistoryHeader(source, systemAnsiCodec());
    ASSERT_TRUE(header);
    EXPECT_TRUE(header.value->blnCenterHorizontally);
    EXPECT_FALSE(header.value->blnCenterVertically);
}

TEST(HistoryWriter, CutsLongTextsAtACharacterAndReportsThem) {
    const std::string a = "あ";  // two bytes in the code page
    auto repeat = [](const std::string& s, std::size_t n) {
        std::string out;
        for (std::size_t i = 0; i < n; ++i) out += s;
        return out;
    };
    HistoryRecords r;
    r.header.strBookPath = repeat(a, 32768);             // 65536 bytes
    r.pageTexts = {{"a" + repeat(a, 32767)}};            // 65535: fits
    r.shapes = {{}, {"", repeat("ｱ", 65536), "", ""}};   // single-byte kana
    r.comments = {{}, {}, {"a" + repeat(a, 32768), "", ""}};  // 65537
    const HistoryWriter writer(r, 0, systemAnsiCodec());
    const std::vector<HistoryCut> expected = {
        {HistoryBlock::header, 0, "strBookPath", 65536, 65534},
        {HistoryBlock::shapes, 1, "varText", 65536, 65535},
        {HistoryBlock::comments, 2, "varText", 65537, 65535},
    };
    EXPECT_EQ(writer.cuts(), expected);

    VectorPages pages({});
    MemorySink sink;
    ASSERT_EQ(writer.write(pages, sink), HistoryWriteStatus::written);
    MemorySource source(sink.bytes);
    const auto back = readHistoryRecords(source, systemAnsiCodec());
    ASSERT_TRUE(back) << back.damage;
    EXPECT_EQ(back.value->header.strBookPath, repeat(a, 32767));
    EXPECT_EQ(back.value->pageTexts[0], r.pageTexts[0]);
    EXPECT_EQ(back.value->shapes[1].varText, repeat("ｱ", 65535));
    EXPECT_EQ(back.value->comments[2].varText, "a" + repeat(a, 32767));
}

TEST(HistoryWriter, CapsEachBlockAtTheLargestCountTogetherWithItsRecords) {
    for (int block = 0; block < 6; ++block) {
        HistoryRecords r;
        std::size_t pageCount = 0;
        HistoryBlock which{};
        switch (block) {
            case 0: r.headings.resize(32768); which = HistoryBlock::headings; break;
            case 1: pageCount = 32768; which = HistoryBlock::pages; break;
            case 2: r.pageTexts.resize(32768); which = HistoryBlock::pageTexts; break;
            case 3: r.shapes.resize(32768); which = HistoryBlock::shapes; break;
            case 4: r.comments.resize(32768); which = HistoryBlock::comments; break;
            case 5: r.errorLines.resize(40000); which = HistoryBlock::errorLines; break;
        }
        const HistoryWriter writer(r, pageCount, systemAnsiCodec());
        const std::size_t given = block == 5 ? 40000 : 32768;
        EXPECT_EQ(writer.cuts(), (std::vector<HistoryCut>{{which, 0, {}, given, 32767}})) << block;
        VectorPages pages({});
        MemorySink sink;
        ASSERT_EQ(writer.write(pages, sink), HistoryWriteStatus::written);
        EXPECT_EQ(pages.asked.size(), block == 1 ? 32767u : 0u);
        MemorySource source(sink.bytes);
        const auto back = readHistoryRecords(source, systemAnsiCodec());
        ASSERT_TRUE(back) << back.damage;
        const HistoryFileHeader& h = back.value->header;
        const std::size_t counts[] = {back.value->headings.size(), std::size_t(h.intPageCount),
                                      back.value->pageTexts.size(), back.value->shapes.size(),
                                      back.value->comments.size(), back.value->errorLines.size()};
        EXPECT_EQ(counts[block], 32767u) << block;
        const std::int16_t headerCounts[] = {h.intTitleCount, h.intPageCount, h.intTextCount,
                                             h.intShapeCount, h.intCommentCount, h.intErrorCount};
        EXPECT_EQ(headerCounts[block], 32767) << block;
    }
}

// The largest count itself fits: nothing is cut and nothing reported.
TEST(HistoryWriter, ABlockOfExactlyTheLargestCountIsWhole) {
    for (int block = 0; block < 6; ++block) {
        HistoryRecords r;
        std::size_t pageCount = 0;
        switch (block) {
            case 0: r.headings.resize(32767); break;
            case 1: pageCount = 32767; break;
            case 2: r.pageTexts.resize(32767); break;
            case 3: r.shapes.resize(32767); break;
            case 4: r.comments.resize(32767); break;
            case 5: r.errorLines.resize(32767); break;
        }
        const HistoryWriter writer(r, pageCount, systemAnsiCodec());
        EXPECT_TRUE(writer.cuts().empty()) << block;
        VectorPages pages({});
        MemorySink sink;
        ASSERT_EQ(writer.write(pages, sink), HistoryWriteStatus::written);
        EXPECT_EQ(pages.asked.size(), block == 1 ? 32767u : 0u);
    }
}

TEST(HistoryWriter, CommentLineEndsBecomeCrLf) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\nb", "a\r\nb"}, {"a\r\nb", "a\r\nb"}, {"\n\n", "\r\n\r\n"},
        {"a\rb", "a\rb"},   {"a\r\r\nb", "a\r\r\nb"}, {"a\n", "a\r\n"},
    };
    for (const auto& [typed, stored] : cases) {
        HistoryRecords r;
        r.comments = {{typed, "$A$1", ""}};
        const Bytes bytes = writeHistory(r, {});
        MemorySource source(bytes);
        EXPECT_EQ(readHistoryRecords(source, systemAnsiCodec()).value->comments.at(0).varText, stored) << typed;
    }
}

TEST(HistoryWriter, StopsAtTheFirstPageOrSinkFailure) {
    const HistoryWriter writer(sampleRecords(), 2, systemAnsiCodec());
    VectorPages failing(kSamplePages, 0);
    MemorySink sink;
    EXPECT_EQ(writer.write(failing, sink), HistoryWriteStatus::pageFailed);
    EXPECT_EQ(failing.asked, (std::vector<std::size_t>{0}));
    MemorySource source(sink.bytes);
    EXPECT_FALSE(readHistoryRecords(source, systemAnsiCodec())) << "a file cut short by a failure is damaged";

    // Header and headings, two writes per page, the text blocks.
    for (int allowed = 0; allowed < 6; ++allowed) {
        VectorPages pages(kSamplePages);
        FailingSink failingSink(allowed);
        EXPECT_EQ(writer.write(pages, failingSink), HistoryWriteStatus::sinkFailed) << allowed;
    }
    VectorPages pages(kSamplePages);
    FailingSink enough(6);
    EXPECT_EQ(writer.write(pages, enough), HistoryWriteStatus::written);
    EXPECT_EQ(pages.asked, (std::vector<std::size_t>{0, 1}));
}

TEST(HistoryFile, NewFileNameTakesTheFirstFreeSuffix) {
    const std::string base = "S_V_H";
    const std::pair<std::set<std::string>, std::optional<std::string>> cases[] = {
        {{}, base + ".tvk"},
        {{base + ".tvk"}, base + "(2).tvk"},
        {{base + ".tvk", base + "(2).tvk"}, base + "(3).tvk"},
        {{base + "(2).tvk"}, base + ".tvk"},
    };
    for (const auto& [taken, expected] : cases) {
        EXPECT_EQ(newHistoryFileName("S", "V", "H", [&](const std::string& n) { return taken.count(n) != 0; }),
                  expected);
    }
    int asked = 0;
    EXPECT_EQ(newHistoryFileName("S", "V", "H", [&](const std::string&) {
        ++asked;
        return true;
    }), std::nullopt);
    EXPECT_EQ(asked, kHistoryNameAttempts);
}

using test::CountingSource;

TEST(HistoryReader, HeadIsTheHeaderAndTheHeadingsAlone) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    MemorySource whole(bytes);
    const std::uint64_t headingsEnd = readHistoryPages(whole).value->at(0).bytDataOffset - 18;
    for (const std::uint64_t len : {std::uint64_t{bytes.size()}, headingsEnd, headingsEnd - 1}) {
        MemorySource source(std::span<const std::uint8_t>(bytes).first(len));
        const auto head = readHistoryHead(source, systemAnsiCodec());
        ASSERT_EQ(bool(head), len >= headingsEnd) << len;
        if (head) {
            EXPECT_EQ(head.value->header, sampleAsStored().header);
            EXPECT_EQ(head.value->headings, sampleAsStored().headings);
        } else {
            EXPECT_EQ(head.damage, "heading 2: the file ends early");
        }
    }
}

// The blocks of `part` are each a beginning of the same block of `whole`.
bool isBeginningOf(const HistoryRecords& part, const HistoryRecords& whole) {
    const auto begins = [](const auto& a, const auto& b) {
        return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
    };
    return part.header == whole.header && begins(part.headings, whole.headings) &&
           begins(part.pageTexts, whole.pageTexts) && begins(part.shapes, whole.shapes) &&
           begins(part.comments, whole.comments) && begins(part.errorLines, whole.errorLines);
}

TEST(HistoryReader, ACutFileKeepsEveryRecordBeforeTheCut) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    const HistoryRecords stored = sampleAsStored();
    for (std::size_t len = 0; len <= bytes.size(); ++len) {
        MemorySource cut(std::span<const std::uint8_t>(bytes).first(len));
        const auto contents = readHistoryContents(cut, systemAnsiCodec());
        ASSERT_EQ(bool(contents), len >= kSampleHeaderBytes) << len;
        if (!contents) continue;
        const HistoryContents& c = *contents.value;
        EXPECT_TRUE(isBeginningOf(c.records, stored)) << len;
        EXPECT_EQ(c.damage.empty(), len == bytes.size()) << len;
        EXPECT_EQ(c.stoppedIn.has_value(), len != bytes.size()) << len;
        EXPECT_TRUE(c.damagedPages.empty()) << len;
    }
}

TEST(HistoryReader, ADamagedPartStopsTheReadingOnlyWhereNothingAfterItCanBeFound) {
    const Bytes sample = writeHistory(sampleRecords(), kSamplePages);
    MemorySource whole(sample);
    const std::vector<PageImageRecord> pages = *readHistoryPages(whole).value;
    const std::size_t page1 = pages[0].bytDataOffset - 18;
    const std::size_t page2 = pages[1].bytDataOffset - 18;
    const std::size_t counts = kSampleHeaderBytes - 12;
    struct Case {
        const char* what;
        std::size_t at;
        std::uint64_t value;
        int size;
        std::size_t pagesFound;
        std::vector<std::size_t> damagedPages;
        std::optional<HistoryBlock> stoppedIn;
        const char* damage;
        std::size_t comments;
        std::size_t errorLines;
    };
    const Case cases[] = {
        {"page 2 longer than the file", page2, std::uint64_t{10000} << 30, 8, 1, {}, HistoryBlock::pages,
         "page 2: its bytes run past the end of the file", 0, 0},
        {"page 1 of no whole number of bytes", page1, 12 * 10000 + 1, 8, 0, {}, HistoryBlock::pages,
         "page 1: its size is not a whole number of bytes", 0, 0},
        {"page 1's array of two dimensions: the rest is read", page1 + 8, 2, 2, 2, {1}, std::nullopt, "", 1, 1},
        {"page 2's array of another length: the rest is read", page2 + 10, 4, 4, 2, {2}, std::nullopt, "", 1, 1},
        {"one comment more than stored", counts + 8, 2, 2, 2, {}, HistoryBlock::comments,
         "comment 2: a text field holds a variant of type 14", 1, 0},
        {"three error lines more than stored", counts + 10, 4, 2, 2, {}, HistoryBlock::errorLines,
         "error line 2: the file ends early", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = sample;
        putLittle(bytes, c.at, c.value, c.size);
        MemorySource source(bytes);
        const auto read = readHistoryContents(source, systemAnsiCodec());
        ASSERT_TRUE(read) << read.damage;
        const HistoryContents& contents = *read.value;
        EXPECT_EQ(contents.pages.size(), c.pagesFound);
        EXPECT_EQ(contents.damagedPages, c.damagedPages);
        EXPECT_EQ(contents.stoppedIn, c.stoppedIn);
        EXPECT_EQ(contents.damage, c.damage);
        EXPECT_EQ(contents.records.headings, sampleAsStored().headings);
        EXPECT_EQ(contents.records.comments.size(), c.comments);
        EXPECT_EQ(contents.records.errorLines.size(), c.errorLines);
        // The reading that keeps nothing of a damaged file says so.
        EXPECT_EQ(bool(readHistoryRecords(source, systemAnsiCodec())), !c.stoppedIn);
    }
}

std::vector<std::pair<HistoryTextKind, std::string>> textsOf(ByteSource& source, std::size_t stopAfter = SIZE_MAX,
                                                             HistoryTextPass* pass = nullptr) {
    std::vector<std::pair<HistoryTextKind, std::string>> seen;
    const auto read = readHistoryTexts(source, systemAnsiCodec(), [&](HistoryTextKind kind, std::string_view text) {
        seen.emplace_back(kind, std::string(text));
        return seen.size() < stopAfter;
    });
    EXPECT_TRUE(read) << read.damage;
    if (pass && read) *pass = *read.value;
    return seen;
}

TEST(HistoryReader, TextPassGivesWhatASearchLooksInAndStopsWhenAsked) {
    const Bytes bytes = writeHistory(sampleRecords(), kSamplePages);
    MemorySource source(bytes);
    using K = HistoryTextKind;
    const std::vector<std::pair<HistoryTextKind, std::string>> expected = {
        {K::place, "C:\\Users\\山田\\Documents\\見積書.xls!売上表"},
        {K::category, "経理"},
        {K::heading, "請求日\t20240315"},
        {K::heading, "備考メモ\t"},
        {K::pageText, "請求日\t2024/03/15\r\n顧客名\t株式会社サンプル\r\n"},
        {K::pageText, "ソ表\t1,234\r\n"},
        {K::shape, "確認済み"},
        {K::comment, "山田:\r\n至急確認"},
    };
    HistoryTextPass pass{};
    EXPECT_EQ(textsOf(source, SIZE_MAX, &pass), expected);
    EXPECT_EQ(pass, HistoryTextPass::finished);
    const auto firstThree = textsOf(source, 3, &pass);
    EXPECT_EQ(firstThree, decltype(expected)(expected.begin(), expected.begin() + 3));
    EXPECT_EQ(pass, HistoryTextPass::stopped);

    // Damage after the texts given ends the pass as damaged.
    MemorySource cut(std::span<const std::uint8_t>(bytes).first(bytes.size() - 40));
    const auto read = readHistoryTexts(cut, systemAnsiCodec(), [](HistoryTextKind, std::string_view) { return true; });
    EXPECT_FALSE(read);
}

TEST(HistoryReader, TextPassReadsNoPageBytes) {
    // Large pages, so that any reading of them would show.
    const std::vector<Bytes> pages(3, Bytes(256 * 1024, 0x5A));
    const Bytes bytes = writeHistory(sampleRecords(), pages);
    MemorySource whole(bytes);
    const std::vector<PageImageRecord> found = *readHistoryPages(whole).value;

    CountingSource source(bytes);
    EXPECT_EQ(textsOf(source).size(), 8u);
    std::uint64_t pageBytesRead = 0;
    for (const PageImageRecord& page : found) {
        pageBytesRead += source.readWithin(page.bytDataOffset, page.bytDataOffset + page.curSize);
    }
    // At most the one window of the header's read that runs on past the headings.
    EXPECT_LE(pageBytesRead, 4096u);
    EXPECT_EQ(source.readWithin(found[1].bytDataOffset, found[1].bytDataOffset + found[1].curSize), 0u);

    // A pass that stops at the first text reads no more than the header's window.
    CountingSource first(bytes);
    EXPECT_EQ(textsOf(first, 1).size(), 1u);
    EXPECT_LE(first.readWithin(0, bytes.size()), 4096u);
}

}  // namespace
}  // namespace kq
