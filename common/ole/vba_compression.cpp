#include "common/ole/vba_compression.h"

#include <algorithm>

namespace kq::ole {
namespace {

constexpr std::uint8_t kContainerSignature = 0x01;
constexpr std::uint16_t kChunkSignature = 0x3000;  // 0b011 in bits 12 to 14
constexpr std::uint16_t kChunkSignatureMask = 0x7000;
constexpr std::uint16_t kChunkCompressed = 0x8000;
constexpr std::uint16_t kChunkSizeMask = 0x0FFF;
// A chunk's header and tokens never take more than this; past it the chunk goes raw.
constexpr std::size_t kLongestChunk = 2 + kVbaChunkSize;

// A copy token splits its 16 bits between offset and length by how far into
// its chunk it stands: the offset takes as many bits as that distance needs,
// at least 4.
struct TokenLayout {
    unsigned offsetBits;
    std::uint16_t lengthMask;
    std::size_t longestCopy;
};

TokenLayout tokenLayout(std::size_t distanceIntoChunk) {
    unsigned bits = 4;
    while ((std::size_t{1} << bits) < distanceIntoChunk) ++bits;
    const auto mask = static_cast<std::uint16_t>(0xFFFFu >> bits);
    return {bits, mask, std::size_t{mask} + 3};
}

struct Match {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The longest earlier run in the chunk that the bytes at `at` repeat, the
// nearest among equals; runs may overlap the bytes they repeat.
Match longestMatch(std::span<const std::uint8_t> chunk, std::size_t at) {
    const std::size_t longest = std::min(tokenLayout(at).longestCopy, chunk.size() - at);
    Match best;
    for (std::size_t candidate = at; candidate-- > 0 && best.length < longest;) {
        std::size_t length = 0;
        while (length < longest && chunk[candidate + length] == chunk[at + length]) ++length;
        if (length > best.length) best = {at - candidate, length};
    }
    return best.length >= 3 ? best : Match{};
}

void putLittle16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void compressChunk(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    out.resize(start + 2);
    const std::size_t end = start + kLongestChunk;
    std::size_t done = 0;
    bool full = false;
    while (done < chunk.size() && !full && out.size() < end) {
        const std::size_t flagsAt = out.size();
        out.push_back(0);
        std::uint8_t flags = 0;
        for (unsigned token = 0; token < 8 && done < chunk.size() && !full; ++token) {
            const Match match = longestMatch(chunk, done);
            const std::size_t room = end - out.size();
            if (match.length != 0 && room >= 2) {
                const TokenLayout layout = tokenLayout(done);
                const auto packed = static_cast<std::uint16_t>(((match.offset - 1) << (16 - layout.offsetBits)) |
                                                               (match.length - 3));
                out.push_back(static_cast<std::uint8_t>(packed & 0xFF));
                out.push_back(static_cast<std::uint8_t>(packed >> 8));
                flags = static_cast<std::uint8_t>(flags | (1u << token));
                done += match.length;
            } else if (match.length == 0 && room >= 1) {
                out.push_back(chunk[done++]);
            } else {
                full = true;
            }
        }
        out[flagsAt] = flags;
    }
    if (done < chunk.size()) {
        // The tokens would not fit: the chunk goes raw, always 4096 bytes.
        out.resize(start + 2);
        out.insert(out.end(), chunk.begin(), chunk.end());
        out.resize(start + kLongestChunk, 0);
        putLittle16(out, start, static_cast<std::uint16_t>((kLongestChunk - 3) | kChunkSignature));
        return;
    }
    const std::size_t size = out.size() - start;
    putLittle16(out, start, static_cast<std::uint16_t>((size - 3) | kChunkSignature | kChunkCompressed));
}

}  // namespace

std::vector<std::uint8_t> compressVba(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out{kContainerSignature};
    for (std::size_t at = 0; at < data.size(); at += kVbaChunkSize) {
        compressChunk(data.subspan(at, std::min(kVbaChunkSize, data.size() - at)), out);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> decompressVba(std::span<const std::uint8_t> container, std::size_t limit) {
    if (container.empty() || container[0] != kContainerSignature) return std::nullopt;
    std::vector<std::uint8_t> out;
    std::size_t at = 1;
    while (at < container.size()) {
        if (container.size() - at < 2) return std::nullopt;
        const auto header = static_cast<std::uint16_t>(container[at] | (container[at + 1] << 8));
        if ((header & kChunkSignatureMask) != kChunkSignature) return std::nullopt;
        const std::size_t size = (header & kChunkSizeMask) + 3u;
        if (container.size() - at < size) return std::nullopt;
        const std::size_t chunkEnd = at + size;
        const std::size_t chunkStart = out.size();
        std::size_t in = at + 2;
        if ((header & kChunkCompressed) == 0) {
            if (size != kLongestChunk || out.size() + kVbaChunkSize > limit) return std::nullopt;
            out.insert(out.end(), container.begin() + static_cast<std::ptrdiff_t>(in),
                       container.begin() + static_cast<std::ptrdiff_t>(chunkEnd));
            at = chunkEnd;
            continue;
        }
        const std::size_t chunkLimit = std::min(limit, chunkStart + kVbaChunkSize);
        while (in < chunkEnd) {
            const std::uint8_t flags = container[in++];
            for (unsigned token = 0; token < 8 && in < chunkEnd; ++token) {
                if ((flags & (1u << token)) == 0) {
                    if (out.size() >= chunkLimit) return std::nullopt;
                    out.push_back(container[in++]);
                    continue;
                }
                if (chunkEnd - in < 2) return std::nullopt;
                const auto packed = static_cast<std::uint16_t>(container[in] | (container[in + 1] << 8));
                in += 2;
                const std::size_t distance = out.size() - chunkStart;
                const TokenLayout layout = tokenLayout(distance);
                const std::size_t length = (packed & layout.lengthMask) + 3u;
                const std::size_t offset = (packed >> (16 - layout.offsetBits)) + 1u;
                if (offset > distance || length > chunkLimit - out.size()) return std::nullopt;
                const std::size_t from = out.size() - offset;
                // Byte by byte: a copy may repeat bytes it has just written.
                for (std::size_t i = 0; i < length; ++i) {
                    const std::uint8_t repeated = out[from + i];
                    out.push_back(repeated);
                }
            }
        }
        at = chunkEnd;
    }
    return out;
}

}  // namespace kq::ole
