// The ANSI codec of native builds: Windows code page 932 through iconv, so that
// portable tests see the same bytes that Japanese Windows writes.

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "common/text_codec.h"

namespace kq {
namespace {

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~IconvHandle() { iconv_close(handle_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

std::size_t utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    return 4;
}

// Runs iconv over all of `in`; on a sequence it cannot take, appends
// `substitute` and skips `skip(rest of the input)` bytes.
template <typename Skip>
std::string convert(iconv_t cd, std::string_view in, std::string_view substitute, Skip skip) {
    std::string out;
    out.reserve(in.size() * 2 + 8);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (truncated at the end): replace and move on.
        out += substitute;
        const std::size_t n = std::min(srcLeft, std::max<std::size_t>(1, skip(std::string_view(src, srcLeft))));
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

// Characters that iconv's CP932 writes with the code of a look-alike (the yen
// sign as the backslash, JIS dashes and wave as their Windows forms) but that
// Windows, asked for no best-fit mapping, writes as "?".
bool isOneWayMapping(char16_t c) {
    switch (c) {
        case 0x00A2: case 0x00A3: case 0x00A5: case 0x00AC: case 0x2014:
        case 0x2016: case 0x203E: case 0x2212: case 0x301C:
            return true;
        default:
            return false;
    }
}

class Cp932Codec final : public AnsiCodec {
public:
    std::string toAnsi(std::string_view utf8) const override {
        thread_local IconvHandle cd("CP932", "UTF-8");
        // Ill-formed UTF-8 is made well-formed first, so skipping by the lead byte is
        // exact; characters that iconv maps one way only become "?", as on Windows.
        std::u16string units = utf8ToUtf16(utf8);
        std::replace_if(units.begin(), units.end(), isOneWayMapping, u'?');
        return convert(cd.get(), utf16ToUtf8(units), "?", utf8SequenceLength);
    }
    std::string fromAnsi(std::string_view ansi) const override {
        thread_local IconvHandle cd("UTF-8", "CP932");
        // A lead byte and a trail byte that together map to nothing are one bad
        // character, as Windows reads them: the trail byte is not decoded on its own.
        return convert(cd.get(), ansi, "\xEF\xBF\xBD", [this](std::string_view rest) {
            const auto lead = static_cast<unsigned char>(rest[0]);
            const bool pair = rest.size() >= 2 && isLeadByte(lead) && isTrailByte(static_cast<unsigned char>(rest[1]));
            return std::size_t{pair ? 2u : 1u};
        });
    }
    bool isLeadByte(unsigned char b) const override {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

private:
    static bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
};

}  // namespace

const AnsiCodec& systemAnsiCodec() {
    static const Cp932Codec codec;
    return codec;
}

}  // namespace kq
