#pragma once
// Reads history files. The viewer reads every file's header at each folder
// scan, a page's bytes when it shows the page, and the text blocks when it
// searches, shows properties or exports; each has its own entry point so that
// none reads more than it needs.
//
// History files come from outside the program (a crashed recorder, a full
// disk, a copy cut short, another program). Every entry point either succeeds
// or reports the file as damaged with a short reason; none throws, reads past
// the end or allocates more than the bytes left in the file justify.

#include <cstdint>
#include <optional>
#include <string>
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

// Where each page lies, in page order, found by walking the records before
// and between them without reading any page's bytes.
HistoryRead<std::vector<PageImageRecord>> readHistoryPages(ByteSource& source);

// One page's metafile bytes, `page` being an entry of readHistoryPages.
HistoryRead<std::vector<std::uint8_t>> readHistoryPage(ByteSource& source, const PageImageRecord& page);

// The header and every block but the page bytes, which are skipped.
HistoryRead<HistoryRecords> readHistoryRecords(ByteSource& source, const AnsiCodec& codec);

}  // namespace kq
