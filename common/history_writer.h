#pragma once
// Writes a history file in one pass: header, headings, pages, page texts,
// shapes, comments, error lines. Everything but the page images is converted
// and laid out before the first byte goes out, so what the format cannot hold
// is known in advance; the pages are fetched one at a time while writing.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/byte_io.h"
#include "common/history_file.h"
#include "common/text_codec.h"

namespace kq {

// Gives the page images one at a time, so that a history of many metafile
// pages never holds them all in memory.
class HistoryPageSource {
public:
    virtual ~HistoryPageSource() = default;
    // Replaces `bytes` with the whole metafile file of page `index` (from 0);
    // false when it cannot be had.
    virtual bool readPage(std::size_t index, std::vector<std::uint8_t>& bytes) = 0;
};

// Something the writer left out because the format cannot hold it: a String
// longer than its 16-bit count (cut at a character of the code page), or a
// block of more records than its Integer count (the records past the limit
// dropped, the count in the header agreeing with what was written).
struct HistoryCut {
    HistoryBlock block = HistoryBlock::header;
    std::size_t record = 0;   // index in its block (from 0); 0 for the header and for a dropped block tail
    std::string_view field;   // name of the String field cut short, such as "strText"; empty for dropped records
    std::size_t given = 0;    // bytes in the code page, or records given
    std::size_t kept = 0;     // bytes, or records, written

    friend bool operator==(const HistoryCut&, const HistoryCut&) = default;
};

enum class HistoryWriteStatus {
    written,
    pageFailed,  // the page source failed, or gave a page too large to store
    sinkFailed,
};

class HistoryWriter {
public:
    // Takes the texts of `records` into the code page. The header's count
    // fields are ignored: the writer sets them from what it writes. Every
    // comment's line ends become CR LF, and "|" and "/" are removed from the
    // headings' titles, sources and values, as the format promises its readers.
    // `pageCount` pages will be asked of the page source.
    HistoryWriter(const HistoryRecords& records, std::size_t pageCount, const AnsiCodec& codec);

    // What does not fit, known before writing, so that the recorder can say so
    // in an error line of the same file (by making a new writer).
    const std::vector<HistoryCut>& cuts() const { return cuts_; }

    // Writes the whole file. A failure leaves the sink with a file that ends
    // before its announced records, which readers report as damaged.
    HistoryWriteStatus write(HistoryPageSource& pages, ByteSink& sink) const;

private:
    std::vector<std::uint8_t> beforePages_;  // header and headings
    std::vector<std::uint8_t> afterPages_;   // page texts, shapes, comments, error lines
    std::size_t pageCount_ = 0;
    std::vector<HistoryCut> cuts_;
};

}  // namespace kq
