// Costs of the history file format on fixed generated histories: what the
// recorder pays per page written, and what the viewer pays per file for its
// folder scan (header only), for finding pages, for showing a page and for
// searching (all text blocks). Files are held in memory, so these are the
// format's own costs, without the disk.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/history_reader.h"
#include "common/history_writer.h"

namespace {

using namespace kq;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Fixed pseudo-random bytes: a metafile compresses poorly and has no pattern
// the code could profit from.
Bytes noise(std::size_t n, std::uint32_t seed) {
    Bytes out(n);
    for (auto& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return out;
}

// A page text of about `bytes` bytes in the code page: rows of cells, TAB
// between them, CR LF after each, Japanese and ASCII mixed.
std::string pageText(std::size_t bytes, int seed) {
    std::string out;
    for (int row = 0; out.size() < bytes * 3 / 2; ++row) {  // UTF-8 kana take 3 bytes, 2 in CP932
        out += "売上" + std::to_string(row + seed) + "\t株式会社サンプル\t" + std::to_string(row * 1234 + seed) +
               "\t備考\r\n";
    }
    return out;
}

HistoryRecords typicalRecords(std::size_t pages) {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.02.0.03";
    h.dblExcelVersion = 16;
    h.strCategory = "経理";
    h.strSheetId = "20240315093000QRS";
    h.strVersionId = "20240301080000KLM";
    h.strHistoryId = "20240315101530XYZ";
    h.strBookPath = "C:\\Users\\山田\\Documents\\見積";
    h.strBookName = "見積書.xls";
    h.strSheetName = "売上表";
    h.strExcelUserName = "山田 太郎";
    h.datPrintDate = 45366.4274305556;
    h.strPrinterName = "プリンタ 2 on Ne01:";
    h.strCenterHeader = "&B売上表&B";
    h.strCenterFooter = "&P / &N";
    h.strPrintTitleRows = "$1:$2";
    for (int i = 0; i < 5; ++i) {
        r.headings.push_back({"見出し" + std::to_string(i), "$B$" + std::to_string(i + 2), "値" + std::to_string(i), 0});
    }
    for (std::size_t i = 0; i < pages * 2; ++i) {
        r.pageTexts.push_back({pageText(2048, static_cast<int>(i))});
    }
    for (int i = 0; i < 3; ++i) {
        r.shapes.push_back({"四角形 " + std::to_string(i), "確認済み", "$C$3", "$E$5"});
        r.comments.push_back({"山田:\n至急確認", "$B$" + std::to_string(i + 2), "山田 太郎"});
    }
    r.errorLines = {{"err:#REF. 担当"}, {"err:not find selection. 見積書.xls"}};
    return r;
}

class FixedPages final : public HistoryPageSource {
public:
    FixedPages(std::size_t count, std::size_t bytes) {
        for (std::size_t i = 0; i < count; ++i) {
            pages_.push_back(noise(bytes, static_cast<std::uint32_t>(i)));
        }
    }
    bool readPage(std::size_t index, Bytes& bytes) override {
        bytes = pages_[index];
        return true;
    }
    std::size_t count() const { return pages_.size(); }

private:
    std::vector<Bytes> pages_;
};

class CountingSink final : public ByteSink {
public:
    bool write(const void*, std::size_t n) override {
        bytes += n;
        return true;
    }
    std::uint64_t bytes = 0;
};

std::uint64_t g_keep = 0;  // results folded in here so the work is not optimised away

// Runs `work` until about half a second has passed; the mean time per call.
template <class Work>
double secondsPerCall(Work work) {
    work();  // warm up
    long calls = 0;
    const auto start = Clock::now();
    std::chrono::duration<double> spent{};
    do {
        work();
        ++calls;
        spent = Clock::now() - start;
    } while (spent.count() < 0.5);
    return spent.count() / static_cast<double>(calls);
}

void report(const char* what, double seconds, const char* per) {
    if (seconds >= 1e-3) {
        std::printf("%-46s %10.3f ms per %s\n", what, seconds * 1e3, per);
    } else {
        std::printf("%-46s %10.3f us per %s\n", what, seconds * 1e6, per);
    }
}

}  // namespace

int main() {
    const AnsiCodec& codec = systemAnsiCodec();
    std::printf("history file format, in memory\n");

    for (const std::size_t pageBytes : {16 * 1024, 64 * 1024, 256 * 1024}) {
        const std::size_t pageCount = 99;
        const HistoryRecords records = typicalRecords(pageCount);
        FixedPages pages(pageCount, pageBytes);
        const HistoryWriter writer(records, pageCount, codec);
        const double whole = secondsPerCall([&] {
            CountingSink sink;
            writer.write(pages, sink);
            g_keep += sink.bytes;
        });
        char label[80];
        std::snprintf(label, sizeof label, "write, 99 pages of %zu KB", pageBytes / 1024);
        report(label, whole / static_cast<double>(pageCount), "page");
    }

    const std::size_t pageCount = 20;
    const HistoryRecords records = typicalRecords(pageCount);
    report("convert and lay out texts (20 pages, 40 texts)", secondsPerCall([&] {
               const HistoryWriter writer(records, pageCount, codec);
               g_keep += writer.cuts().size();
           }),
           "file");

    FixedPages pages(pageCount, 64 * 1024);
    MemorySink sink;
    HistoryWriter(records, pageCount, codec).write(pages, sink);
    MemorySource source(sink.bytes);
    std::printf("file of 20 pages of 64 KB and 40 page texts: %zu bytes\n", sink.bytes.size());

    report("header only", secondsPerCall([&] {
               g_keep += readHistoryHeader(source, codec).value->strSheetName.size();
           }),
           "file");
    report("page walk", secondsPerCall([&] { g_keep += readHistoryPages(source).value->size(); }), "file");
    const std::vector<PageImageRecord> walk = *readHistoryPages(source).value;
    report("one page's bytes (64 KB)", secondsPerCall([&] {
               g_keep += readHistoryPage(source, walk[7]).value->size();
           }),
           "page");
    report("all records but page bytes", secondsPerCall([&] {
               g_keep += readHistoryRecords(source, codec).value->pageTexts.size();
           }),
           "file");

    return g_keep == 0 ? 1 : 0;
}
