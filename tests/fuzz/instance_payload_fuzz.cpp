// Drives the running viewer's reading of a handed-over block with arbitrary
// bytes, as any program of the session may send them. Beyond the sanitizers'
// findings: a block is taken exactly when a second start could have sent it,
// what is taken is well-formed text without NUL and of bounded size, and the
// tag of another program is never taken.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "common/text_codec.h"
#include "viewer/start/instance_payload.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    using namespace kq::viewer;
    const AnsiCodec& codec = systemAnsiCodec();

    const std::optional<std::string> line = decodeInstancePayload(kInstancePayloadTag, data, size, codec);
    const bool sendable = size > 0 && size <= kInstancePayloadLimit && data[0] != 0;
    check(line.has_value() == sendable);
    if (line) {
        const void* nul = std::memchr(data, 0, size);
        const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data) : size;
        check(!line->empty() && line->size() <= 3 * length);
        check(line->find('\0') == std::string::npos);
        check(utf16ToUtf8(utf8ToUtf16(*line)) == *line);
        // What was taken can be handed over again.
        const std::string again = encodeInstancePayload(*line, codec);
        const std::optional<std::string> back = decodeInstancePayload(kInstancePayloadTag, again.data(), again.size(), codec);
        check(back && back->find('\0') == std::string::npos);
    }
    // Another program's tag, whatever its bytes.
    const std::uint64_t foreign = size == 0 ? 1 : (std::uint64_t{data[0]} << 32 | data[size - 1]) + 1;
    check(!decodeInstancePayload(foreign, data, size, codec));
    return 0;
}
