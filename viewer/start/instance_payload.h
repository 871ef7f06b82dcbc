#pragma once
// The bytes a second start of the viewer sends to the running copy: its
// command line in the system's ANSI code page, ended by three NUL bytes,
// marked with the tag 0. Whatever arrives in such a message comes from
// another process and is read as outside bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text_codec.h"

namespace kq::viewer {

// The message's tag (COPYDATASTRUCT::dwData) of a handed-over line.
inline constexpr std::uint64_t kInstancePayloadTag = 0;
// The largest block the running copy reads; a command line is far smaller.
inline constexpr std::size_t kInstancePayloadLimit = 64 * 1024;

// The payload of a line (UTF-8): its ANSI bytes, then three NUL bytes.
std::string encodeInstancePayload(std::string_view line, const AnsiCodec& codec);

// The line a received block holds (UTF-8), read up to its first NUL or to
// its end when it has none; bytes the code page does not know become
// replacement characters. None for another tag, no bytes, a block over the
// limit, or a block whose line is empty: nothing a second start sends.
std::optional<std::string> decodeInstancePayload(std::uint64_t tag, const void* data, std::size_t size,
                                                 const AnsiCodec& codec);

}  // namespace kq::viewer
