#include "common/history_writer.h"

#include <bit>
#include <limits>
#include <string>

namespace kq {
namespace {

void appendLittle(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// Appends fields in the stored encoding, noting every String it has to cut.
class Encoder {
public:
    Encoder(std::vector<std::uint8_t>& out, const AnsiCodec& codec, std::vector<HistoryCut>& cuts)
        : out_(out), codec_(codec), cuts_(cuts) {}

    // Names the record that the following Strings belong to, for the cut report.
    void at(HistoryBlock block, std::size_t record) {
        block_ = block;
        record_ = record;
    }

    void int16(std::int16_t v) { little(static_cast<std::uint16_t>(v), 2); }
    void int32(std::int32_t v) { little(static_cast<std::uint32_t>(v), 4); }
    void float64(double v) { little(std::bit_cast<std::uint64_t>(v), 8); }
    void boolean(bool v) { int16(v ? -1 : 0); }

    void string(std::string_view utf8, std::string_view field) {
        const std::string ansi = codec_.toAnsi(utf8);
        std::string_view kept = ansi;
        if (ansi.size() > kHistoryMaxStringBytes) {
            kept = cutAtCharacter(ansi, kHistoryMaxStringBytes, codec_);
            cuts_.push_back({block_, record_, field, ansi.size(), kept.size()});
        }
        little(kept.size(), 2);
        out_.insert(out_.end(), kept.begin(), kept.end());
    }

    void variantString(std::string_view utf8, std::string_view field) {
        little(kHistoryVariantString, 2);
        string(utf8, field);
    }

private:
    void little(std::uint64_t v, int bytes) { appendLittle(out_, v, bytes); }

    std::vector<std::uint8_t>& out_;
    const AnsiCodec& codec_;
    std::vector<HistoryCut>& cuts_;
    HistoryBlock block_ = HistoryBlock::header;
    std::size_t record_ = 0;
};

// The number of records of a block that the file can announce; notes the cut
// when there are more.
std::size_t capCount(std::size_t given, HistoryBlock block, std::vector<HistoryCut>& cuts) {
    if (given <= kHistoryMaxRecords) {
        return given;
    }
    cuts.push_back({block, 0, {}, given, kHistoryMaxRecords});
    return kHistoryMaxRecords;
}

std::string withoutSeparators(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '|' && c != '/') {
            out += c;
        }
    }
    return out;
}

// A comment typed in the host may end its lines with LF alone; stored comments
// end every line with CR LF, and an existing CR LF stays one.
std::string crlfLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF that follows writes the pair
        }
        if (text[i] == '\n') {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

}  // namespace

HistoryWriter::HistoryWriter(const HistoryRecords& records, std::size_t pageCount, const AnsiCodec& codec) {
    const std::size_t titles = capCount(records.headings.size(), HistoryBlock::headings, cuts_);
    pageCount_ = capCount(pageCount, HistoryBlock::pages, cuts_);
    const std::size_t texts = capCount(records.pageTexts.size(), HistoryBlock::pageTexts, cuts_);
    const std::size_t shapes = capCount(records.shapes.size(), HistoryBlock::shapes, cuts_);
    const std::size_t comments = capCount(records.comments.size(), HistoryBlock::comments, cuts_);
    const std::size_t errors = capCount(records.errorLines.size(), HistoryBlock::errorLines, cuts_);

    Encoder e(beforePages_, codec, cuts_);
    const HistoryFileHeader& h = records.header;
    e.at(HistoryBlock::header, 0);
    e.string(h.strVersion, "strVersion");
    e.float64(h.dblExcelVersion);
    e.int32(h.lngOSVersion);
    e.string(h.strCategory, "strCategory");
    e.string(h.strSheetId, "strSheetId");
    e.string(h.strVersionId, "strVersionId");
    e.string(h.strHistoryId, "strHistoryId");
    e.string(h.strSaveRange, "strSaveRange");
    e.string(h.strBookPath, "strBookPath");
    e.string(h.strBookName, "strBookName");
    e.string(h.strSheetName, "strSheetName");
    e.string(h.strExcelUserName, "strExcelUserName");
    e.float64(h.datPrintDate);
    e.string(h.strPrinterName, "strPrinterName");
    e.string(h.strLeftHeader, "strLeftHeader");
    e.string(h.strCenterHeader, "strCenterHeader");
    e.string(h.strRightHeader, "strRightHeader");
    e.string(h.strLeftFooter, "strLeftFooter");
    e.string(h.strCenterFooter, "strCenterFooter");
    e.string(h.strRightFooter, "strRightFooter");
    e.string(h.strPrintTitleRows, "strPrintTitleRows");
    e.string(h.strPrintTitleColumns, "strPrintTitleColumns");
    e.float64(h.dblLeftMargin);
    e.float64(h.dblRightMargin);
    e.float64(h.dblTopMargin);
    e.float64(h.dblBottomMargin);
    e.float64(h.dblHeaderMargin);
    e.float64(h.dblFooterMargin);
    e.boolean(h.blnCenterHorizontally);
    e.boolean(h.blnCenterVertically);
    e.int32(h.lngOrientation);
    e.int32(h.lngPaperSize);
    e.int32(h.lngFirstPageNumber);
    e.int32(h.lngOrder);
    e.int16(static_cast<std::int16_t>(titles));
    e.int16(static_cast<std::int16_t>(pageCount_));
    e.int16(static_cast<std::int16_t>(texts));
    e.int16(static_cast<std::int16_t>(shapes));
    e.int16(static_cast<std::int16_t>(comments));
    e.int16(static_cast<std::int16_t>(errors));

    for (std::size_t i = 0; i < titles; ++i) {
        const UserHeadingRecord& r = records.headings[i];
        e.at(HistoryBlock::headings, i);
        e.string(withoutSeparators(r.strTitle), "strTitle");
        e.string(withoutSeparators(r.strSource), "strSource");
        e.string(withoutSeparators(r.strValue), "strValue");
        e.int32(r.lngCellLinkValueType);
    }

    Encoder t(afterPages_, codec, cuts_);
    for (std::size_t i = 0; i < texts; ++i) {
        t.at(HistoryBlock::pageTexts, i);
        t.string(records.pageTexts[i].strText, "strText");
    }
    for (std::size_t i = 0; i < shapes; ++i) {
        const ShapeRecord& r = records.shapes[i];
        t.at(HistoryBlock::shapes, i);
        t.string(r.strName, "strName");
        t.variantString(r.varText, "varText");
        t.string(r.strTopLeftCell, "strTopLeftCell");
        t.string(r.strBottomRightCell, "strBottomRightCell");
    }
    for (std::size_t i = 0; i < comments; ++i) {
        const CommentRecord& r = records.comments[i];
        t.at(HistoryBlock::comments, i);
        t.variantString(crlfLines(r.varText), "varText");
        t.string(r.strCell, "strCell");
        t.string(r.strAuthor, "strAuthor");
    }
    for (std::size_t i = 0; i < errors; ++i) {
        t.at(HistoryBlock::errorLines, i);
        t.string(records.errorLines[i].strText, "strText");
    }
}

HistoryWriteStatus HistoryWriter::write(HistoryPageSource& pages, ByteSink& sink) const {
    if (!sink.write(beforePages_.data(), beforePages_.size())) {
        return HistoryWriteStatus::sinkFailed;
    }
    std::vector<std::uint8_t> page;
    std::vector<std::uint8_t> prefix;
    for (std::size_t i = 0; i < pageCount_; ++i) {
        page.clear();
        // The byte array's element count is a 32-bit Long.
        if (!pages.readPage(i, page) || page.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            return HistoryWriteStatus::pageFailed;
        }
        const std::uint64_t n = page.size();
        prefix.clear();
        appendLittle(prefix, n * kHistoryCurrencyScale, 8);  // curSize
        appendLittle(prefix, 1, 2);                          // dimensions
        appendLittle(prefix, n, 4);                          // element count
        appendLittle(prefix, 0, 4);                          // lower bound
        if (!sink.write(prefix.data(), prefix.size()) || !sink.write(page.data(), page.size())) {
            return HistoryWriteStatus::sinkFailed;
        }
    }
    if (!sink.write(afterPages_.data(), afterPages_.size())) {
        return HistoryWriteStatus::sinkFailed;
    }
    return HistoryWriteStatus::written;
}

}  // namespace kq
