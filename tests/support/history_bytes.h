#pragma once
// A whole history file's bytes from its records and page images, for tests
// and benchmarks that need history files without a recorder.

#include <cstdint>
#include <vector>

#include "common/byte_io.h"
#include "common/history_writer.h"
#include "common/text_codec.h"

namespace kq::test {

inline std::vector<std::uint8_t> historyBytes(const HistoryRecords& records,
                                              const std::vector<std::vector<std::uint8_t>>& pages = {}) {
    struct Pages final : HistoryPageSource {
        const std::vector<std::vector<std::uint8_t>>& pages;
        explicit Pages(const std::vector<std::vector<std::uint8_t>>& p) : pages(p) {}
        bool readPage(std::size_t index, std::vector<std::uint8_t>& bytes) override {
            bytes = pages.at(index);
            return true;
        }
    } source(pages);
    MemorySink sink;
    HistoryWriter(records, pages.size(), systemAnsiCodec()).write(source, sink);
    return sink.bytes;
}

}  // namespace kq::test
