#pragma once
// Letters in upper case, as Windows maps them: two texts that differ only in
// letter case are one key to the runtime's collections, full-width letters
// ("ａｂｃ", "ＡＢＣ"), Greek and Cyrillic included. The Windows layer has the
// system's own mapping (win32/letter_case_win32.h); this table is the
// portable one, which agrees with it on the blocks it covers.

#include <string>
#include <string_view>

namespace kq {

// A mapping of texts to upper case: the system's or the table's.
using UpperCase = std::string (*)(std::string_view utf8);

// The upper case of a letter of the Latin, Greek and Cyrillic blocks (U+0000
// to U+024F, U+0370 to U+052F), of the small Roman numerals and of the
// full-width Latin letters; any other character as it is. A letter maps only
// where the upper-case letter maps back to it, as Windows maps them: the final
// sigma, the micro sign and the dotless i stay as they are.
char16_t tableUpperCase(char16_t c);
// The text so; ill-formed UTF-8 becomes U+FFFD.
std::string tableUpperCase(std::string_view utf8);

}  // namespace kq
