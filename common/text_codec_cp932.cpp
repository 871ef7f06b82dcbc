// Code page 932 by the tables in cp932_table.cpp: what Windows writes and reads,
// best-fit forms and the yen sign as 0x5C included, without a call into the
// system per text. A test under Wine holds every entry to the system's own
// conversion.

#include "common/cp932_table.h"
#include "common/text_codec.h"

namespace kq {
namespace {

// Where the run of ASCII characters that starts at `from` ends.
std::size_t asciiRun(std::string_view text, std::size_t from) {
    while (from < text.size() && static_cast<unsigned char>(text[from]) < 0x80) ++from;
    return from;
}

class Cp932Codec final : public AnsiCodec {
public:
    std::string toAnsi(std::string_view utf8) const override {
        std::string out;
        out.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size();) {
            if (const std::size_t ascii = asciiRun(utf8, i); ascii > i) {  // the same in both
                out.append(utf8, i, ascii - i);
                i = ascii;
                continue;
            }
            const char32_t c = decodeUtf8(utf8, i);
            // Nothing outside the basic plane: one "?" for the character, as for a surrogate pair.
            const std::uint16_t code =
                c > 0xFFFF ? std::uint16_t{'?'} : cp932::kEncodingPages[cp932::kEncodingPageOf[c >> 8]][c & 0xFF];
            if (code > 0xFF) out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
        return out;
    }

    std::string fromAnsi(std::string_view ansi) const override {
        std::string out;
        out.reserve(ansi.size() * 3 / 2);
        for (std::size_t i = 0; i < ansi.size();) {
            if (const std::size_t ascii = asciiRun(ansi, i); ascii > i) {
                out.append(ansi, i, ascii - i);
                i = ascii;
                continue;
            }
            const auto byte = static_cast<unsigned char>(ansi[i]);
            const int row = cp932::leadRow(byte);
            if (row < 0) {
                appendUtf8(out, cp932::kSingleByte[byte]);
                ++i;
                continue;
            }
            // As Windows reads a lead byte: with whatever byte follows as one
            // character, except at the end and before a NUL, which stays a NUL.
            const auto trail = i + 1 < ansi.size() ? static_cast<unsigned char>(ansi[i + 1]) : 0u;
            if (trail == 0) {
                appendUtf8(out, cp932::kDefaultCharacter);
                ++i;
                continue;
            }
            const bool defined = trail >= cp932::kFirstTrail && trail - cp932::kFirstTrail < cp932::kTrailCount;
            appendUtf8(out, defined ? cp932::kDoubleByte[row][trail - cp932::kFirstTrail] : cp932::kDefaultCharacter);
            i += 2;
        }
        return out;
    }

    bool isLeadByte(unsigned char byte) const override { return cp932::leadRow(byte) >= 0; }
};

}  // namespace

const AnsiCodec& cp932Codec() {
    static const Cp932Codec codec;
    return codec;
}

}  // namespace kq
