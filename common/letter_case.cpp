#include "common/letter_case.h"

#include <algorithm>
#include <iterator>

#include "common/text_codec.h"

namespace kq {

namespace {

// Runs of lower-case letters whose upper case lies `delta` away; in a run of
// `stride` 2 only every other code point is a lower-case letter.
struct CaseRun {
    char16_t first;
    char16_t last;
    int delta;
    int stride;
};

// Unicode's simple upper-case mappings of the blocks covered, where the upper
// case maps back: the mappings Windows makes.
constexpr CaseRun kRuns[] = {
    {0x0061, 0x007A, -32, 1}, {0x00E0, 0x00F6, -32, 1}, {0x00F8, 0x00FE, -32, 1}, {0x00FF, 0x00FF, 121, 1},
    {0x0101, 0x012F, -1, 2}, {0x0133, 0x0137, -1, 2}, {0x013A, 0x0148, -1, 2}, {0x014B, 0x0177, -1, 2},
    {0x017A, 0x017E, -1, 2}, {0x0180, 0x0180, 195, 1}, {0x0183, 0x0185, -1, 2}, {0x0188, 0x0188, -1, 1},
    {0x018C, 0x018C, -1, 1}, {0x0192, 0x0192, -1, 1}, {0x0195, 0x0195, 97, 1}, {0x0199, 0x0199, -1, 1},
    {0x019A, 0x019A, 163, 1}, {0x019E, 0x019E, 130, 1}, {0x01A1, 0x01A5, -1, 2}, {0x01A8, 0x01A8, -1, 1},
    {0x01AD, 0x01AD, -1, 1}, {0x01B0, 0x01B0, -1, 1}, {0x01B4, 0x01B6, -1, 2}, {0x01B9, 0x01B9, -1, 1},
    {0x01BD, 0x01BD, -1, 1}, {0x01BF, 0x01BF, 56, 1}, {0x01C6, 0x01C6, -2, 1}, {0x01C9, 0x01C9, -2, 1},
    {0x01CC, 0x01CC, -2, 1}, {0x01CE, 0x01DC, -1, 2}, {0x01DD, 0x01DD, -79, 1}, {0x01DF, 0x01EF, -1, 2},
    {0x01F3, 0x01F3, -2, 1}, {0x01F5, 0x01F5, -1, 1}, {0x01F9, 0x021F, -1, 2}, {0x0223, 0x0233, -1, 2},
    {0x023C, 0x023C, -1, 1}, {0x023F, 0x0240, 10815, 1}, {0x0242, 0x0242, -1, 1}, {0x0247, 0x024F, -1, 2},
    {0x0371, 0x0373, -1, 2}, {0x0377, 0x0377, -1, 1}, {0x037B, 0x037D, 130, 1}, {0x03AC, 0x03AC, -38, 1},
    {0x03AD, 0x03AF, -37, 1}, {0x03B1, 0x03C1, -32, 1}, {0x03C3, 0x03CB, -32, 1}, {0x03CC, 0x03CC, -64, 1},
    {0x03CD, 0x03CE, -63, 1}, {0x03D7, 0x03D7, -8, 1}, {0x03D9, 0x03EF, -1, 2}, {0x03F2, 0x03F2, 7, 1},
    {0x03F3, 0x03F3, -116, 1}, {0x03F8, 0x03F8, -1, 1}, {0x03FB, 0x03FB, -1, 1}, {0x0430, 0x044F, -32, 1},
    {0x0450, 0x045F, -80, 1}, {0x0461, 0x0481, -1, 2}, {0x048B, 0x04BF, -1, 2}, {0x04C2, 0x04CE, -1, 2},
    {0x04CF, 0x04CF, -15, 1}, {0x04D1, 0x052F, -1, 2}, {0x2170, 0x217F, -16, 1}, {0x2184, 0x2184, -1, 1},
    {0xFF41, 0xFF5A, -32, 1},
};

}  // namespace

char16_t tableUpperCase(char16_t c) {
    const auto run = std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                                      [](char16_t value, const CaseRun& r) { return value < r.first; });
    if (run == std::begin(kRuns)) return c;
    const CaseRun& r = *std::prev(run);
    if (c > r.last || (c - r.first) % r.stride != 0) return c;
    return static_cast<char16_t>(c + r.delta);
}

std::string tableUpperCase(std::string_view utf8) {
    std::u16string text = utf8ToUtf16(utf8);
    for (char16_t& c : text) c = tableUpperCase(c);
    return utf16ToUtf8(text);
}

}  // namespace kq
