#!/usr/bin/env python3
"""Writes common/cp932_table.cpp: the tables of the native code-page 932 codec.

Windows' own conversion (WideCharToMultiByte and MultiByteToWideChar on code
page 932, default flags) is what history files hold. glibc's iconv "CP932"
agrees with it but for the codes listed below, which Windows converts
differently: best-fit forms (the yen sign is 0x5C already in iconv), single
bytes of their own, and "?" for the JIS dashes and wave that iconv writes as
the Windows forms they look like. The tables are iconv's answers for every
character and every byte pair, with those codes put right. A test under Wine
compares every entry with the system's conversion.

    python3 tools/cp932/make_cp932_table.py > common/cp932_table.cpp
"""

import ctypes
import sys

# Character -> the bytes Windows writes for it, where iconv's differ.
WINDOWS_CODES = {
    0x0080: b"\x80", 0x00A1: b"!", 0x00A6: b"|", 0x00A9: b"c", 0x00AA: b"a", 0x00AB: b"\x81\xe1",
    0x00AD: b"-", 0x00AE: b"R", 0x00AF: b"\x81\x50", 0x00B2: b"2", 0x00B3: b"3", 0x00B5: b"\x83\xca",
    0x00B7: b"\x81\x45", 0x00B8: b"\x81\x43", 0x00B9: b"1", 0x00BA: b"o", 0x00BB: b"\x81\xe2", 0x00C0: b"A",
    0x00C1: b"A", 0x00C2: b"A", 0x00C3: b"A", 0x00C4: b"A", 0x00C5: b"A", 0x00C6: b"A", 0x00C7: b"C",
    0x00C8: b"E", 0x00C9: b"E", 0x00CA: b"E", 0x00CB: b"E", 0x00CC: b"I", 0x00CD: b"I", 0x00CE: b"I",
    0x00CF: b"I", 0x00D0: b"D", 0x00D1: b"N", 0x00D2: b"O", 0x00D3: b"O", 0x00D4: b"O", 0x00D5: b"O",
    0x00D6: b"O", 0x00D8: b"O", 0x00D9: b"U", 0x00DA: b"U", 0x00DB: b"U", 0x00DC: b"U", 0x00DD: b"Y",
    0x00DE: b"T", 0x00DF: b"s", 0x00E0: b"a", 0x00E1: b"a", 0x00E2: b"a", 0x00E3: b"a", 0x00E4: b"a",
    0x00E5: b"a", 0x00E6: b"a", 0x00E7: b"c", 0x00E8: b"e", 0x00E9: b"e", 0x00EA: b"e", 0x00EB: b"e",
    0x00EC: b"i", 0x00ED: b"i", 0x00EE: b"i", 0x00EF: b"i", 0x00F0: b"d", 0x00F1: b"n", 0x00F2: b"o",
    0x00F3: b"o", 0x00F4: b"o", 0x00F5: b"o", 0x00F6: b"o", 0x00F8: b"o", 0x00F9: b"u", 0x00FA: b"u",
    0x00FB: b"u", 0x00FC: b"u", 0x00FD: b"y", 0x00FE: b"t", 0x00FF: b"y", 0x2014: b"?", 0x2016: b"?",
    0x203E: b"?", 0x2212: b"?", 0x301C: b"?", 0x3094: b"\x83\x94", 0xF8F0: b"\xa0", 0xF8F1: b"\xfd",
    0xF8F2: b"\xfe", 0xF8F3: b"\xff",
}
# Single bytes Windows reads as characters of their own where iconv has none.
WINDOWS_CHARACTERS = {0x80: 0x0080, 0xA0: 0xF8F0, 0xFD: 0xF8F1, 0xFE: 0xF8F2, 0xFF: 0xF8F3}

# What Windows reads for a byte sequence the code page does not define, and
# writes for a character it lacks.
DEFAULT_CHARACTER = 0x30FB
DEFAULT_BYTE = ord("?")
LEAD_BYTES = [b for b in range(0x81, 0x100) if 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC]


class Iconv:
    def __init__(self, to, frm):
        self.libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        self.libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
        self.cd = self.libc.iconv_open(to.encode(), frm.encode())
        if self.cd in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv cannot convert {frm} to {to}")

    def convert(self, data):
        """The whole of `data` converted, or None when iconv refuses any of it."""
        self.libc.iconv(self.cd, None, None, None, None)
        src = ctypes.create_string_buffer(data, len(data))
        dst = ctypes.create_string_buffer(16)
        src_ptr = ctypes.c_char_p(ctypes.addressof(src))
        dst_ptr = ctypes.c_char_p(ctypes.addressof(dst))
        src_left = ctypes.c_size_t(len(data))
        dst_left = ctypes.c_size_t(16)
        rc = self.libc.iconv(self.cd, ctypes.byref(src_ptr), ctypes.byref(src_left),
                             ctypes.byref(dst_ptr), ctypes.byref(dst_left))
        if rc == ctypes.c_size_t(-1).value or src_left.value != 0:
            return None
        return dst.raw[:16 - dst_left.value]


def decoded(iconv, data):
    out = iconv.convert(data)
    if out is None or len(out) != 2:
        return None
    return int.from_bytes(out, "little")


def main():
    to_unicode = Iconv("UTF-16LE", "CP932")
    to_cp932 = Iconv("CP932", "UTF-16LE")

    single = []
    for b in range(256):
        if b in LEAD_BYTES:
            single.append(DEFAULT_CHARACTER)  # a lead byte with nothing after it
        elif b in WINDOWS_CHARACTERS:
            single.append(WINDOWS_CHARACTERS[b])
        else:
            c = decoded(to_unicode, bytes([b]))
            single.append(DEFAULT_CHARACTER if c is None else c)

    double = []
    for lead in LEAD_BYTES:
        for trail in range(0x40, 0xFD):  # kFirstTrail .. 0xFC
            c = decoded(to_unicode, bytes([lead, trail]))
            double.append(DEFAULT_CHARACTER if c is None else c)

    encoded = []
    for c in range(0x10000):
        if 0xD800 <= c <= 0xDFFF:
            code = bytes([DEFAULT_BYTE])
        elif c in WINDOWS_CODES:
            code = WINDOWS_CODES[c]
        else:
            code = to_cp932.convert(c.to_bytes(2, "little")) or bytes([DEFAULT_BYTE])
        encoded.append(int.from_bytes(code, "big"))

    # The encoding table in pages of 256 characters; pages that are alike are kept once.
    pages, page_of = [], []
    for start in range(0, 0x10000, 256):
        page = tuple(encoded[start:start + 256])
        if page not in pages:
            pages.append(page)
        page_of.append(pages.index(page))

    w = sys.stdout.write
    w("// Generated by tools/cp932/make_cp932_table.py from glibc's iconv \"CP932\" and the\n")
    w("// codes Windows converts otherwise. Do not edit: run the script again.\n\n")
    w('#include "common/cp932_table.h"\n\nnamespace kq::cp932 {\n\n')
    w("const char16_t kSingleByte[256] = {\n")
    rows(w, single, "0x{:04X}")
    w("};\n\n")
    w("const char16_t kDoubleByte[kLeadCount][kTrailCount] = {\n")
    for i in range(len(LEAD_BYTES)):
        w("    {\n")
        rows(w, double[i * 189:(i + 1) * 189], "0x{:04X}", indent="        ")
        w("    },\n")
    w("};\n\n")
    w("const std::uint8_t kEncodingPageOf[256] = {\n")
    rows(w, page_of, "{}")
    w("};\n\n")
    w(f"const std::uint16_t kEncodingPages[{len(pages)}][256] = {{\n")
    for page in pages:
        w("    {\n")
        rows(w, page, "0x{:04X}", indent="        ")
        w("    },\n")
    w("};\n\n}  // namespace kq::cp932\n")


def rows(w, values, fmt, indent="    "):
    for i in range(0, len(values), 12):
        w(indent + ", ".join(fmt.format(v) for v in values[i:i + 12]) + ",\n")


if __name__ == "__main__":
    main()
