#!/usr/bin/env python3
"""Draws the library's two icons and writes them as .ico files beside itself.

calendar.ico (icon 10): a calendar page with a clock face.
picture.ico (icon 11): a framed picture.

Both are 32 x 32 pixels in the 16 standard colours, with a transparency
mask. Run `python3 make_icons.py` to rewrite them (commit them with this
script); `--check` only compares the files with what the script draws.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 32

# The 16 standard colours, in their usual order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    """Pixels by row; None is transparent."""

    def __init__(self):
        self.px = [[None] * SIZE for _ in range(SIZE)]

    def set(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.fill(x0, y0, x1, y0, c)
        self.fill(x0, y1, x1, y1, c)
        self.fill(x0, y0, x0, y1, c)
        self.fill(x1, y0, x1, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c, rim=None):
        """A disc of radius r around the pixel centre (cx, cy); rim: outline colour."""
        for y in range(SIZE):
            for x in range(SIZE):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if d2 <= r * r:
                    inner = d2 <= (r - 1) * (r - 1)
                    self.set(x, y, c if inner or rim is None else rim)


def calendar():
    """A calendar page, rings on top, a red heading and day dots; a clock face over its lower right corner."""
    k = Canvas()
    k.fill(3, 5, 24, 27, WHITE)
    k.fill(4, 6, 23, 10, RED)
    k.frame(3, 5, 24, 27, BLACK)
    k.fill(4, 11, 23, 11, MAROON)
    for x in (8, 19):  # binder rings
        k.fill(x, 2, x + 1, 7, GREY)
        k.fill(x, 2, x + 1, 2, BLACK)
        k.set(x, 7, BLACK)
        k.set(x + 1, 7, BLACK)
    for row in range(4):
        for col in range(6):
            x, y = 6 + col * 3, 14 + row * 3
            k.fill(x, y, x + 1, y + 1, RED if col == 0 else (BLUE if col == 5 else GREY))
    k.disc(22.5, 22.5, 8.5, YELLOW, rim=NAVY)
    k.disc(22.5, 22.5, 7.5, YELLOW, rim=BLUE)
    for x, y in ((22, 16), (23, 16), (29, 22), (29, 23), (22, 29), (23, 29), (16, 22), (16, 23)):
        k.set(x, y, NAVY)  # the 12, 3, 6 and 9 o'clock marks
    k.line(22, 22, 22, 17, BLACK)  # minute hand
    k.line(23, 22, 26, 22, BLACK)  # hour hand
    k.set(22, 22, RED)
    k.set(23, 23, RED)
    k.set(22, 23, RED)
    k.set(23, 22, RED)
    return k


def picture():
    """A landscape in a wooden frame hung from a nail."""
    k = Canvas()
    k.line(16, 1, 5, 6, BLACK)  # hanging cord
    k.line(16, 1, 26, 6, BLACK)
    k.set(16, 1, GREY)
    k.fill(1, 5, 30, 29, OLIVE)
    k.frame(1, 5, 30, 29, BLACK)
    k.fill(2, 6, 29, 6, YELLOW)  # light on the upper and left edges
    k.fill(2, 6, 2, 28, YELLOW)
    k.frame(5, 9, 26, 25, BLACK)
    k.fill(6, 10, 25, 24, AQUA)
    k.disc(17.5, 13.5, 2.9, YELLOW)  # sun
    for x in range(6, 26):  # mountain
        top = 13 + abs(x - 11)
        if top <= 24:
            k.fill(x, top, x, 24, TEAL)
            k.set(x, top, NAVY)
    k.fill(10, 14, 12, 15, WHITE)  # snow cap
    k.set(11, 13, WHITE)
    for x in range(6, 26):  # meadow
        top = 21 + (1 if (x // 4) % 2 else 0)
        k.fill(x, top, x, 24, GREEN)
        k.set(x, top, LIME)
    k.fill(22, 19, 23, 21, MAROON)  # tree
    k.disc(22.5, 17.5, 2.2, GREEN)
    return k


def ico(canvas):
    """A single-image .ico: 32 x 32, 4 bits per pixel, with an AND mask."""
    rows = []
    mask = []
    for y in reversed(range(SIZE)):  # bottom row first
        line = canvas.px[y]
        row = bytearray()
        for x in range(0, SIZE, 2):
            a, b = line[x] or 0, line[x + 1] or 0
            row.append(a << 4 | b)
        rows.append(bytes(row))
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (1 if line[x] is None else 0)
        mask.append(struct.pack(">I", bits))
    xor = b"".join(rows)
    andmask = b"".join(mask)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    image = header + palette + xor + andmask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


ICONS = {"calendar.ico": calendar, "picture.ico": picture}


def main():
    check = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check:
        sys.exit("usage: make_icons.py [--check]")
    stale = []
    for name, draw in ICONS.items():
        path = os.path.join(HERE, name)
        data = ico(draw())
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        sys.exit("icons differ from what make_icons.py draws: " + ", ".join(stale))


if __name__ == "__main__":
    main()
