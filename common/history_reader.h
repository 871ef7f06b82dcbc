#pragma once
// Reads history files. The viewer reads every file's header (and headings) at
// each folder scan, a page's bytes when it shows the page, the texts when it
// searches, and everything but the page bytes when it shows a history's
// comments and errors, its properties or exports it; each has its own entry
// point so that none reads more than it needs.
//
// History files come from outside the program (a crashed recorder, a full
// disk, a copy cut short, another program). Every entry point either succeeds
// or reports the file as damaged with a short reason; none throws, reads past
// the end or allocates more than the bytes left in the file justify.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_io.h"
#include "common/history_file.h"
#include "common/text_codec.h"

namespace kq {

template <class T>
struct HistoryRead {
    std::optional<T> value;  // empty when the file is damaged
    std::string damage;      // why, in a few words, when it is

    explicit operator bool() const { return value.has_value(); }
};

// The header alone. A file cut short after its header still gives it.
HistoryRead<HistoryFileHeader> readHistoryHeader(ByteSource& source, const AnsiCodec& codec);

// The header and the user headings: what a folder scan and a file list show.
struct HistoryHead {
    HistoryFileHeader header;
    std::vector<UserHeadingRecord> headings;

    friend bool operator==(const HistoryHead&, const HistoryHead&) = default;
};
HistoryRead<HistoryHead> readHistoryHead(ByteSource& source, const AnsiCodec& codec);

// Where each page lies, in page order, found by walking the records before
// and between them without reading any page's bytes.
HistoryRead<std::vector<PageImageRecord>> readHistoryPages(ByteSource& source);

// One page's metafile bytes, `page` being an entry of readHistoryPages.
HistoryRead<std::vector<std::uint8_t>> readHistoryPage(ByteSource& source, const PageImageRecord& page);

// One page's record read again whole in one read, `page` being an entry of
// readHistoryContents: its bytes, and whether its array descriptor agrees
// with its size. Damaged when the record no longer gives the page's size.
struct PageRecordRead {
    std::vector<std::uint8_t> bytes;
    bool sound = false;
};
HistoryRead<PageRecordRead> readHistoryPageRecord(ByteSource& source, const PageImageRecord& page);

// The header and every block but the page bytes, which are skipped. Damage
// anywhere makes the whole file damaged.
HistoryRead<HistoryRecords> readHistoryRecords(ByteSource& source, const AnsiCodec& codec);

// What a history holds as far as it can be read: every record before the first
// damaged one. A page whose length is sound but whose record is not does not
// stop the reading: the records after it are read too.
struct HistoryContents {
    HistoryRecords records;
    std::vector<PageImageRecord> pages;  // every page found, the damaged ones included
    // Numbers (from 1) of the pages whose record disagrees with its length:
    // what their bytes hold is no page.
    std::vector<std::size_t> damagedPages;
    // Where the reading stopped: the block of the first record that could not
    // be read, and why ("comment 2: the file ends early"); that block holds the
    // records before it and the blocks after it are empty. Empty when the
    // whole file was read.
    std::optional<HistoryBlock> stoppedIn;
    std::string damage;
    // Where each block begins, by HistoryBlock, and where the last record
    // read ends: a part can be read again directly, in one read.
    std::array<std::uint64_t, 7> blockAt{};
    std::uint64_t end = 0;
};
// Fails only when the header cannot be read.
HistoryRead<HistoryContents> readHistoryContents(ByteSource& source, const AnsiCodec& codec);

// The texts a search looks in, in the order it looks: where the history was
// printed from (book path, "\", book name, "!", sheet name), the category,
// each heading (title, TAB, value), each page text, each shape's text and each
// comment's text. Error lines, header and footer texts and the printer are not
// among them.
enum class HistoryTextKind { place, category, heading, pageText, shape, comment };
// Gives the texts one by one, decoded, to `visit` until it answers false.
// Only what comes before the last text given is read; page bytes never are,
// pages are passed over by their sizes.
enum class HistoryTextPass { finished, stopped };
HistoryRead<HistoryTextPass> readHistoryTexts(ByteSource& source, const AnsiCodec& codec,
                                              const std::function<bool(HistoryTextKind, std::string_view)>& visit);

}  // namespace kq
