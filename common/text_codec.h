#pragma once
// Text inside the program is UTF-8. Stored formats (history files, the viewer's
// hand-over message) carry the system's ANSI code page, and Win32 W functions
// take UTF-16; every conversion between them goes through this unit.

#include <string>
#include <string_view>

namespace kq {

// Converts between UTF-8 and the system's ANSI code page (932 on Japanese Windows).
class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    // As the system converts: a character the code page cannot hold becomes its
    // best-fit form (the yen sign 0x5C, "é" "e"), or "?" where there is none.
    virtual std::string toAnsi(std::string_view utf8) const = 0;
    // A byte sequence that is not valid in the code page becomes U+FFFD or the
    // code page's default character; the conversion never fails.
    virtual std::string fromAnsi(std::string_view ansi) const = 0;
    // True for the first byte of a double-byte character.
    virtual bool isLeadByte(unsigned char byte) const = 0;
};

// The codec of the running system: the ANSI code page of the system on
// Windows; elsewhere code page 932 as Windows converts it (cp932Codec), so
// that tests can check the bytes of Japanese text.
const AnsiCodec& systemAnsiCodec();

// Code page 932 as Windows converts it, best-fit forms included, by tables of
// our own (see tools/cp932): no call into any library per text.
const AnsiCodec& cp932Codec();

// The longest prefix of `ansi` that is at most `maxBytes` long and does not end
// inside a double-byte character.
std::string_view cutAtCharacter(std::string_view ansi, std::size_t maxBytes, const AnsiCodec& codec);

// UTF-8 <-> UTF-16. Ill-formed input (bad bytes, lone surrogates) becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Appends one code point (up to U+10FFFF, no surrogate) in UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point at `i` and moves `i` past it. An ill-formed sequence
// (overlong, surrogate, out of range, cut short) gives U+FFFD and moves one
// byte on, so that decoding always advances.
char32_t decodeUtf8(std::string_view utf8, std::size_t& i);

}  // namespace kq
