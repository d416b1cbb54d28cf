#!/usr/bin/env python3
"""Writes Warning.ico, the icon of the port configuration control's confirmations: a yellow
triangle with a black exclamation mark, at 32x32 and 16x16, 32-bit with an alpha channel and a
matching AND mask (for hosts that draw without alpha).
The .ico file is committed; run this again after editing the drawing:
    python3 draw_warning_icon.py [output-folder]
"""
import struct
import sys
from pathlib import Path

YELLOW = (0x00, 0xC8, 0xFF, 0xFF)  # BGRA
EDGE = (0x00, 0x80, 0xB0, 0xFF)
BLACK = (0x20, 0x20, 0x20, 0xFF)
CLEAR = (0, 0, 0, 0)


def inside_triangle(x, y, size):
    """A triangle standing on the bottom edge with its apex at the top centre."""
    top, bottom = size * 0.06, size * 0.94
    if y < top or y > bottom:
        return False
    half = (y - top) / (bottom - top) * size * 0.47
    return abs(x - size / 2) <= half


def pixel(x, y, size):
    cx, cy = x + 0.5, y + 0.5
    if not inside_triangle(cx, cy, size):
        return CLEAR
    edge = size / 16
    if not all(inside_triangle(cx + dx, cy + dy, size) for dx, dy in ((edge, 0), (-edge, 0), (0, edge), (0, -edge))):
        return EDGE
    bar = size * 0.07
    if abs(cx - size / 2) <= bar and size * 0.32 <= cy <= size * 0.68:
        return BLACK
    if abs(cx - size / 2) <= bar and size * 0.75 <= cy <= size * 0.85:
        return BLACK
    return YELLOW


def image(size):
    rows = [[pixel(x, y, size) for x in range(size)] for y in range(size)]
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes(p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + colours + mask


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    images = [image(32), image(16)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip((32, 16), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    (folder / "Warning.ico").write_bytes(directory + entries + b"".join(images))


if __name__ == "__main__":
    main()
