#include "viewer/start/instance_payload.h"

#include <cstring>

namespace kq::viewer {

std::string encodeInstancePayload(std::string_view line, const AnsiCodec& codec) {
    std::string bytes = codec.toAnsi(line);
    bytes.append(3, '\0');
    return bytes;
}

std::optional<std::string> decodeInstancePayload(std::uint64_t tag, const void* data, std::size_t size,
                                                 const AnsiCodec& codec) {
    if (tag != kInstancePayloadTag || !data || size == 0 || size > kInstancePayloadLimit) return std::nullopt;
    const auto* bytes = static_cast<const char*>(data);
    // No trail byte of the code page is 0: the first NUL ends the line.
    const void* nul = std::memchr(bytes, '\0', size);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : size;
    if (length == 0) return std::nullopt;
    return codec.fromAnsi(std::string_view(bytes, length));
}

}  // namespace kq::viewer
