#pragma once
// A byte source over bytes in memory that records every read made of it:
// what a test looks at to tell which parts of a file a reader touched.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/byte_io.h"

namespace kq::test {

class CountingSource final : public ByteSource {
public:
    explicit CountingSource(const std::vector<std::uint8_t>& bytes) : inner_(bytes) {}
    std::uint64_t size() const override { return inner_.size(); }
    bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
        reads.push_back({offset, n});
        return inner_.readAt(offset, dest, n);
    }
    // Bytes read that lie in [from, to).
    std::uint64_t readWithin(std::uint64_t from, std::uint64_t to) const {
        std::uint64_t n = 0;
        for (const auto& [offset, length] : reads) {
            const std::uint64_t start = std::max(offset, from);
            const std::uint64_t end = std::min(offset + length, to);
            if (end > start) n += end - start;
        }
        return n;
    }
    std::vector<std::pair<std::uint64_t, std::size_t>> reads;

private:
    MemorySource inner_;
};

}  // namespace kq::test
