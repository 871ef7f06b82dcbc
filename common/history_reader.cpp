#include "common/history_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <string_view>

namespace kq {
namespace {

// The least a record of each block takes: every String empty, every Variant
// Empty. Counts are held against these before anything is allocated for them.
constexpr std::uint64_t kLeastHeading = 2 + 2 + 2 + 4;
constexpr std::uint64_t kLeastPage = kHistoryPageRecordOverhead;
constexpr std::uint64_t kLeastTextLine = 2;
constexpr std::uint64_t kLeastShape = 2 + 2 + 2 + 2;
constexpr std::uint64_t kLeastComment = 2 + 2 + 2;

// A header is rarely more than a few hundred bytes; the text blocks can hold
// tens of kilobytes per record.
constexpr std::size_t kHeaderChunk = 4096;
constexpr std::size_t kRecordsChunk = 64 * 1024;

// Reads fields one after another from the source. The first damage is kept
// and every later read does nothing and gives zero or empty, so that a record
// can be read whole and checked once.
class Parser {
public:
    // Without a codec, Strings are skipped rather than decoded.
    Parser(ByteSource& source, const AnsiCodec* codec, std::size_t chunk)
        : source_(source), codec_(codec), size_(source.size()), chunk_(chunk) {}

    bool ok() const { return damage_.empty(); }
    const std::string& damage() const { return damage_; }
    std::uint64_t position() const { return pos_; }
    std::uint64_t left() const { return size_ - pos_; }

    // Names what is being read, for the damage reason: "header", or a block's
    // record with its number from 1.
    void at(const char* what, std::size_t number = 0) {
        what_ = what;
        number_ = number;
    }

    void fail(std::string_view why) {
        if (!ok()) {
            return;
        }
        damage_ = what_;
        if (number_ != 0) {
            damage_ += ' ' + std::to_string(number_);
        }
        damage_.append(": ").append(why);
    }

    std::int16_t int16() { return static_cast<std::int16_t>(little(2)); }
    std::int32_t int32() { return static_cast<std::int32_t>(little(4)); }
    std::int64_t int64() { return static_cast<std::int64_t>(little(8)); }
    double float64() { return std::bit_cast<double>(little(8)); }
    // Files written elsewhere may hold 1 for true; any nonzero value is.
    bool boolean() { return little(2) != 0; }

    std::string string() {
        const std::size_t n = static_cast<std::size_t>(little(2));
        if (!ok()) {
            return {};
        }
        if (n > left()) {
            fail("a text runs past the end of the file");
            return {};
        }
        if (codec_ == nullptr) {
            pos_ += n;
            return {};
        }
        std::string ansi(n, '\0');
        take(ansi.data(), n);
        return codec_->fromAnsi(ansi);
    }

    std::string variant() {
        const std::uint64_t type = little(2);
        if (!ok()) {
            return {};
        }
        if (type == kHistoryVariantString) {
            return string();
        }
        if (type != kHistoryVariantEmpty && type != kHistoryVariantNull) {
            fail("a text field holds a variant of type " + std::to_string(type));
        }
        return {};
    }

    void skip(std::uint64_t n) {
        if (!ok()) {
            return;
        }
        if (n > left()) {
            fail("the file ends early");
            return;
        }
        pos_ += n;
    }

private:
    std::uint64_t little(int bytes) {
        std::uint8_t b[8] = {};
        if (!take(b, static_cast<std::size_t>(bytes))) {
            return 0;
        }
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            v |= std::uint64_t{b[i]} << (8 * i);
        }
        return v;
    }

    // Copies the next `n` bytes through a window of the source, so that a run
    // of small fields costs one read of the file rather than one each.
    bool take(void* dest, std::size_t n) {
        if (!ok()) {
            return false;
        }
        if (n > left()) {
            fail("the file ends early");
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (pos_ < windowStart_ || pos_ + n > windowStart_ + window_.size()) {
            const auto len = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, chunk_), left()));
            window_.resize(len);
            windowStart_ = pos_;
            if (!source_.readAt(pos_, window_.data(), len)) {
                window_.clear();
                fail("the file cannot be read");
                return false;
            }
        }
        std::memcpy(dest, window_.data() + (pos_ - windowStart_), n);
        pos_ += n;
        return true;
    }

    ByteSource& source_;
    const AnsiCodec* codec_;
    std::uint64_t size_;
    std::size_t chunk_;
    std::uint64_t pos_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    const char* what_ = "header";
    std::size_t number_ = 0;
    std::string damage_;
};

void readHeader(Parser& p, HistoryFileHeader& h) {
    p.at("header");
    h.strVersion = p.string();
    h.dblExcelVersion = p.float64();
    h.lngOSVersion = p.int32();
    h.strCategory = p.string();
    h.strSheetId = p.string();
    h.strVersionId = p.string();
    h.strHistoryId = p.string();
    h.strSaveRange = p.string();
    h.strBookPath = p.string();
    h.strBookName = p.string();
    h.strSheetName = p.string();
    h.strExcelUserName = p.string();
    h.datPrintDate = p.float64();
    h.strPrinterName = p.string();
    h.strLeftHeader = p.string();
    h.strCenterHeader = p.string();
    h.strRightHeader = p.string();
    h.strLeftFooter = p.string();
    h.strCenterFooter = p.string();
    h.strRightFooter = p.string();
    h.strPrintTitleRows = p.string();
    h.strPrintTitleColumns = p.string();
    h.dblLeftMargin = p.float64();
    h.dblRightMargin = p.float64();
    h.dblTopMargin = p.float64();
    h.dblBottomMargin = p.float64();
    h.dblHeaderMargin = p.float64();
    h.dblFooterMargin = p.float64();
    h.blnCenterHorizontally = p.boolean();
    h.blnCenterVertically = p.boolean();
    h.lngOrientation = p.int32();
    h.lngPaperSize = p.int32();
    h.lngFirstPageNumber = p.int32();
    h.lngOrder = p.int32();
    h.intTitleCount = p.int16();
    h.intPageCount = p.int16();
    h.intTextCount = p.int16();
    h.intShapeCount = p.int16();
    h.intCommentCount = p.int16();
    h.intErrorCount = p.int16();
    if (h.intTitleCount < 0 || h.intPageCount < 0 || h.intTextCount < 0 || h.intShapeCount < 0 ||
        h.intCommentCount < 0 || h.intErrorCount < 0) {
        p.fail("a record count is negative");
    }
}

// Holds the counts of the blocks about to be read against the bytes after the
// header, so that no block is sized by a count the file cannot back. The page
// walk stops after the pages and asks only for what lies before them.
void checkCounts(Parser& p, const HistoryFileHeader& h, bool textBlocksToo) {
    std::uint64_t least = h.intTitleCount * kLeastHeading + h.intPageCount * kLeastPage;
    if (textBlocksToo) {
        least += (h.intTextCount + h.intErrorCount) * kLeastTextLine + h.intShapeCount * kLeastShape +
                 h.intCommentCount * kLeastComment;
    }
    if (p.ok() && least > p.left()) {
        p.fail("its record counts promise more than the file holds");
    }
}

void readHeadings(Parser& p, std::size_t count, std::vector<UserHeadingRecord>* out) {
    for (std::size_t i = 0; i < count && p.ok(); ++i) {
        p.at("heading", i + 1);
        UserHeadingRecord r;
        r.strTitle = p.string();
        r.strSource = p.string();
        r.strValue = p.string();
        r.lngCellLinkValueType = p.int32();
        if (out != nullptr) {
            out->push_back(std::move(r));
        }
    }
}

void readPages(Parser& p, std::size_t count, std::vector<PageImageRecord>* out) {
    for (std::size_t i = 0; i < count && p.ok(); ++i) {
        p.at("page", i + 1);
        const std::int64_t curSize = p.int64();
        if (!p.ok()) {
            break;
        }
        if (curSize < 0 || curSize % kHistoryCurrencyScale != 0) {
            p.fail("its size is not a whole number of bytes");
            break;
        }
        // The byte array's descriptor is not needed: curSize gives the length,
        // and writers have not agreed on the order of its two values.
        p.skip(kHistoryPageRecordOverhead - 8);
        const auto bytes = static_cast<std::uint64_t>(curSize / kHistoryCurrencyScale);
        if (p.ok() && bytes > p.left()) {
            p.fail("its bytes run past the end of the file");
            break;
        }
        if (out != nullptr) {
            out->push_back({bytes, p.position()});
        }
        p.skip(bytes);
    }
}

void readTextLines(Parser& p, const char* what, std::size_t count, std::vector<TextLineRecord>& out) {
    for (std::size_t i = 0; i < count && p.ok(); ++i) {
        p.at(what, i + 1);
        out.push_back({p.string()});
    }
}

void readShapes(Parser& p, std::size_t count, std::vector<ShapeRecord>& out) {
    for (std::size_t i = 0; i < count && p.ok(); ++i) {
        p.at("shape", i + 1);
        ShapeRecord r;
        r.strName = p.string();
        r.varText = p.variant();
        r.strTopLeftCell = p.string();
        r.strBottomRightCell = p.string();
        out.push_back(std::move(r));
    }
}

void readComments(Parser& p, std::size_t count, std::vector<CommentRecord>& out) {
    for (std::size_t i = 0; i < count && p.ok(); ++i) {
        p.at("comment", i + 1);
        CommentRecord r;
        r.varText = p.variant();
        r.strCell = p.string();
        r.strAuthor = p.string();
        out.push_back(std::move(r));
    }
}

template <class T>
HistoryRead<T> damaged(std::string reason) {
    HistoryRead<T> result;
    result.damage = std::move(reason);
    return result;
}

template <class T>
HistoryRead<T> finish(const Parser& p, T&& value) {
    if (!p.ok()) {
        return damaged<T>(p.damage());
    }
    HistoryRead<T> result;
    result.value = std::forward<T>(value);
    return result;
}

// No exception leaves a reader: a codec or an allocation that fails makes the
// file unreadable, as damage does.
template <class T, class Read>
HistoryRead<T> guarded(Read read) {
    try {
        return read();
    } catch (const std::exception& e) {
        return damaged<T>(std::string("cannot be read: ") + e.what());
    }
}

}  // namespace

HistoryRead<HistoryFileHeader> readHistoryHeader(ByteSource& source, const AnsiCodec& codec) {
    return guarded<HistoryFileHeader>([&] {
        Parser p(source, &codec, kHeaderChunk);
        HistoryFileHeader header;
        readHeader(p, header);
        return finish(p, std::move(header));
    });
}

HistoryRead<std::vector<PageImageRecord>> readHistoryPages(ByteSource& source) {
    return guarded<std::vector<PageImageRecord>>([&] {
        Parser p(source, nullptr, kHeaderChunk);
        HistoryFileHeader header;
        readHeader(p, header);
        checkCounts(p, header, false);
        readHeadings(p, static_cast<std::size_t>(header.intTitleCount), nullptr);
        std::vector<PageImageRecord> pages;
        if (p.ok()) {
            pages.reserve(static_cast<std::size_t>(header.intPageCount));
        }
        readPages(p, static_cast<std::size_t>(header.intPageCount), &pages);
        return finish(p, std::move(pages));
    });
}

HistoryRead<std::vector<std::uint8_t>> readHistoryPage(ByteSource& source, const PageImageRecord& page) {
    using Bytes = std::vector<std::uint8_t>;
    return guarded<Bytes>([&] {
        const std::uint64_t size = source.size();
        if (page.bytDataOffset > size || page.curSize > size - page.bytDataOffset) {
            return damaged<Bytes>("the page lies past the end of the file");
        }
        HistoryRead<Bytes> result;
        result.value.emplace(static_cast<std::size_t>(page.curSize));
        if (page.curSize != 0 && !source.readAt(page.bytDataOffset, result.value->data(), result.value->size())) {
            return damaged<Bytes>("the page cannot be read");
        }
        return result;
    });
}

HistoryRead<HistoryRecords> readHistoryRecords(ByteSource& source, const AnsiCodec& codec) {
    return guarded<HistoryRecords>([&] {
        Parser p(source, &codec, kRecordsChunk);
        HistoryRecords records;
        const HistoryFileHeader& h = records.header;
        readHeader(p, records.header);
        checkCounts(p, h, true);
        if (p.ok()) {
            records.headings.reserve(static_cast<std::size_t>(h.intTitleCount));
            records.pageTexts.reserve(static_cast<std::size_t>(h.intTextCount));
            records.shapes.reserve(static_cast<std::size_t>(h.intShapeCount));
            records.comments.reserve(static_cast<std::size_t>(h.intCommentCount));
            records.errorLines.reserve(static_cast<std::size_t>(h.intErrorCount));
        }
        readHeadings(p, static_cast<std::size_t>(h.intTitleCount), &records.headings);
        readPages(p, static_cast<std::size_t>(h.intPageCount), nullptr);
        readTextLines(p, "page text", static_cast<std::size_t>(h.intTextCount), records.pageTexts);
        readShapes(p, static_cast<std::size_t>(h.intShapeCount), records.shapes);
        readComments(p, static_cast<std::size_t>(h.intCommentCount), records.comments);
        readTextLines(p, "error line", static_cast<std::size_t>(h.intErrorCount), records.errorLines);
        return finish(p, std::move(records));
    });
}

}  // namespace kq
