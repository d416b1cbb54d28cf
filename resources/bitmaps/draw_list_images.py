#!/usr/bin/env python3
"""Writes the list views' icon strips from the pixel maps below.

ListImages16.bmp holds five 16x16 images side by side, ListImages32.bmp six
32x32 ones (each small map drawn at twice its size, plus a sixth). The lists
load them without a mask, so the maps are drawn on the window's white.
The .bmp files are committed; run this again after editing a map:
    python3 draw_list_images.py [output-folder]
"""
import struct
import sys
from pathlib import Path

# The standard VGA order, which 4-bit DIBs on every Windows version share.
PALETTE = [
    ("K", 0x000000), ("r", 0x800000), ("g", 0x008000), ("y", 0x808000),
    ("b", 0x000080), ("p", 0x800080), ("t", 0x008080), (".", 0xC0C0C0),
    ("d", 0x808080), ("R", 0xFF0000), ("G", 0x00FF00), ("Y", 0xFFFF00),
    ("B", 0x0000FF), ("M", 0xFF00FF), ("C", 0x00FFFF), ("W", 0xFFFFFF),
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}

# In strip order: the index is what a row names as its image.
SMALL = [
    # 0: a plain row mark
    """
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWddddWWWWWW
        WWWWWdbbbbdWWWWW
        WWWWdbBBBBbdWWWW
        WWWWdbBBBBbdWWWW
        WWWWdbBBBBbdWWWW
        WWWWdbBBBBbdWWWW
        WWWWWdbbbbdWWWWW
        WWWWWWddddWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
    """,
    # 1: a usable port, a serial connector with a green light
    """
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WKKKKKKKKKKKKKKW
        WKddddddddddddKW
        WKdWKWKWKWKWKdKW
        WWKddddddddddKWW
        WWKdWKWKWKWKdKWW
        WWWKddddddddKWWW
        WWWWKKKKKKKKWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWGGGWWW
        WWWWWWWWWGGGGGWW
        WWWWWWWWWGGGGGWW
        WWWWWWWWWWGGGWWW
        WWWWWWWWWWWWWWWW
    """,
    # 2: a phone
    """
        WWWWWWWWWWKWWWWW
        WWWWWWWWWWKWWWWW
        WWWWWKKKKKKKWWWW
        WWWWWKdddddKWWWW
        WWWWWKCCCCCKWWWW
        WWWWWKCCCCCKWWWW
        WWWWWKCCCCCKWWWW
        WWWWWKdddddKWWWW
        WWWWWKWdWdWKWWWW
        WWWWWKdWdWdKWWWW
        WWWWWKWdWdWKWWWW
        WWWWWKdWdWdKWWWW
        WWWWWKWdWdWKWWWW
        WWWWWKdddddKWWWW
        WWWWWKKKKKKKWWWW
        WWWWWWWWWWWWWWWW
    """,
    # 3: a port not available or disabled, the connector greyed and crossed out
    """
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WddddddddddddddW
        Wd............dW
        Wd.W.W.W.W.W..dW
        WWd..........dWW
        WWd.W.W.W.W..dWW
        WWWd........dWWW
        WWWWddddddddWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWRWWWRWW
        WWWWWWWWWWRWRWWW
        WWWWWWWWWWWRWWWW
        WWWWWWWWWWRWRWWW
        WWWWWWWWWRWWWRWW
    """,
    # 4: a pending port, the connector with an hourglass
    """
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WWWWWWWWWWWWWWWW
        WKKKKKKKKKKKKKKW
        WKddddddddddddKW
        WKdWKWKWKWKWKdKW
        WWKddddddddddKWW
        WWKdWKWKWKWKdKWW
        WWWKddddddddKWWW
        WWWWKKKKKKKKWWWW
        WWWWWWWWWKKKKKWW
        WWWWWWWWWWKYKWWW
        WWWWWWWWWWWKWWWW
        WWWWWWWWWWKYKWWW
        WWWWWWWWWKYYYKWW
        WWWWWWWWWKKKKKWW
    """,
]

# 5, large strip only: a client application's window
CLIENT = """
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WKKKKKKKKKKKKKKW
    WKbbbbbbbbbbbbKW
    WKbBBBBBBBBBWbKW
    WKKKKKKKKKKKKKKW
    WKWWWWWWWWWWWWKW
    WKWddddWWWWWWWKW
    WKWWWWWWWWWWWWKW
    WKWddddddddWWWKW
    WKWWWWWWWWWWWWKW
    WKWdddddWWWWWWKW
    WKWWWWWWWWWWWWKW
    WKKKKKKKKKKKKKKW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
"""


def pixel_rows(number, art):
    rows = [line.strip() for line in art.strip().splitlines()]
    if len(rows) != 16 or any(len(r) != 16 for r in rows):
        raise ValueError(f"image {number}: the map must be 16 rows of 16 pixels")
    try:
        return [[INDEX[ch] for ch in row] for row in rows]
    except KeyError as e:
        raise ValueError(f"image {number}: unknown colour {e}") from None


def doubled(rows):
    return [[p for p in row for _ in (0, 1)] for row in rows for _ in (0, 1)]


def strip(images):
    """The images side by side, one bitmap row per pixel row."""
    return [sum((image[y] for image in images), []) for y in range(len(images[0]))]


def bmp_bytes(rows):
    width, height = len(rows[0]), len(rows)
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                       for _, c in PALETTE)
    stride = (width // 2 + 3) & ~3
    # DIB rows run bottom-up; the high nibble is the left pixel.
    bits = b"".join(bytes((row[i] << 4) | row[i + 1] for i in range(0, width, 2)).ljust(stride, b"\0")
                    for row in reversed(rows))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bits


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    small = [pixel_rows(n, art) for n, art in enumerate(SMALL)]
    large = [doubled(rows) for rows in small] + [doubled(pixel_rows(5, CLIENT))]
    (out / "ListImages16.bmp").write_bytes(bmp_bytes(strip(small)))
    (out / "ListImages32.bmp").write_bytes(bmp_bytes(strip(large)))


if __name__ == "__main__":
    main()
