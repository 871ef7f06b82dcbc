#!/usr/bin/env python3
"""Draws the viewer's pictures and writes them with the files that embed and find them.

    draw_pictures.py <output folder>

For each image list one bitmap strip: its pictures side by side, 24 bits per
pixel, the parts to leave transparent in the mask colour. The magnifier's
lens as a 24-bit bitmap of its own. The program icon as an .ico file with 16,
32 and 48 pixel pictures of 32 bits (alpha). Then viewer_pictures.rc, the
resource lines for all of them, and viewer_pictures.h, which tells the program
the resource names, sizes and keys of the pictures in strip order: this file is
the one place that knows them.

Shapes are sampled 4 x 4 times per pixel: where they meet inside a picture
the edge is smooth; the outline against the transparent part stays hard, as
a mask takes it.
"""

import math
import struct
import sys
from pathlib import Path

MASK = (255, 0, 255)
SAMPLES = 4

# Colours of the drawings.
INK = (40, 48, 60)
PAPER = (255, 255, 255)
GRID = (170, 178, 190)
SHADE = (222, 226, 232)
GREEN = (36, 128, 64)
GREEN_LIGHT = (168, 216, 176)
BLUE = (40, 96, 184)
BLUE_LIGHT = (176, 206, 244)
RED = (200, 36, 36)
RED_DARK = (150, 20, 20)
YELLOW = (250, 214, 80)
SKIN = (244, 204, 164)
BROWN = (120, 76, 40)
GREY = (128, 128, 128)
GREY_LIGHT = (192, 192, 192)
VIEW_BACKGROUND = (252, 252, 252)  # the page view's back colour, under the shadow


# Shapes: functions of a sample point (x, y) in pixels, true inside.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= (width / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        crossings = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                crossings = not crossings
        return crossings
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def framed(x0, y0, x1, y1, fill, line=INK):
    """A filled rectangle with a one-pixel border."""
    return [(rect(x0, y0, x1, y1), line), (rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), fill)]


def render(width, height, layers):
    """Straight RGBA pixels (floats, 0..1 alpha) of the layers painted in order."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                y = py + (sy + 0.5) / SAMPLES
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    sample = [0.0, 0.0, 0.0, 0.0]  # premultiplied
                    for inside, colour in layers:
                        if inside(x, y):
                            a = colour[3] / 255.0 if len(colour) == 4 else 1.0
                            for i in range(3):
                                sample[i] = colour[i] / 255.0 * a + sample[i] * (1 - a)
                            sample[3] = a + sample[3] * (1 - a)
                    for i in range(4):
                        acc[i] += sample[i]
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            colour = tuple(acc[i] / n / alpha if alpha > 0 else 0.0 for i in range(3))
            row.append(colour + (alpha,))
        rows.append(row)
    return rows


def masked(pixels):
    """Opaque 8-bit RGB, the mask colour where less than half is covered."""
    out = []
    for row in pixels:
        line = []
        for r, g, b, a in row:
            if a < 0.5:
                line.append(MASK)
            else:
                colour = tuple(min(255, round(c * 255)) for c in (r, g, b))
                assert colour != MASK, "a drawing uses the mask colour"
                line.append(colour)
        out.append(line)
    return out


# The main toolbar, 24 x 24: the four groupings, then the two layouts.

def card(x, y, layers):
    """A card of the card bar: a workbook mark and two lines of text."""
    layers += framed(x, y, x + 14, y + 12, PAPER)
    layers += [(rect(x + 2, y + 2, x + 6, y + 6), GREEN), (rect(x + 7, y + 3, x + 12, y + 4), GREY),
               (rect(x + 2, y + 8, x + 12, y + 9), GREY)]


def id_all():
    layers = []
    for offset in (0, 3, 6):
        card(3 + 6 - offset, 3 + offset, layers)
    return layers


def sheet(x0, y0, x1, y1, step, header=GREEN_LIGHT):
    """A worksheet: a header row, then grid lines every `step` pixels."""
    layers = framed(x0, y0, x1, y1, PAPER)
    layers.append((rect(x0 + 1, y0 + 1, x1 - 1, y0 + step), header))
    for y in range(y0 + step, y1 - 1, step):
        layers.append((rect(x0 + 1, y, x1 - 1, y + 1), GRID))
    for x in range(x0 + step, x1 - 1, step):
        layers.append((rect(x, y0 + 1, x + 1, y1 - 1), GRID))
    return layers


def id_sheet():
    return sheet(3, 3, 21, 21, 4)


def id_version():
    layers = sheet(2, 2, 18, 18, 4)
    layers += [(polygon([(10, 13), (23, 13), (23, 22), (10, 22)]), INK),
               (rect(11, 14, 22, 21), YELLOW)]
    # "ID" in a five-pixel font.
    layers += [(rect(13, 15, 14, 20), INK),
               (rect(16, 15, 17, 20), INK), (rect(17, 15, 19, 16), INK), (rect(17, 19, 19, 20), INK),
               (rect(19, 16, 20, 19), INK)]
    return layers


def tag(y, colour):
    """A label tag pointing left, with its hole."""
    points = [(3, y + 3), (7, y), (21, y), (21, y + 6), (7, y + 6)]
    return [(polygon(points), INK),
            (polygon([(4.4, y + 3), (7.4, y + 1), (20, y + 1), (20, y + 5), (7.4, y + 5)]), colour),
            (disc(8.5, y + 3, 1.2), PAPER)]


def id_category():
    return tag(2, RED) + tag(9, GREEN_LIGHT) + tag(16, BLUE_LIGHT)


def window(dividers):
    """A window with a title bar; `dividers` are the rectangles of its panes' borders."""
    layers = framed(2, 3, 22, 21, PAPER)
    layers.append((rect(3, 4, 21, 7), BLUE))
    layers.append((rect(3, 7, 21, 8), INK))
    layers += [(rect(*d), INK) for d in dividers]
    return layers


def style_three():
    return window([(8, 8, 9, 20), (15, 8, 16, 20)]) + [(rect(3, 8, 8, 20), SHADE)]


def style_two():
    return window([(8, 8, 9, 20), (9, 13, 21, 14)]) + [(rect(3, 8, 8, 20), SHADE)]


# Small pictures, 16 x 16.

def search():
    return [(segment(10, 10, 14.2, 14.2, 3.4), INK), (segment(10.5, 10.5, 13.8, 13.8, 1.8), BROWN),
            (disc(6.5, 6.5, 5.2), INK), (disc(6.5, 6.5, 3.8), BLUE_LIGHT),
            (segment(4.5, 6, 6, 4.5, 1.2), PAPER)]


def delete():
    return [(segment(4, 4, 12, 12, 3.2), RED_DARK), (segment(12, 4, 4, 12, 3.2), RED_DARK),
            (segment(4, 4, 12, 12, 1.8), RED), (segment(12, 4, 4, 12, 1.8), RED)]


def arrow(pointing_left, face, outline, emboss=None):
    tip, base = (4, 11.5) if pointing_left else (12, 4.5)
    points = [(base, 2.5), (base, 13.5), (tip, 8)]
    inner = [(base + (0.8 if pointing_left else -0.8), 4.2), (base + (0.8 if pointing_left else -0.8), 11.8),
             (tip + (1.4 if pointing_left else -1.4), 8)]
    layers = []
    if emboss:
        layers.append((polygon([(x + 1, y + 1) for x, y in points]), emboss))
    return layers + [(polygon(points), outline), (polygon(inner), face)]


def user():
    shoulders = rect(0, 0, 16, 15)
    return [(both(disc(8, 16, 6.8), shoulders), INK), (both(disc(8, 16, 5.8), rect(0, 0, 16, 14)), BLUE),
            (disc(8, 5.5, 3.8), INK), (disc(8, 5.5, 2.8), SKIN)]


def error():
    return [(disc(8, 8, 7.5), RED_DARK), (disc(8, 8, 6.5), RED),
            (segment(5.5, 5.5, 10.5, 10.5, 2), PAPER), (segment(10.5, 5.5, 5.5, 10.5, 2), PAPER)]


def book():
    """A workbook: a green cover over its pages."""
    return (framed(4, 2, 15, 15, PAPER)
            + [(rect(5, 12, 14, 13), GRID), (rect(5, 10, 14, 11), GRID)]
            + framed(1, 1, 12, 13, GREEN)
            + [(rect(2, 2, 4, 12), (24, 90, 44)), (rect(6, 4, 10, 8), PAPER), (rect(7, 5, 9, 7), GREEN)])


def worksheet():
    return sheet(1, 2, 15, 15, 4, header=SHADE) + [(rect(2, 3, 5, 6), GREEN_LIGHT)]


# The page's drop shadow, 8 x 8 tiles drawn over the view's background: five
# pixels wide, starting four pixels down and right of the page's corners.

SHADOW_DEPTH = [0.34, 0.24, 0.15, 0.08, 0.03]
SHADOW_INSET = 4


def shadow_over_background(depth):
    return tuple(round(c * (1 - depth)) for c in VIEW_BACKGROUND)


def shadow_tile(distance):
    """`distance(x, y)` is how far a pixel is from the page's edge, None where no shadow falls."""
    rows = []
    for y in range(8):
        row = []
        for x in range(8):
            d = distance(x, y)
            index = None if d is None else math.floor(d)
            row.append(shadow_over_background(SHADOW_DEPTH[index])
                       if index is not None and index < len(SHADOW_DEPTH) else MASK)
        rows.append(row)
    return rows


def shadow_tiles():
    inset = SHADOW_INSET
    return {
        "RIGHT": shadow_tile(lambda x, y: x),
        "BOTTOM": shadow_tile(lambda x, y: y),
        "TOPRIGHT": shadow_tile(lambda x, y: x if y >= inset else None),
        "BOTTOMLEFT": shadow_tile(lambda x, y: y if x >= inset else None),
        "BOTTOMRIGHT": shadow_tile(lambda x, y: math.hypot(x, y)),
    }


# The splitters' grips: two rows of raised dots along the bar.

def grip():
    """The vertical splitters' grip, 5 x 20; the horizontal one is it turned."""
    rows = [[MASK] * 5 for _ in range(20)]
    for y in range(1, 18, 3):
        for x in (0, 3):
            rows[y][x] = PAPER
            rows[y + 1][x + 1] = GREY
    return rows


def turned(rows):
    return [list(column) for column in zip(*rows)]


# The magnifier's lens: a white disc whose rim darkens softly to grey.

LENS_SIZE = 235


def lens():
    centre = (LENS_SIZE - 1) / 2
    radius = LENS_SIZE / 2
    rows = []
    for y in range(LENS_SIZE):
        row = []
        for x in range(LENS_SIZE):
            r = math.hypot(x - centre, y - centre) / radius
            t = min(1.0, max(0.0, (r - 0.80) / 0.18))
            level = round(255 - 120 * t * t * (3 - 2 * t))
            row.append((level, level, level))
        rows.append(row)
    return rows


# The program icon: a printed page with a clock over its corner, on a transparent ground.

def program_icon(size):
    s = size / 48.0

    def at(*values):
        return [v * s for v in values]
    layers = [(rect(*at(10, 2, 38, 40)), GREY), (rect(*at(11, 3, 37, 39)), SHADE),
              (rect(*at(5, 6, 33, 44)), INK), (rect(*at(6, 7, 32, 43)), PAPER),
              (rect(*at(6, 7, 32, 13)), GREEN_LIGHT)]
    for y in (17, 22, 27, 32):
        layers.append((rect(*at(10, y, 28, y + 2)), GRID))
    layers += [(disc(*at(34, 34, 13)), INK), (disc(*at(34, 34, 11)), BLUE), (disc(*at(34, 34, 8.5)), PAPER),
               (segment(*at(34, 34, 34, 27.5), max(1.0, 2.2 * s)), INK),
               (segment(*at(34, 34, 39, 36), max(1.0, 2.2 * s)), INK)]
    return render(size, size, layers)


# Files.

def bmp(rows):
    """A 24-bit bitmap file, rows from the bottom as the format keeps them."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = b"".join(bytes(c for (r, g, b) in row for c in (b, g, r)).ljust(stride, b"\0") for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def icon_picture(pixels):
    """One 32-bit picture of an icon file: colours with alpha, then the mask."""
    size = len(pixels)
    colours = b""
    mask = b""
    for row in reversed(pixels):
        for r, g, b, a in row:
            colours += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
        bits = 0
        for _, _, _, a in row:
            bits = (bits << 1) | (1 if a == 0 else 0)
        line = bits.to_bytes((size + 7) // 8, "big")
        mask += line.ljust((len(line) + 3) & ~3, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    return header + colours + mask


def ico(pictures):
    out = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(out) + 16 * len(pictures)
    entries, data = b"", b""
    for size, picture in pictures:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(picture), offset + len(data))
        data += picture
    return out + entries + data


class Strip:
    """An image list: its name in the program and as a resource, the size of one picture, its pictures by key."""

    def __init__(self, name, width, height, pictures):
        self.name, self.width, self.height, self.pictures = name, width, height, pictures
        self.resource = name.upper()

    def rows(self):
        rows = [[] for _ in range(self.height)]
        for key, picture in self.pictures:
            assert len(picture) == self.height and all(len(r) == self.width for r in picture), key
            for y in range(self.height):
                rows[y] += picture[y]
        return rows


def drawn(width, height, layers):
    return masked(render(width, height, layers))


def strips():
    main = [("ID1", id_all()), ("ID2", id_sheet()), ("ID3", id_version()), ("ID4", id_category()),
            ("STYLE2", style_two()), ("STYLE1", style_three())]
    grey_arrow = {"face": GREY_LIGHT, "outline": GREY, "emboss": PAPER}
    colour_arrow = {"face": BLUE_LIGHT, "outline": BLUE}
    return [
        Strip("ImlMain", 24, 24, [(key, drawn(24, 24, layers)) for key, layers in main]),
        Strip("ImlButton", 16, 16, [("DELETE", drawn(16, 16, delete())), ("SEARCH", drawn(16, 16, search()))]),
        Strip("ImlNo0", 16, 16, [("BEFORE", drawn(16, 16, arrow(True, **colour_arrow))),
                                 ("AFTER", drawn(16, 16, arrow(False, **colour_arrow)))]),
        Strip("ImlNo1", 16, 16, [("BEFORE", drawn(16, 16, arrow(True, **grey_arrow))),
                                 ("AFTER", drawn(16, 16, arrow(False, **grey_arrow)))]),
        Strip("ImlList", 16, 16, [("USER", drawn(16, 16, user())), ("ERROR", drawn(16, 16, error()))]),
        Strip("ImlIcon", 16, 16, [("BOOK", drawn(16, 16, book())), ("SHEET", drawn(16, 16, worksheet()))]),
        Strip("ImgShadow", 8, 8, list(shadow_tiles().items())),
        Strip("ImgLeftVertical", 5, 20, [("GRIP", grip())]),
        Strip("ImgLeftHorizontal", 20, 5, [("GRIP", turned(grip()))]),
    ]


def header(all_strips):
    lines = [
        "#pragma once",
        "// Made by viewer/resources/draw_pictures.py: the viewer's pictures as its",
        "// resources hold them. Each image list is a strip of pictures of one size",
        "// in the order of its keys, the mask colour where it is transparent.",
        "",
        "#include <span>",
        "#include <string_view>",
        "",
        "namespace kq::viewer::pictures {",
        "",
        "struct ListSpec {",
        "    const wchar_t* resource;",
        "    int width;",
        "    int height;",
        "    std::span<const std::string_view> keys;",
        "};",
        "",
        "struct PictureSpec {",
        "    const wchar_t* resource;",
        "    int width;",
        "    int height;",
        "};",
        "",
        "// Every bitmap has 24 bits per pixel. Red, green and blue of the transparent parts:",
        "inline constexpr unsigned char kMask[3] = {%d, %d, %d};" % MASK,
        "",
    ]
    for strip in all_strips:
        keys = ", ".join('"%s"' % key for key, _ in strip.pictures)
        lines.append("inline constexpr std::string_view k%sKeys[] = {%s};" % (strip.name, keys))
        lines.append('inline constexpr ListSpec k%s{L"%s", %d, %d, k%sKeys};'
                     % (strip.name, strip.resource, strip.width, strip.height, strip.name))
    lines += [
        "",
        'inline constexpr PictureSpec kLens{L"LENS", %d, %d};' % (LENS_SIZE, LENS_SIZE),
        'inline constexpr const wchar_t* kProgramIcon = L"PROGRAM";',
        "",
        "}  // namespace kq::viewer::pictures",
        "",
    ]
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    all_strips = strips()
    resources = ["// Made by viewer/resources/draw_pictures.py.", 'PROGRAM ICON "program.ico"',
                 'LENS BITMAP "lens.bmp"']
    for strip in all_strips:
        file = strip.resource.lower() + ".bmp"
        (folder / file).write_bytes(bmp(strip.rows()))
        resources.append('%s BITMAP "%s"' % (strip.resource, file))
    (folder / "lens.bmp").write_bytes(bmp(lens()))
    (folder / "program.ico").write_bytes(ico([(size, icon_picture(program_icon(size))) for size in (16, 32, 48)]))
    (folder / "viewer_pictures.rc").write_text("\n".join(resources) + "\n")
    (folder / "viewer_pictures.h").write_text(header(all_strips))


if __name__ == "__main__":
    main()
