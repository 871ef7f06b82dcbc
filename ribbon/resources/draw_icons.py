#!/usr/bin/env python3
"""Draws the ribbon bridge's 48 x 48 pictures and writes them as RGBA PNG files.

    draw_icons.py <output folder>

thissheetcheck.png   a printer with a magnifying glass (this sheet is not watched)
thissheetcheck2.png  the same with a check mark (this sheet is watched)
openhistory.png      a printer with a stack of printed pages

Shapes are drawn at four times the size and averaged down, so edges are smooth.
Only the standard library is used: the PNG is written here, compressed by zlib.
"""

import struct
import sys
import zlib
from pathlib import Path

SIZE = 48
SCALE = 4

INK = (52, 60, 72, 255)
BODY = (122, 134, 153, 255)
BODY_TOP = (170, 181, 197, 255)
PAPER = (255, 255, 255, 255)
TEXT = (150, 160, 175, 255)
LAMP = (64, 190, 90, 255)
LENS = (190, 225, 255, 170)
RIM = (40, 70, 120, 255)
HANDLE = (110, 70, 40, 255)
CHECK = (30, 150, 60, 255)
HALO = (255, 255, 255, 255)


class Canvas:
    def __init__(self):
        n = SIZE * SCALE
        self.n = n
        # Premultiplied RGBA, floats 0..1.
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(n * n)]

    def paint(self, inside, color):
        """Paints `color` over every sample whose centre (in 48-unit space) `inside` accepts."""
        r, g, b, a = (c / 255.0 for c in color)
        for y in range(self.n):
            fy = (y + 0.5) / SCALE
            row = y * self.n
            for x in range(self.n):
                if inside((x + 0.5) / SCALE, fy):
                    p = self.px[row + x]
                    keep = 1.0 - a
                    p[0] = r * a + p[0] * keep
                    p[1] = g * a + p[1] * keep
                    p[2] = b * a + p[2] * keep
                    p[3] = a + p[3] * keep

    def rows(self):
        """The 48 x 48 picture as straight-alpha RGBA rows of bytes."""
        out = []
        area = SCALE * SCALE
        for y in range(SIZE):
            row = bytearray()
            for x in range(SIZE):
                acc = [0.0, 0.0, 0.0, 0.0]
                for dy in range(SCALE):
                    base = (y * SCALE + dy) * self.n + x * SCALE
                    for dx in range(SCALE):
                        p = self.px[base + dx]
                        for i in range(4):
                            acc[i] += p[i]
                alpha = acc[3] / area
                if alpha <= 0:
                    row += bytes(4)
                    continue
                row += bytes(min(255, round(acc[i] / area / alpha * 255)) for i in range(3))
                row.append(min(255, round(alpha * 255)))
            out.append(bytes(row))
        return out


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 + 1e-9
    return inside


def framed(canvas, x0, y0, x1, y1, fill, radius=0.0, line=1.0):
    canvas.paint(rect(x0, y0, x1, y1, radius), INK)
    canvas.paint(rect(x0 + line, y0 + line, x1 - line, y1 - line, max(0.0, radius - line)), fill)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= (width / 2) ** 2
    return inside


def polyline(canvas, points, width, color):
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        canvas.paint(segment(ax, ay, bx, by, width), color)


def text_lines(canvas, x0, x1, ys):
    for y in ys:
        canvas.paint(rect(x0, y, x1, y + 1.2), TEXT)


def printer(canvas, x, y, s):
    """A printer whose body spans 36 x 30 units at scale `s`, its top-left at (x, y)."""
    def at(px, py):
        return x + px * s, y + py * s
    framed(canvas, *at(8, 0), *at(28, 14), PAPER, line=s)
    text_lines(canvas, x + 11 * s, x + 25 * s, [y + 4 * s, y + 7 * s, y + 10 * s])
    framed(canvas, *at(0, 12), *at(36, 28), BODY, radius=3 * s, line=s)
    canvas.paint(rect(*at(2, 13.5), *at(34, 17), 1.5 * s), BODY_TOP)
    canvas.paint(disc(*at(31, 20), 1.6 * s), LAMP)
    framed(canvas, *at(7, 24), *at(29, 30), PAPER, line=s)
    text_lines(canvas, x + 10 * s, x + 26 * s, [y + 27 * s])


def magnifier(canvas):
    canvas.paint(segment(37.5, 37.5, 45, 45, 5.5), INK)
    canvas.paint(segment(37.5, 37.5, 45, 45, 3.5), HANDLE)
    canvas.paint(disc(32, 32, 10), RIM)
    canvas.paint(disc(32, 32, 7.5), PAPER)
    canvas.paint(disc(32, 32, 7.5), LENS)
    canvas.paint(segment(28, 28.5, 30.5, 26.5, 1.6), HALO)


def check_mark(canvas):
    points = [(3, 33), (9, 40), (21, 25)]
    polyline(canvas, points, 7.0, HALO)
    polyline(canvas, points, 4.2, CHECK)


def page_stack(canvas):
    for offset in (0, 3, 6):
        x0, y0 = 22 + offset, 17 + offset
        framed(canvas, x0, y0, x0 + 18, y0 + 24, PAPER)
    text_lines(canvas, 31, 43, [27, 30, 33, 36, 39])


def this_sheet_check(watched):
    canvas = Canvas()
    printer(canvas, 1, 2, 1.0)
    magnifier(canvas)
    if watched:
        check_mark(canvas)
    return canvas


def open_history():
    canvas = Canvas()
    printer(canvas, 1, 3, 0.72)
    page_stack(canvas)
    return canvas


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8 bits, RGBA, deflate, no filter choice, no interlace
    raw = b"".join(b"\x00" + row for row in rows)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    pictures = {
        "thissheetcheck.png": this_sheet_check(False),
        "thissheetcheck2.png": this_sheet_check(True),
        "openhistory.png": open_history(),
    }
    for name, canvas in pictures.items():
        (folder / name).write_bytes(png(canvas.rows()))


if __name__ == "__main__":
    main()
