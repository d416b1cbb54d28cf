#!/usr/bin/env python3
"""Writes the port view's icons, one .ico file each with a 32x32 and a 16x16 image.

The port view shows one icon beside its status text: an empty port plug when no
phone is there, a phone whose screen colour tells its status (1 to 9), a circuit
board for a platform (TPB) device, a phone with a download arrow, a phone with a
warning sign when it is not authorised, and a plug with a no-entry sign for a
port that is not available. A padlock in the lower right corner marks a phone an
application holds locked. Images are 32-bit with alpha, drawn on transparent.
The .ico files are committed; run this again after editing a drawing:
    python3 draw_port_view_icons.py [output-folder]
"""
import struct
import sys
from pathlib import Path

COLOURS = {
    "K": (32, 32, 32),      # outlines
    "D": (72, 76, 84),      # phone body
    "L": (200, 204, 210),   # keys, plug metal
    "W": (255, 255, 255),
    "G": (40, 170, 60),     # status 1 and 8
    "B": (40, 110, 220),    # status 4
    "Y": (240, 200, 30),    # status 6
    "O": (240, 130, 30),    # status 7
    "P": (150, 70, 190),    # status 9
    "S": (150, 150, 150),   # any other status, the unauthorised phone's screen
    "R": (210, 30, 30),     # no-entry sign
    "A": (30, 90, 200),     # download arrow
    "C": (20, 120, 80),     # circuit board
    "M": (210, 170, 60),    # chip legs, padlock
}


class Canvas:
    """RGBA pixels of one image, addressed in 32x32 units and scaled to its size."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def _lo(self, v):
        return v * self.size // 32

    def _hi(self, v):
        return max(self._lo(v), (v + 1) * self.size // 32 - 1)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the cells from (x0, y0) to (x1, y1) inclusive, in 32x32 units."""
        for y in range(self._lo(y0), self._hi(y1) + 1):
            for x in range(self._lo(x0), self._hi(x1) + 1):
                self.pixels[y][x] = COLOURS[colour]

    def box(self, x0, y0, x1, y1, fill, edge="K"):
        """A filled rectangle with a one-pixel edge at every size."""
        sx0, sy0, sx1, sy1 = self._lo(x0), self._lo(y0), self._hi(x1), self._hi(y1)
        for y in range(sy0, sy1 + 1):
            for x in range(sx0, sx1 + 1):
                inside = sx0 < x < sx1 and sy0 < y < sy1
                self.pixels[y][x] = COLOURS[fill if inside else edge]

    def disc(self, cx, cy, r, colour):
        """A filled circle, centre and radius in 32x32 units."""
        scale = self.size / 32
        for y in range(self.size):
            for x in range(self.size):
                if ((x + 0.5) / scale - cx) ** 2 + ((y + 0.5) / scale - cy) ** 2 <= r * r:
                    self.pixels[y][x] = COLOURS[colour]


def phone(c, screen, body="D"):
    c.box(8, 1, 23, 30, body)
    c.box(10, 4, 21, 13, screen)
    for row in range(4):
        for column in range(3):
            x, y = 11 + column * 4, 16 + row * 3
            c.rect(x, y, x + 1, y + 1, "L")


def board(c):
    c.box(2, 7, 29, 25, "C")
    c.box(11, 11, 20, 20, "K", "K")
    for x in range(12, 20, 3):
        c.rect(x, 9, x, 10, "M")
        c.rect(x, 21, x, 22, "M")
    c.rect(4, 9, 6, 11, "M")
    c.rect(25, 21, 27, 23, "M")


def plug(c):
    c.box(4, 8, 27, 22, "L")
    c.box(7, 11, 24, 19, "D")
    for x in range(9, 23, 3):
        c.rect(x, 13, x, 13, "Y")
    for x in range(10, 22, 3):
        c.rect(x, 16, x, 16, "Y")
    c.rect(13, 23, 18, 30, "K")


def padlock(c):
    c.box(18, 17, 30, 30, "M")
    c.box(20, 12, 28, 18, "K", "K")
    if c.size >= 32:
        c.rect(22, 14, 26, 17, "W")
    c.rect(23, 22, 25, 26, "K")


def no_entry(c):
    c.disc(23, 23, 8.5, "W")
    c.disc(23, 23, 7.5, "R")
    c.rect(17, 21, 28, 24, "W")


def arrow(c):
    c.rect(20, 14, 27, 31, "W")
    c.rect(22, 14, 25, 24, "A")
    for step in range(6):
        c.rect(18 + step, 24 + step, 29 - step, 24 + step, "A")


def warning(c):
    c.disc(23, 23, 8.5, "W")
    c.disc(23, 23, 7.5, "O")
    c.rect(22, 17, 24, 25, "W")
    c.rect(22, 27, 24, 29, "W")


def status_phone(colour, locked):
    def draw(c):
        phone(c, colour)
        if locked:
            padlock(c)
    return draw


def tpb(locked):
    def draw(c):
        board(c)
        if locked:
            padlock(c)
    return draw


def download(c):
    phone(c, "B")
    arrow(c)


def unauthorised(c):
    phone(c, "S")
    warning(c)


def unavailable(c):
    plug(c)
    no_entry(c)


# File name and drawing, by the icon's resource id (see resource.h).
ICONS = {
    223: ("PortViewStatus9", status_phone("P", False)),
    224: ("PortViewPlatformLocked", tpb(True)),
    225: ("PortViewPlatform", tpb(False)),
    226: ("PortViewUnauthorised", unauthorised),
    227: ("PortViewStatus9Locked", status_phone("P", True)),
    228: ("PortViewUnavailable", unavailable),
    301: ("PortViewNoPhone", plug),
    302: ("PortViewStatus1Locked", status_phone("G", True)),
    303: ("PortViewStatus4", status_phone("B", False)),
    304: ("PortViewStatus4Locked", status_phone("B", True)),
    305: ("PortViewStatus6", status_phone("Y", False)),
    306: ("PortViewStatus6Locked", status_phone("Y", True)),
    307: ("PortViewStatus7", status_phone("O", False)),
    308: ("PortViewStatus7Locked", status_phone("O", True)),
    309: ("PortViewDownload", download),
    310: ("PortViewStatus1", status_phone("G", False)),
    311: ("PortViewStatusOther", status_phone("S", False)),
    312: ("PortViewStatusOtherLocked", status_phone("S", True)),
}


def dib(canvas):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the AND mask of one icon image."""
    size = canvas.size
    colour = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(canvas.pixels):
        bits = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                colour += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = pixel
                colour += bytes((b, g, r, 255))
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico_bytes(draw):
    images = []
    for size in (32, 16):
        canvas = Canvas(size)
        draw(canvas)
        images.append((size, dib(canvas)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    for name, draw in ICONS.values():
        (folder / f"{name}.ico").write_bytes(ico_bytes(draw))


if __name__ == "__main__":
    main()
