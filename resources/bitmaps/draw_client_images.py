#!/usr/bin/env python3
"""Writes the client list's icon strips.

ClientImages16.bmp holds three 16x16 images side by side, ClientImages32.bmp
the same three at 32x32, each drawn at its own size: 0 a desktop computer,
1 a monitor with a network cable (a client on another machine), 2 a handset
with a person behind it, the picture every row of the list shows. The list
loads the strips without a mask, so everything is drawn on white.
The .bmp files are committed; run this again after editing a drawing:
    python3 draw_client_images.py [output-folder]
"""
import math
import sys
from pathlib import Path

from draw_list_images import INDEX, bmp_bytes, pixel_rows, strip
from draw_phone_images import Canvas

# At 16x16 scaled shapes lose their outlines, so the small pictures are drawn
# pixel by pixel.
SMALL_COMPUTER = """
    WWWWWWWWWWWWWWWW
    WKKKKKKKKKKKKKKW
    WK............KW
    WK.bbbbbbbbbb.KW
    WK.bCCBBBBBBb.KW
    WK.bCBBBBBBBb.KW
    WK.bBBBBBBBBb.KW
    WK.bBBBBBBBBb.KW
    WK.bbbbbbbbbb.KW
    WK............KW
    WKKKKKKKKKKKKKKW
    WWWWWWKddKWWWWWW
    WWWWWWKddKWWWWWW
    WWWWKKKKKKKKWWWW
    WWWKddddddddKWWW
    WWWKKKKKKKKKKWWW
"""

SMALL_REMOTE = """
    WWWWWWWWWWWWWWWW
    KKKKKKKKKKKWWWWW
    K.........KWWWWW
    K.bbbbbbb.KWWWWW
    K.bCBBBBb.KKKKWW
    K.bBBBBBb.KWWKWW
    K.bBBBBBb.KWWKWW
    K.bbbbbbb.KWWKWW
    K.........KWWKWW
    KKKKKKKKKKKWWKWW
    WWWWKddKWWWKKKKK
    WWWWKddKWWWKdddK
    WWKKKKKKKKWKdddK
    WWKddddddKWKdddK
    WWKKKKKKKKWKKKKK
    WWWWWWWWWWWWyWyW
"""

# Shared with the object tree, which takes white as transparent: nothing inside
# the outlines is pure white.
SMALL_USER = """
    WWWWWWWWWbbbbWWW
    WWWWWWWWbBBBBbWW
    WWWWWWWWbBBBBbWW
    WWWWWWWWbBBBBbWW
    WWWWWWWWWbbbbWWW
    WWWWWWWWWWWWWWWW
    WKKWWWWbbbbbbbbW
    KKKKWWbBBBBBBBBb
    KKKKWbBBBBBBBBBb
    WKKKWbBBBBBBBBBb
    WKKKWWBBBBBBBBBb
    WWKKKWWWBBBBBBBb
    WWWKKKWWWWWBBBBb
    WWWWKKKKKKWWBBBb
    WWWWWKKKKKKWBBBb
    WWWWWWKKKKWWBBBb
"""


def disc(c, cx, cy, rx, ry, fill, edge, top=0, bottom=31):
    """An ellipse in 32x32 units with a one-pixel edge, cut to rows top..bottom."""
    s = c.size / 32
    for y in range(c.size):
        for x in range(c.size):
            ux, uy = (x + 0.5) / s - 0.5, (y + 0.5) / s - 0.5
            if not top <= uy <= bottom:
                continue
            d = ((ux - cx) / rx) ** 2 + ((uy - cy) / ry) ** 2
            if d <= 1:
                inner = ((ux - cx) / (rx - 1.2)) ** 2 + ((uy - cy) / (ry - 1.2)) ** 2
                c.pixels[y][x] = INDEX[fill if inner <= 1 else edge]


def monitor(c, x0, y0, x1, y1):
    """A silver-framed screen with a highlight in its upper left corner."""
    c.box(x0, y0, x1, y1, ".")
    c.round_corners(x0, y0, x1, y1)
    c.box(x0 + 3, y0 + 3, x1 - 3, y1 - 3, "B", "b")
    c.rect(x0 + 5, y0 + 5, x0 + 8, y0 + 5, "C")
    c.rect(x0 + 5, y0 + 6, x0 + 5, y0 + 7, "C")


def computer(c):
    # A monitor on a neck and foot.
    monitor(c, 2, 2, 29, 22)
    c.box(13, 23, 18, 26, "d")
    c.box(8, 26, 23, 30, "d")
    c.round_corners(8, 26, 23, 30)


def remote(c):
    # A smaller monitor whose cable runs out to a plug: the client is elsewhere.
    monitor(c, 1, 1, 21, 17)
    c.box(8, 18, 13, 21, "d")
    c.box(4, 21, 17, 24, "d")
    c.rect(22, 7, 27, 8, "K")
    c.rect(26, 7, 27, 19, "K")
    c.box(22, 19, 31, 27, "d")
    c.rect(24, 28, 25, 31, "y")
    c.rect(28, 28, 29, 31, "y")


def capsules(c, parts, colour, grow=0.0):
    """Fills every pixel within a radius of a segment; parts are (x0, y0, x1, y1, radius)
    in 32x32 units. grow widens them all, for a halo."""
    s = c.size / 32
    for y in range(c.size):
        for x in range(c.size):
            ux, uy = (x + 0.5) / s - 0.5, (y + 0.5) / s - 0.5
            for x0, y0, x1, y1, radius in parts:
                dx, dy = x1 - x0, y1 - y0
                t = max(0.0, min(1.0, ((ux - x0) * dx + (uy - y0) * dy) / (dx * dx + dy * dy)))
                if math.hypot(ux - x0 - t * dx, uy - y0 - t * dy) <= radius + grow:
                    c.pixels[y][x] = INDEX[colour]
                    break


# The receiver seen from its side: an upright ear cup, the grip running down to the
# right, and the mouth cup lying flat.
RECEIVER = [(3, 12, 4, 18, 3.4), (4, 17, 10, 25, 2.1), (10, 27, 17, 25, 3.4)]


def user(c):
    # A person in blue behind a black handset, kept apart by a strip of white.
    disc(c, 21.5, 6.5, 6, 6, "B", "b")
    disc(c, 21.5, 33, 11.5, 18.5, "B", "b", top=14)
    capsules(c, RECEIVER, "W", grow=1.8)
    capsules(c, RECEIVER, "K")


def images(size):
    """The three images of one size, in icon-index order."""
    if size == 16:
        return [pixel_rows(n, art) for n, art in enumerate((SMALL_COMPUTER, SMALL_REMOTE, SMALL_USER))]
    result = []
    for draw in (computer, remote, user):
        c = Canvas(size)
        draw(c)
        result.append(c.pixels)
    return result


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    (out / "ClientImages16.bmp").write_bytes(bmp_bytes(strip(images(16))))
    (out / "ClientImages32.bmp").write_bytes(bmp_bytes(strip(images(32))))


if __name__ == "__main__":
    main()
