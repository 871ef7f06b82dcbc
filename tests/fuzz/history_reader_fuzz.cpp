// Drives every history reader entry point with arbitrary bytes. Beyond the
// sanitizers' findings, the entry points must agree with one another: a file
// whose records read must also give its header and every page, the reading
// that keeps what it can must keep the same records, and the text pass must
// give every text a search looks in.

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <span>

#include "common/history_reader.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Equal headers, doubles compared by their bits (the input may hold NaNs).
bool sameHeader(kq::HistoryFileHeader a, kq::HistoryFileHeader b) {
    using H = kq::HistoryFileHeader;
    for (double H::*field : {&H::dblExcelVersion, &H::datPrintDate, &H::dblLeftMargin, &H::dblRightMargin,
                             &H::dblTopMargin, &H::dblBottomMargin, &H::dblHeaderMargin, &H::dblFooterMargin}) {
        if (std::bit_cast<std::uint64_t>(a.*field) != std::bit_cast<std::uint64_t>(b.*field)) {
            return false;
        }
        a.*field = b.*field = 0;
    }
    return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    MemorySource source(std::span<const std::uint8_t>(data, size));
    const AnsiCodec& codec = systemAnsiCodec();

    const auto header = readHistoryHeader(source, codec);
    check(header || !header.damage.empty());
    const auto pages = readHistoryPages(source);
    check(pages || !pages.damage.empty());
    const auto records = readHistoryRecords(source, codec);
    check(records || !records.damage.empty());

    if (pages) {
        check(header && pages.value->size() == static_cast<std::size_t>(header.value->intPageCount));
        for (const PageImageRecord& page : *pages.value) {
            const auto bytes = readHistoryPage(source, page);
            check(bytes && bytes.value->size() == page.curSize);
        }
    }
    if (records) {
        check(pages && header && sameHeader(records.value->header, *header.value));
    }
    // The readers that keep what they can, and the text pass, agree with the
    // strict ones: the same header, the same records where the whole file reads.
    const auto head = readHistoryHead(source, codec);
    check(head || !head.damage.empty());
    if (head) {
        check(header && sameHeader(head.value->header, *header.value));
    }
    const auto contents = readHistoryContents(source, codec);
    check(bool(contents) == bool(header));
    if (contents) {
        const HistoryContents& c = *contents.value;
        check(c.damage.empty() == !c.stoppedIn.has_value());
        check(c.pages.size() <= static_cast<std::size_t>(c.records.header.intPageCount));
        for (const std::size_t page : c.damagedPages) check(page >= 1 && page <= c.pages.size());
        check(bool(records) == c.damage.empty());
        // Read again one by one, each page's record agrees with the walk.
        for (std::size_t i = 0; i < c.pages.size(); ++i) {
            const auto record = readHistoryPageRecord(source, c.pages[i]);
            const bool damaged = std::find(c.damagedPages.begin(), c.damagedPages.end(), i + 1) != c.damagedPages.end();
            check(record && record.value->bytes.size() == c.pages[i].curSize && record.value->sound != damaged);
        }
        if (!c.stoppedIn) check(c.end <= size && c.blockAt[static_cast<std::size_t>(HistoryBlock::comments)] <= c.end);
        if (records) {
            check(c.records.headings == records.value->headings && c.records.comments == records.value->comments &&
                  c.records.errorLines == records.value->errorLines);
        }
    }
    std::size_t texts = 0;
    const auto pass = readHistoryTexts(source, codec, [&](HistoryTextKind, std::string_view) {
        ++texts;
        return texts < size % 7 + 1;  // stop somewhere, depending on the input
    });
    check(pass || !pass.damage.empty());
    if (records && pass && *pass.value == HistoryTextPass::finished) {
        const HistoryRecords& r = *records.value;
        check(texts == 2 + r.headings.size() + r.pageTexts.size() + r.shapes.size() + r.comments.size());
    }
    // A page record that does not come from the walk: offsets and sizes taken
    // from the input itself.
    if (size >= 16) {
        PageImageRecord forged;
        std::memcpy(&forged.curSize, data, 8);
        std::memcpy(&forged.bytDataOffset, data + 8, 8);
        forged.curSize %= size + 2;
        const auto bytes = readHistoryPage(source, forged);
        check(bool(bytes) == (forged.bytDataOffset <= size && forged.curSize <= size - forged.bytDataOffset));
        const auto record = readHistoryPageRecord(source, forged);
        check(!record || (bytes && record.value->bytes == *bytes.value));
    }
    return 0;
}
