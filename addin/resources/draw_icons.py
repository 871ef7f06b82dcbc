#!/usr/bin/env python3
"""Draws the add-in's pictures: its two button icons as .ico files and the
about box's logo as a GIF file.

Each icon file holds one 16 x 16 picture at 4 bits per pixel (the 16 standard
colours) and one at 8 bits per pixel (a 256-colour table that begins with the
same 16 colours), with a mask for the transparent pixels, as the host's
button faces take them. The logo is a 24 x 24 GIF89a in the 16 standard
colours, one of them (unused by the drawing) marked transparent.

usage: draw_icons.py <output folder>
"""

import os
import struct
import sys

# The 16 standard colours, as (red, green, blue).
STANDARD = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Letters of the drawings: the index of their colour; "." is transparent.
INK = {"K": 0, "N": 3, "B": 4, "S": 7, "G": 8, "L": 10, "C": 14, "W": 15}

# A printer with a magnifying glass over its output: watching this sheet's prints.
THIS_SHEET = [
    "...KKKKKKKK.....",
    "...KWWWWWWK.....",
    "...KWKKKKWK.....",
    "...KWWWWWWK.....",
    ".KKKKKKKKKKKK...",
    "KSSSSSSSSSSSSK..",
    "KSSSSSSSSSSLSK..",
    "KGGGGGGGGGGGGK..",
    "KSSSSSSBBBBSSK..",
    "KKKKKKBCCWCBKK..",
    "...KWBCCCCWCB...",
    "...KWBCCCCCCB...",
    "...KKBCCCCCCB...",
    "......BCCCCB....",
    ".......BBBBNN...",
    "...........NNN..",
]

# A printer with a stack of printed pages: the history of prints.
OPEN_HISTORY = [
    "...KKKKKKKKK....",
    "...KWWWWWWWK....",
    ".KKKKKKKKKKKKK..",
    "KSSSSSSSSSSSSSK.",
    "KSSSSSSSSSSSLSK.",
    "KGGGGGGGGGGGGGK.",
    "KKKKKKKKKKKKKKK.",
    ".KKKKKKKKKK.....",
    ".KWWWWWWWWKKK...",
    ".KWKKKKKKWKWKKK.",
    ".KWWWWWWWWKWKWK.",
    ".KWKKKKKKWKWKWK.",
    ".KWWWWWWWWKWKWK.",
    ".KKKKKKKKKKWKWK.",
    "...KKKKKKKKKKWK.",
    ".....KKKKKKKKKK.",
]

# A printed page and a clock: the history of prints, for the about box.
LOGO = [
    "........................",
    "..KKKKKKKKKKK...........",
    "..KWWWWWWWWWKK..........",
    "..KWWWWWWWWWKSK.........",
    "..KWWWWWWWWWKKKK........",
    "..KWGGGGGGGGGGWK........",
    "..KWWWWWWWWWWWWK........",
    "..KWWWWWWWWWWWWK........",
    "..KWGGGGGGGGGGWK........",
    "..KWWWWWWWWWWWWK........",
    "..KWWWWWWWWWWWBBBBB.....",
    "..KWGGGGGGGGBBBWKWBBB...",
    "..KWWWWWWWWBBWWWKWWWBB..",
    "..KWWWWWWWWBWWWWKWWWWB..",
    "..KWGGGGGGBBWWWWKWWWWBB.",
    "..KWWWWWWWBWWWWWKWWWWWB.",
    "..KWWWWWWWBWWWWWNKKKKWB.",
    "..KWWWWWWWBWWWWWWWWWWWB.",
    "..KWWWWWWWBBWWWWWWWWWBB.",
    "..KWWWWWWWWBWWWWWWWWWB..",
    "..KWWWWWWWWBBWWWWWWWBB..",
    "..KKKKKKKKKKBBBWWWBBB...",
    "..............BBBBB.....",
    "........................",
]

SIZE = 16
# The logo's transparent pixels: magenta, which no drawing uses.
TRANSPARENT = 13


def check(drawing, size=SIZE):
    assert len(drawing) == size, "a drawing has %d rows" % size
    for row in drawing:
        assert len(row) == size, "a row has %d pixels: %s" % (size, row)
        assert all(c == "." or c in INK for c in row), "unknown colour in " + row


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image(drawing, bits):
    """One picture of an icon: header, colour table, colours and mask, rows from the bottom."""
    colours = 1 << bits
    table = STANDARD + [(0, 0, 0)] * (colours - len(STANDARD))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in table)
    pixels = b""
    mask = b""
    for row in reversed(drawing):
        indexes = [INK.get(c, 0) for c in row]
        if bits == 4:
            line = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, SIZE, 2))
        else:
            line = bytes(indexes)
        pixels += padded(line)
        transparent = 0
        for c in row:
            transparent = (transparent << 1) | (1 if c == "." else 0)
        mask += padded(struct.pack(">H", transparent))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + palette + pixels + mask


def icon_file(drawing):
    check(drawing)
    pictures = [(4, image(drawing, 4)), (8, image(drawing, 8))]
    out = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(out) + 16 * len(pictures)
    for bits, data in pictures:
        colour_count = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, data in pictures:
        out += data
    return out


def lzw(indexes, minimum):
    """The pixels as GIF's variable-length LZW codes, least significant bit first."""
    clear, end = 1 << minimum, (1 << minimum) + 1
    table = {(i,): i for i in range(clear)}
    width, next_code = minimum + 1, end + 1
    codes = [(clear, width)]
    run = ()
    for index in indexes:
        longer = run + (index,)
        if longer in table:
            run = longer
            continue
        codes.append((table[run], width))
        # A small picture never fills the table, so it never has to start again.
        assert next_code < 4096, "the picture is too large for one table"
        table[longer] = next_code
        next_code += 1
        if next_code > (1 << width):
            width += 1
        run = (index,)
    codes.append((table[run], width))
    codes.append((end, width))
    bits, count, out = 0, 0, bytearray()
    for code, size in codes:
        bits |= code << count
        count += size
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_file(drawing):
    size = len(drawing)
    check(drawing, size)
    indexes = [TRANSPARENT if c == "." else INK[c] for row in drawing for c in row]
    out = b"GIF89a" + struct.pack("<HHBBB", size, size, 0xF3, 0, 0)  # a global table of 16 colours
    out += b"".join(struct.pack("BBB", *colour) for colour in STANDARD)
    out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, TRANSPARENT, 0)  # the transparent colour
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, size, size, 0)
    minimum = 4
    data = lzw(indexes, minimum)
    out += bytes([minimum])
    for start in range(0, len(data), 255):
        block = data[start:start + 255]
        out += bytes([len(block)]) + block
    return out + b"\0;"


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, drawing in (("icon_thissitecheck.ico", THIS_SHEET), ("icon_openhistory.ico", OPEN_HISTORY)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(icon_file(drawing))
    with open(os.path.join(folder, "about_logo.gif"), "wb") as f:
        f.write(gif_file(LOGO))


if __name__ == "__main__":
    main()
