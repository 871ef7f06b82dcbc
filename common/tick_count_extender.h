#pragma once
// A 64-bit millisecond count made from a 32-bit one that wraps to 0 every 49.7
// days. Systems before Vista have only the 32-bit count; code that measures
// timeouts by subtraction would otherwise wait for weeks across the wrap.

#include <cstdint>

namespace kq {

class TickCountExtender {
public:
    constexpr TickCountExtender() = default;

    // Each reading must come within 49.7 days of the previous one, which a
    // wait that re-reads the count after every wake-up always does.
    constexpr std::uint64_t extend(std::uint32_t now) {
        if (now < last_) high_ += std::uint64_t{1} << 32;
        last_ = now;
        return high_ | now;
    }

private:
    std::uint64_t high_ = 0;
    std::uint32_t last_ = 0;
};

}  // namespace kq
