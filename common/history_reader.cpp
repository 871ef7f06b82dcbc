#include "common/history_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <string_view>
#include <utility>

namespace kq {
namespace {

// The least a heading and a page record take (every String empty): the page
// list is not reserved for more pages than the bytes after the header can hold.
constexpr std::uint64_t kLeastHeading = 2 + 2 + 2 + 4;
constexpr std::uint64_t kLeastPage = kHistoryPageRecordOverhead;

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
    HistoryBlock block() const { return block_; }
    std::uint64_t position() const { return pos_; }
    std::uint64_t left() const { return size_ - pos_; }

    // Names what is being read, for the damage reason: the header, or a
    // block's record with its number from 1.
    void at(HistoryBlock block, std::size_t number = 0) {
        block_ = block;
        number_ = number;
    }
    // The next read from the source covers at most `bytes` from here: a page
    // record's fields are read without reading into the page.
    void narrowNextRead(std::uint64_t bytes) { readLimit_ = pos_ + bytes; }

    void fail(std::string_view why) {
        if (!ok()) {
            return;
        }
        static constexpr const char* kNames[] = {"header", "heading", "page", "page text",
                                                 "shape",  "comment", "error line"};
        damage_ = kNames[static_cast<int>(block_)];
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
        if (codec_ == nullptr || n == 0) {
            pos_ += n;
            return {};
        }
        // Decoded where it lies in the window: no copy of the stored bytes.
        const std::uint8_t* bytes = next(n);
        return bytes == nullptr ? std::string() : codec_->fromAnsi({reinterpret_cast<const char*>(bytes), n});
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

    // Copies the next `n` bytes out of the window.
    bool take(void* dest, std::size_t n) {
        const std::uint8_t* bytes = next(n);
        if (bytes != nullptr && n != 0) {
            std::memcpy(dest, bytes, n);
        }
        return bytes != nullptr;
    }

    // The next `n` bytes, through a window of the source, so that a run of
    // small fields costs one read of the file rather than one each; null
    // after damage.
    const std::uint8_t* next(std::size_t n) {
        if (!ok()) {
            return nullptr;
        }
        if (n > left()) {
            fail("the file ends early");
            return nullptr;
        }
        if (pos_ < windowStart_ || pos_ + n > windowStart_ + window_.size()) {
            std::uint64_t len = std::min<std::uint64_t>(std::max(n, chunk_), left());
            if (readLimit_ > pos_) {
                len = std::max<std::uint64_t>(n, std::min(len, readLimit_ - pos_));
            }
            window_.resize(static_cast<std::size_t>(len));
            windowStart_ = pos_;
            if (!source_.readAt(pos_, window_.data(), window_.size())) {
                window_.clear();
                fail("the file cannot be read");
                return nullptr;
            }
        }
        const std::uint8_t* bytes = window_.data() + (pos_ - windowStart_);
        pos_ += n;
        return bytes;
    }

    ByteSource& source_;
    const AnsiCodec* codec_;
    std::uint64_t size_;
    std::size_t chunk_;
    std::uint64_t pos_ = 0;
    std::uint64_t readLimit_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    HistoryBlock block_ = HistoryBlock::header;
    std::size_t number_ = 0;
    std::string damage_;
};

void readHeader(Parser& p, HistoryFileHeader& h) {
    p.at(HistoryBlock::header);
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

// Receives a history's records as they are read, in file order; any answer
// false ends the reading there.
class RecordVisitor {
public:
    virtual bool header(const HistoryFileHeader&) { return true; }
    virtual bool heading(UserHeadingRecord&&) { return true; }
    // `sound`: the record's array descriptor agrees with its size.
    virtual bool page(const PageImageRecord&, bool /*sound*/) { return true; }
    virtual bool pageText(std::string&&) { return true; }
    virtual bool shape(ShapeRecord&&) { return true; }
    virtual bool comment(CommentRecord&&) { return true; }
    virtual bool errorLine(std::string&&) { return true; }
    // A block's first record begins at `position` (where it would, for an empty block).
    virtual void blockAt(HistoryBlock, std::uint64_t /*position*/) {}

protected:
    ~RecordVisitor() = default;
};

// Writers have not agreed on the order of the element count and the lower
// bound: either is taken, as long as one is the size and the other 0.
bool descriptorSound(std::int16_t dimensions, std::uint32_t first, std::uint32_t second, std::uint64_t bytes) {
    return dimensions == 1 && ((first == bytes && second == 0) || (first == 0 && second == bytes));
}

// One page record: its size, its byte array's descriptor, its bytes passed over.
bool readPage(Parser& p, RecordVisitor& visitor) {
    // Only the record's own fields are read from the file, never its bytes.
    p.narrowNextRead(kHistoryPageRecordOverhead);
    const std::int64_t curSize = p.int64();
    const std::int16_t dimensions = p.int16();
    const std::uint32_t first = static_cast<std::uint32_t>(p.int32());
    const std::uint32_t second = static_cast<std::uint32_t>(p.int32());
    if (!p.ok()) {
        return false;
    }
    if (curSize < 0 || curSize % kHistoryCurrencyScale != 0) {
        p.fail("its size is not a whole number of bytes");
        return false;
    }
    const auto bytes = static_cast<std::uint64_t>(curSize / kHistoryCurrencyScale);
    if (bytes > p.left()) {
        p.fail("its bytes run past the end of the file");
        return false;
    }
    const bool sound = descriptorSound(dimensions, first, second, bytes);
    const PageImageRecord page{bytes, p.position()};
    p.skip(bytes);
    return visitor.page(page, sound);
}

// Reads the header and then every block up to and including `last`, record
// by record, handing each to the visitor. Stops at the first damage (kept in
// the parser) or when the visitor says so.
void readRecords(Parser& p, RecordVisitor& visitor, HistoryBlock last) {
    HistoryFileHeader h;
    readHeader(p, h);
    if (!p.ok() || !visitor.header(h)) {
        return;
    }
    const auto each = [&](HistoryBlock block, std::int16_t count, auto readOne) {
        if (block > last) {
            return false;
        }
        visitor.blockAt(block, p.position());
        for (std::int16_t i = 0; i < count; ++i) {
            p.at(block, static_cast<std::size_t>(i) + 1);
            if (!readOne() || !p.ok()) {
                return false;
            }
        }
        return true;
    };
    const bool headingsRead = each(HistoryBlock::headings, h.intTitleCount, [&] {
        UserHeadingRecord r;
        r.strTitle = p.string();
        r.strSource = p.string();
        r.strValue = p.string();
        r.lngCellLinkValueType = p.int32();
        return p.ok() && visitor.heading(std::move(r));
    });
    if (!headingsRead || !each(HistoryBlock::pages, h.intPageCount, [&] { return readPage(p, visitor); })) {
        return;
    }
    const bool pageTextsRead = each(HistoryBlock::pageTexts, h.intTextCount, [&] {
        std::string text = p.string();
        return p.ok() && visitor.pageText(std::move(text));
    });
    const bool shapesRead = pageTextsRead && each(HistoryBlock::shapes, h.intShapeCount, [&] {
        ShapeRecord r;
        r.strName = p.string();
        r.varText = p.variant();
        r.strTopLeftCell = p.string();
        r.strBottomRightCell = p.string();
        return p.ok() && visitor.shape(std::move(r));
    });
    const bool commentsRead = shapesRead && each(HistoryBlock::comments, h.intCommentCount, [&] {
        CommentRecord r;
        r.varText = p.variant();
        r.strCell = p.string();
        r.strAuthor = p.string();
        return p.ok() && visitor.comment(std::move(r));
    });
    if (commentsRead) {
        each(HistoryBlock::errorLines, h.intErrorCount, [&] {
            std::string text = p.string();
            return p.ok() && visitor.errorLine(std::move(text));
        });
    }
}

// Keeps every record it is given.
class Keeper final : public RecordVisitor {
public:
    explicit Keeper(HistoryContents& out) : out_(out) {}
    bool header(const HistoryFileHeader& h) override {
        out_.records.header = h;
        return true;
    }
    bool heading(UserHeadingRecord&& r) override {
        out_.records.headings.push_back(std::move(r));
        return true;
    }
    bool page(const PageImageRecord& page, bool sound) override {
        out_.pages.push_back(page);
        if (!sound) out_.damagedPages.push_back(out_.pages.size());
        return true;
    }
    bool pageText(std::string&& text) override {
        out_.records.pageTexts.push_back({std::move(text)});
        return true;
    }
    bool shape(ShapeRecord&& r) override {
        out_.records.shapes.push_back(std::move(r));
        return true;
    }
    bool comment(CommentRecord&& r) override {
        out_.records.comments.push_back(std::move(r));
        return true;
    }
    bool errorLine(std::string&& text) override {
        out_.records.errorLines.push_back({std::move(text)});
        return true;
    }
    void blockAt(HistoryBlock block, std::uint64_t position) override {
        out_.blockAt[static_cast<std::size_t>(block)] = position;
    }

private:
    HistoryContents& out_;
};

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

HistoryRead<HistoryHead> readHistoryHead(ByteSource& source, const AnsiCodec& codec) {
    return guarded<HistoryHead>([&] {
        class Head final : public RecordVisitor {
        public:
            bool header(const HistoryFileHeader& h) override {
                head.header = h;
                return true;
            }
            bool heading(UserHeadingRecord&& r) override {
                head.headings.push_back(std::move(r));
                return true;
            }
            HistoryHead head;
        } visitor;
        Parser p(source, &codec, kHeaderChunk);
        readRecords(p, visitor, HistoryBlock::headings);
        return finish(p, std::move(visitor.head));
    });
}

HistoryRead<std::vector<PageImageRecord>> readHistoryPages(ByteSource& source) {
    return guarded<std::vector<PageImageRecord>>([&] {
        class Pages final : public RecordVisitor {
        public:
            explicit Pages(Parser& p) : p_(p) {}
            bool header(const HistoryFileHeader& h) override {
                // No page list longer than the file could back.
                if (h.intTitleCount * kLeastHeading + h.intPageCount * kLeastPage > p_.left()) {
                    p_.fail("its record counts promise more than the file holds");
                    return false;
                }
                pages.reserve(static_cast<std::size_t>(h.intPageCount));
                return true;
            }
            bool page(const PageImageRecord& page, bool) override {
                pages.push_back(page);
                return true;
            }
            std::vector<PageImageRecord> pages;

        private:
            Parser& p_;
        };
        Parser p(source, nullptr, kHeaderChunk);
        Pages visitor(p);
        readRecords(p, visitor, HistoryBlock::pages);
        return finish(p, std::move(visitor.pages));
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

HistoryRead<PageRecordRead> readHistoryPageRecord(ByteSource& source, const PageImageRecord& page) {
    return guarded<PageRecordRead>([&] {
        const std::uint64_t size = source.size();
        if (page.bytDataOffset < kHistoryPageRecordOverhead || page.bytDataOffset > size ||
            page.curSize > size - page.bytDataOffset) {
            return damaged<PageRecordRead>("the page lies past the end of the file");
        }
        std::vector<std::uint8_t> record(static_cast<std::size_t>(kHistoryPageRecordOverhead + page.curSize));
        if (!source.readAt(page.bytDataOffset - kHistoryPageRecordOverhead, record.data(), record.size())) {
            return damaged<PageRecordRead>("the page cannot be read");
        }
        const auto little = [&](std::size_t at, int bytes) {
            std::uint64_t v = 0;
            for (int i = 0; i < bytes; ++i) {
                v |= std::uint64_t{record[at + static_cast<std::size_t>(i)]} << (8 * i);
            }
            return v;
        };
        const auto curSize = static_cast<std::int64_t>(little(0, 8));
        if (curSize < 0 || curSize % kHistoryCurrencyScale != 0 ||
            static_cast<std::uint64_t>(curSize / kHistoryCurrencyScale) != page.curSize) {
            return damaged<PageRecordRead>("the page's record gives another size");
        }
        HistoryRead<PageRecordRead> result;
        result.value.emplace();
        result.value->sound = descriptorSound(static_cast<std::int16_t>(little(8, 2)), static_cast<std::uint32_t>(little(10, 4)),
                                              static_cast<std::uint32_t>(little(14, 4)), page.curSize);
        record.erase(record.begin(), record.begin() + kHistoryPageRecordOverhead);
        result.value->bytes = std::move(record);
        return result;
    });
}

HistoryRead<HistoryContents> readHistoryContents(ByteSource& source, const AnsiCodec& codec) {
    return guarded<HistoryContents>([&] {
        Parser p(source, &codec, kRecordsChunk);
        HistoryContents contents;
        Keeper keeper(contents);
        readRecords(p, keeper, HistoryBlock::errorLines);
        if (!p.ok() && p.block() == HistoryBlock::header) {
            return damaged<HistoryContents>(p.damage());
        }
        if (!p.ok()) {
            contents.stoppedIn = p.block();
            contents.damage = p.damage();
        } else {
            contents.end = p.position();
        }
        HistoryRead<HistoryContents> result;
        result.value = std::move(contents);
        return result;
    });
}

HistoryRead<HistoryRecords> readHistoryRecords(ByteSource& source, const AnsiCodec& codec) {
    HistoryRead<HistoryContents> contents = readHistoryContents(source, codec);
    if (!contents) {
        return damaged<HistoryRecords>(std::move(contents.damage));
    }
    if (!contents.value->damage.empty()) {
        return damaged<HistoryRecords>(std::move(contents.value->damage));
    }
    HistoryRead<HistoryRecords> result;
    result.value = std::move(contents.value->records);
    return result;
}

HistoryRead<HistoryTextPass> readHistoryTexts(ByteSource& source, const AnsiCodec& codec,
                                              const std::function<bool(HistoryTextKind, std::string_view)>& visit) {
    return guarded<HistoryTextPass>([&] {
        class Texts final : public RecordVisitor {
        public:
            explicit Texts(const std::function<bool(HistoryTextKind, std::string_view)>& visit) : visit_(visit) {}
            bool header(const HistoryFileHeader& h) override {
                return give(HistoryTextKind::place, h.strBookPath + "\\" + h.strBookName + "!" + h.strSheetName) &&
                       give(HistoryTextKind::category, h.strCategory);
            }
            bool heading(UserHeadingRecord&& r) override {
                return give(HistoryTextKind::heading, r.strTitle + "\t" + r.strValue);
            }
            bool pageText(std::string&& text) override { return give(HistoryTextKind::pageText, text); }
            bool shape(ShapeRecord&& r) override { return give(HistoryTextKind::shape, r.varText); }
            bool comment(CommentRecord&& r) override { return give(HistoryTextKind::comment, r.varText); }
            bool stopped = false;

        private:
            bool give(HistoryTextKind kind, std::string_view text) {
                stopped = !visit_(kind, text);
                return !stopped;
            }
            const std::function<bool(HistoryTextKind, std::string_view)>& visit_;
        } visitor(visit);
        // The header's window is small: what follows the texts may be a page.
        Parser p(source, &codec, kHeaderChunk);
        readRecords(p, visitor, HistoryBlock::comments);
        return finish(p, visitor.stopped ? HistoryTextPass::stopped : HistoryTextPass::finished);
    });
}

}  // namespace kq
