#pragma once
// The run-length compression of macro projects: the `dir` stream and every
// module's source are stored as a compressed container. A container is a
// signature byte and chunks of up to 4096 bytes of data each, every chunk
// either tokens (literals and back references within the chunk) or the 4096
// bytes raw when the tokens would not be shorter.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kq::ole {

inline constexpr std::size_t kVbaChunkSize = 4096;

// The container of `data`. A final chunk shorter than 4096 bytes that does
// not compress is stored raw and, as the format defines raw chunks, padded
// with zero bytes to 4096: such data decompresses with those zeros appended.
std::vector<std::uint8_t> compressVba(std::span<const std::uint8_t> data);

// The data of a container, or empty when it is damaged: a wrong signature or
// chunk header, a chunk cut short, a reference before the start of its chunk,
// or a chunk that would give more than 4096 bytes. Never gives more than
// `limit` bytes: a container that would is reported damaged too.
std::optional<std::vector<std::uint8_t>> decompressVba(std::span<const std::uint8_t> container,
                                                        std::size_t limit = 16 * 1024 * 1024);

}  // namespace kq::ole
