#include "common/ole/vba_compression.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace kq::ole {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

Bytes hex(std::string_view digits) {
    Bytes out;
    for (std::size_t i = 0; i < digits.size();) {
        if (digits[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(digits.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

// Bytes in which no three bytes in a row come twice: nothing to refer back to.
Bytes withoutRepeats(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out;
    std::set<std::uint32_t> seen;
    while (out.size() < size) {
        const auto b = static_cast<std::uint8_t>(random());
        if (out.size() >= 2) {
            const std::uint32_t triple = (out[out.size() - 2] << 16) | (out.back() << 8) | b;
            if (seen.contains(triple)) continue;
            seen.insert(triple);
        }
        out.push_back(b);
    }
    return out;
}

// The published examples of the format. Where several earlier runs repeat the
// bytes equally well the format leaves the choice open, so only the examples
// without such a choice are compared byte for byte.
TEST(VbaCompression, ReadsAndWritesThePublishedExamples) {
    struct Case {
        const char* name;
        Bytes data;
        Bytes container;
        bool onlyOneEncoding;
    };
    const Case cases[] = {
        {"no repeats", bytesOf("abcdefghijklmnopqrstuv."),
         hex("01 19 B0 00 61 62 63 64 65 66 67 68 00 69 6A 6B 6C 6D 6E 6F 70 00 71 72 73 74 75 76 2E"), true},
        {"normal", bytesOf("#aaabcdefaaaaghijaaaaaklaaamnopqaaaaaaaaaaaarstuvwxyzaaa"),
         hex("01 2F B0 00 23 61 61 61 62 63 64 65 82 66 00 70 61 67 68 69 6A 01 38 08 61 6B 6C 00 30 6D 6E 6F 70 06 71 "
             "02 70 04 10 72 73 74 75 76 10 77 78 79 7A 00 3C"),
         false},
        {"one run", Bytes(73, 'a'), hex("01 03 B0 02 61 45 00"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decompressVba(c.container), c.data);
        const Bytes ours = compressVba(c.data);
        if (c.onlyOneEncoding) {
            EXPECT_EQ(ours, c.container);
        }
        EXPECT_EQ(ours.size(), c.container.size());
        EXPECT_EQ(decompressVba(ours), c.data);
    }
}

TEST(VbaCompression, RoundTripsEveryKindOfData) {
    const Bytes text = [] {
        Bytes out;
        for (int line = 0; out.size() < 20000; ++line) {
            const std::string s = std::string("    MsgBox \"line ").append(std::to_string(line)).append("\" & vbCrLf, vbCritical\r\n");
            out.insert(out.end(), s.begin(), s.end());
        }
        return out;
    }();
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"empty", {}},
        {"one byte", {'x'}},
        {"two equal bytes", {'x', 'x'}},
        {"text of exactly one chunk", Bytes(text.begin(), text.begin() + 4096)},
        {"one chunk and one byte", Bytes(text.begin(), text.begin() + 4097)},
        {"text of several chunks", text},
        {"a long run over chunks", Bytes(10000, 'a')},
        {"a run of zeros", Bytes(5000, 0)},
        {"one chunk without repeats, stored raw", withoutRepeats(4096, 1)},
        {"two chunks without repeats", withoutRepeats(8192, 2)},
        {"short data without repeats, as literals", withoutRepeats(3000, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes container = compressVba(c.data);
        EXPECT_EQ(decompressVba(container), c.data);
    }
}

// The split of a copy token between offset and length changes where the
// distance into the chunk passes a power of two: a repeat just before and
// just after each of those places must come back.
TEST(VbaCompression, RoundTripsCopiesAtEveryOffsetWidth) {
    for (std::size_t bits = 4; bits <= 12; ++bits) {
        for (std::size_t at : {(std::size_t{1} << bits) - 1, std::size_t{1} << bits, (std::size_t{1} << bits) + 1}) {
            if (at + 40 > kVbaChunkSize) continue;
            SCOPED_TRACE(at);
            Bytes data = withoutRepeats(at, static_cast<unsigned>(at));
            const Bytes start(data.begin(), data.begin() + 8);
            data.insert(data.end(), start.begin(), start.end());  // refers back to the chunk's start
            const Bytes tail = withoutRepeats(20, 99);
            data.insert(data.end(), tail.begin(), tail.end());
            const Bytes container = compressVba(data);
            EXPECT_LT(container.size(), data.size() + data.size() / 8 + 3) << "the repeat was not found";
            EXPECT_EQ(decompressVba(container), data);
        }
    }
}

TEST(VbaCompression, PadsAShortChunkThatDoesNotCompress) {
    // Too long for literals within 4096 bytes, so raw: the format fills raw chunks to 4096.
    const Bytes data = withoutRepeats(4000, 4);
    const Bytes container = compressVba(data);
    ASSERT_EQ(container.size(), 1u + 2u + 4096u);
    Bytes padded = data;
    padded.resize(4096, 0);
    EXPECT_EQ(decompressVba(container), padded);
}

TEST(VbaCompression, RefusesDamagedContainers) {
    const Bytes good = compressVba(bytesOf("#aaabcdefaaaaghijaaaaaklaaamnopqaaaaaaaaaaaarstuvwxyzaaa"));
    struct Case {
        const char* name;
        Bytes container;
    };
    Bytes wrongChunkSignature = good;
    wrongChunkSignature[2] = 0xC0;
    const Bytes copyFirst = hex("01 02 B0 01 00 00");        // a copy with nothing before it
    const Bytes longerThanChunk = hex("01 03 B0 02 61 FF 0F");  // 1 + 4098 bytes: more than a chunk holds
    Bytes rawCutShort = hex("01 FF 3F");
    rawCutShort.resize(1 + 2 + 100, 'r');
    const Case cases[] = {
        {"nothing", {}},
        {"wrong signature", hex("02 19 B0 00 61")},
        {"half a chunk header", hex("01 19")},
        {"wrong chunk signature", wrongChunkSignature},
        {"chunk longer than the container", Bytes(good.begin(), good.end() - 1)},
        {"copy before the chunk's start", copyFirst},
        {"chunk giving more than 4096 bytes", longerThanChunk},
        {"raw chunk cut short", rawCutShort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decompressVba(c.container));
    }
}

TEST(VbaCompression, KeepsToTheLimit) {
    const Bytes data(9000, 'z');
    const Bytes container = compressVba(data);
    EXPECT_TRUE(decompressVba(container, 9000));
    EXPECT_FALSE(decompressVba(container, 8999));
    EXPECT_FALSE(decompressVba(compressVba(withoutRepeats(4096, 5)), 4095));
}

// A container cut anywhere gives a damage report or, cut between chunks,
// the chunks before the cut.
TEST(VbaCompression, TruncationsGiveDamageOrWholeChunks) {
    Bytes data = withoutRepeats(4096, 6);
    data.insert(data.end(), 3000, 'q');
    const Bytes rest = withoutRepeats(2000, 7);
    data.insert(data.end(), rest.begin(), rest.end());
    const Bytes container = compressVba(data);
    for (std::size_t size = 0; size < container.size(); ++size) {
        const auto got = decompressVba(std::span(container).first(size));
        if (!got) continue;
        ASSERT_LE(got->size(), data.size()) << "cut at " << size;
        EXPECT_EQ(got->size() % kVbaChunkSize, 0u) << "cut at " << size;
        EXPECT_TRUE(std::equal(got->begin(), got->end(), data.begin())) << "cut at " << size;
    }
}

}  // namespace
}  // namespace kq::ole
