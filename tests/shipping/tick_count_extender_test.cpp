#include "common/tick_count_extender.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kq {
namespace {

constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;

struct ReadingsCase {
    const char* what;
    std::vector<std::uint32_t> readings;
    std::vector<std::uint64_t> expected;
};

TEST(TickCountExtender, CountsOnAcrossEveryWrapOfTheSystemCount) {
    const ReadingsCase cases[] = {
        {"no wrap", {0, 1, 1000, 0xFFFFFFFF}, {0, 1, 1000, 0xFFFFFFFF}},
        {"one wrap", {0xFFFFFFF0, 0xFFFFFFFF, 0, 5}, {0xFFFFFFF0, 0xFFFFFFFF, kWrap, kWrap + 5}},
        {"the same reading twice is no wrap", {7, 7, 7}, {7, 7, 7}},
        {"two wraps", {0xF0000000, 3, 0xF0000000, 2}, {0xF0000000, kWrap + 3, kWrap + 0xF0000000, 2 * kWrap + 2}},
        // A timed wait measures by subtraction: across the wrap the difference stays the time waited.
        {"a wait across the wrap", {0xFFFFFF00, 0x00000100}, {0xFFFFFF00, kWrap + 0x100}},
    };
    for (const auto& c : cases) {
        TickCountExtender extender;
        std::vector<std::uint64_t> got;
        for (const std::uint32_t reading : c.readings) got.push_back(extender.extend(reading));
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace kq
