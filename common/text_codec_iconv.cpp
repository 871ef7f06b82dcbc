// The ANSI codec of native builds: Windows code page 932 through iconv, so that
// portable tests see the same bytes that Japanese Windows writes.

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <optional>
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

// What to put for a sequence iconv cannot take, and how many bytes it spans.
struct Replacement {
    std::string_view text;
    std::size_t skip = 1;
};

// Runs iconv over all of `in`; a sequence it cannot take is replaced as
// `replace(rest of the input)` says.
template <typename Replace>
std::string convert(iconv_t cd, std::string_view in, Replace replace) {
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
        const Replacement r = replace(std::string_view(src, srcLeft));
        out += r.text;
        const std::size_t n = std::min(srcLeft, std::max<std::size_t>(1, r.skip));
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

// Where iconv's CP932 and Windows part ways, what Windows writes
// (WideCharToMultiByte on code page 932 with its default flags, the system's
// own conversion that stored histories carry): best-fit forms, the yen sign as
// 0x5C among them, which Japanese fonts show as the yen sign; one-to-one codes
// iconv lacks; and "?" for the JIS dashes and wave, which iconv writes as the
// Windows forms they look like. Sorted by character.
struct WindowsCode {
    char16_t character;
    std::string_view bytes;
};

constexpr WindowsCode kWindowsCodes[] = {
    {0x0080, "\x80"}, {0x00A1, "!"}, {0x00A6, "|"}, {0x00A9, "c"}, {0x00AA, "a"}, {0x00AB, "\x81\xe1"},
    {0x00AD, "-"}, {0x00AE, "R"}, {0x00AF, "\x81\x50"}, {0x00B2, "2"}, {0x00B3, "3"}, {0x00B5, "\x83\xca"},
    {0x00B7, "\x81\x45"}, {0x00B8, "\x81\x43"}, {0x00B9, "1"}, {0x00BA, "o"}, {0x00BB, "\x81\xe2"}, {0x00C0, "A"},
    {0x00C1, "A"}, {0x00C2, "A"}, {0x00C3, "A"}, {0x00C4, "A"}, {0x00C5, "A"}, {0x00C6, "A"}, {0x00C7, "C"},
    {0x00C8, "E"}, {0x00C9, "E"}, {0x00CA, "E"}, {0x00CB, "E"}, {0x00CC, "I"}, {0x00CD, "I"}, {0x00CE, "I"},
    {0x00CF, "I"}, {0x00D0, "D"}, {0x00D1, "N"}, {0x00D2, "O"}, {0x00D3, "O"}, {0x00D4, "O"}, {0x00D5, "O"},
    {0x00D6, "O"}, {0x00D8, "O"}, {0x00D9, "U"}, {0x00DA, "U"}, {0x00DB, "U"}, {0x00DC, "U"}, {0x00DD, "Y"},
    {0x00DE, "T"}, {0x00DF, "s"}, {0x00E0, "a"}, {0x00E1, "a"}, {0x00E2, "a"}, {0x00E3, "a"}, {0x00E4, "a"},
    {0x00E5, "a"}, {0x00E6, "a"}, {0x00E7, "c"}, {0x00E8, "e"}, {0x00E9, "e"}, {0x00EA, "e"}, {0x00EB, "e"},
    {0x00EC, "i"}, {0x00ED, "i"}, {0x00EE, "i"}, {0x00EF, "i"}, {0x00F0, "d"}, {0x00F1, "n"}, {0x00F2, "o"},
    {0x00F3, "o"}, {0x00F4, "o"}, {0x00F5, "o"}, {0x00F6, "o"}, {0x00F8, "o"}, {0x00F9, "u"}, {0x00FA, "u"},
    {0x00FB, "u"}, {0x00FC, "u"}, {0x00FD, "y"}, {0x00FE, "t"}, {0x00FF, "y"}, {0x2014, "?"}, {0x2016, "?"},
    {0x203E, "?"}, {0x2212, "?"}, {0x301C, "?"}, {0x3094, "\x83\x94"}, {0xF8F0, "\xa0"}, {0xF8F1, "\xfd"},
    {0xF8F2, "\xfe"}, {0xF8F3, "\xff"}
};

std::optional<std::string_view> windowsCode(char16_t c) {
    const auto* found = std::lower_bound(std::begin(kWindowsCodes), std::end(kWindowsCodes), c,
                                         [](const WindowsCode& code, char16_t key) { return code.character < key; });
    if (found == std::end(kWindowsCodes) || found->character != c) return std::nullopt;
    return found->bytes;
}

// Single bytes Windows reads as characters of their own where iconv has none:
// 0x80 as U+0080, 0xA0 and 0xFD to 0xFF as private-use characters.
std::optional<std::string_view> windowsCharacter(unsigned char byte) {
    switch (byte) {
        case 0x80: return "\xC2\x80";
        case 0xA0: return "\xEF\xA3\xB0";
        case 0xFD: return "\xEF\xA3\xB1";
        case 0xFE: return "\xEF\xA3\xB2";
        case 0xFF: return "\xEF\xA3\xB3";
        default: return std::nullopt;
    }
}

class Cp932Codec final : public AnsiCodec {
public:
    std::string toAnsi(std::string_view utf8) const override {
        thread_local IconvHandle cd("CP932", "UTF-8");
        // Ill-formed UTF-8 is made well-formed first, so skipping by the lead byte
        // is exact. Surrogates never have a Windows code of their own, so runs
        // between such characters keep their pairs whole.
        const std::u16string units = utf8ToUtf16(utf8);
        std::string out;
        std::size_t runStart = 0;
        const auto convertRun = [&](std::size_t end) {
            if (end == runStart) return;
            const std::string run = utf16ToUtf8(std::u16string_view(units).substr(runStart, end - runStart));
            out += convert(cd.get(), run, [](std::string_view rest) {
                return Replacement{"?", utf8SequenceLength(rest)};
            });
        };
        for (std::size_t i = 0; i < units.size(); ++i) {
            const std::optional<std::string_view> code = windowsCode(units[i]);
            if (!code) continue;
            convertRun(i);
            out += *code;
            runStart = i + 1;
        }
        convertRun(units.size());
        return out;
    }
    std::string fromAnsi(std::string_view ansi) const override {
        thread_local IconvHandle cd("UTF-8", "CP932");
        // A lead byte and a trail byte that together map to nothing are one bad
        // character, as Windows reads them: the trail byte is not decoded on its own.
        return convert(cd.get(), ansi, [this](std::string_view rest) {
            const auto lead = static_cast<unsigned char>(rest[0]);
            if (const std::optional<std::string_view> own = windowsCharacter(lead)) return Replacement{*own, 1};
            const bool pair = rest.size() >= 2 && isLeadByte(lead) && isTrailByte(static_cast<unsigned char>(rest[1]));
            return Replacement{"\xEF\xBF\xBD", pair ? 2u : 1u};
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
