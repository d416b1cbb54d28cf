#!/usr/bin/env python3
"""Writes the phone list's icon strips.

PhoneImages16.bmp holds thirteen 16x16 images side by side, PhoneImages32.bmp
the same thirteen at 32x32, each drawn at its own size. A row's icon index picks
the image: 0 flip phone, 2 bar phone, 4 generic phone, 6 handset, 8 desktop
modem, 10 circuit board, each odd index the picture before it with a padlock in
the lower right corner, 12 a no-entry sign for a device that is not authorized.
The lists load the strips without a mask and the properties window takes white
as transparent, so everything is drawn on white.
The .bmp files are committed; run this again after editing a drawing:
    python3 draw_phone_images.py [output-folder]
"""
import sys
from pathlib import Path

from draw_list_images import INDEX, bmp_bytes, strip


class Canvas:
    """A square of palette indexes, addressed in 32x32 units and scaled to its size."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[INDEX["W"]] * size for _ in range(size)]

    def _scale(self, v):
        return v * self.size // 32

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the cells from (x0, y0) to (x1, y1) inclusive, in 32x32 units."""
        sx0, sy0 = self._scale(x0), self._scale(y0)
        sx1, sy1 = max(sx0, self._scale(x1 + 1) - 1), max(sy0, self._scale(y1 + 1) - 1)
        for y in range(sy0, sy1 + 1):
            for x in range(sx0, sx1 + 1):
                self.pixels[y][x] = INDEX[colour]

    def box(self, x0, y0, x1, y1, fill, edge="K"):
        """A filled rectangle with a one-pixel edge at every size."""
        self.rect(x0, y0, x1, y1, edge)
        sx0, sy0 = self._scale(x0), self._scale(y0)
        sx1, sy1 = self._scale(x1 + 1) - 1, self._scale(y1 + 1) - 1
        for y in range(sy0 + 1, sy1):
            for x in range(sx0 + 1, sx1):
                self.pixels[y][x] = INDEX[fill]

    def round_corners(self, x0, y0, x1, y1):
        for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
            sx = self._scale(x) if x == x0 else self._scale(x + 1) - 1
            sy = self._scale(y) if y == y0 else self._scale(y + 1) - 1
            self.pixels[sy][sx] = INDEX["W"]


def keypad(c, x0, y0, columns, rows, step_x, step_y):
    for row in range(rows):
        for column in range(columns):
            x, y = x0 + column * step_x, y0 + row * step_y
            c.rect(x, y, x + 1, y + 1, "W")


def flip_phone(c):
    # The open clamshell: the lid with its screen above the hinge, the keypad below.
    c.box(9, 1, 22, 13, "d")
    c.round_corners(9, 1, 22, 13)
    c.box(11, 3, 20, 11, "C", "b")
    c.box(10, 14, 21, 15, ".")
    c.box(9, 16, 22, 30, ".")
    c.round_corners(9, 16, 22, 30)
    keypad(c, 11, 18, 3, 4, 4, 3)


def bar_phone(c):
    # A candy bar with its stub antenna, the screen high up and the keys below.
    c.box(18, 0, 20, 4, "d")
    c.box(10, 3, 21, 30, "d")
    c.round_corners(10, 3, 21, 30)
    c.box(12, 6, 19, 13, "C", "b")
    keypad(c, 12, 17, 3, 4, 3, 3)


def generic_phone(c):
    # A phone of no particular build: a light body, a large screen, call and end keys.
    c.box(8, 2, 23, 29, ".")
    c.round_corners(8, 2, 23, 29)
    c.box(10, 5, 21, 20, "B", "b")
    c.rect(12, 7, 15, 8, "C")
    c.rect(10, 23, 13, 25, "G")
    c.rect(18, 23, 21, 25, "R")


def handset(c):
    # The receiver of a desk telephone: ear cup on top, mouth cup below, the grip between.
    c.box(5, 2, 18, 9, "K")
    c.box(5, 22, 18, 29, "K")
    c.box(5, 8, 10, 23, "K")
    c.rect(14, 9, 19, 11, "K")
    c.rect(14, 20, 19, 22, "K")
    c.rect(7, 4, 15, 5, "d")
    c.rect(7, 26, 15, 27, "d")
    c.rect(7, 10, 7, 21, "d")
    c.round_corners(5, 2, 18, 9)
    c.round_corners(5, 22, 18, 29)


def desktop_modem(c):
    # A flat box seen from the front, its lights in a row, the cable leaving at the back.
    c.rect(24, 8, 25, 13, "K")
    c.rect(24, 6, 29, 7, "K")
    c.box(2, 12, 29, 16, ".")
    c.box(2, 16, 29, 23, "d")
    for x, colour in ((5, "G"), (9, "G"), (13, "Y"), (17, "R")):
        c.rect(x, 19, x + 1, 20, colour)


def circuit_board(c):
    # A green board with a chip on its traces and gold contacts along the lower edge.
    c.box(2, 4, 29, 25, "g")
    c.box(9, 8, 20, 17, "K")
    for y in (9, 12, 15):
        c.rect(7, y, 8, y, "Y")
        c.rect(21, y, 22, y, "Y")
    c.rect(23, 9, 26, 9, "Y")
    c.rect(26, 9, 26, 21, "Y")
    c.rect(4, 15, 6, 15, "Y")
    for x in range(4, 28, 4):
        c.rect(x, 26, x + 1, 29, "Y")


def padlock(c):
    # Laid over the lower right corner of a picture: the phone is locked.
    c.box(21, 16, 28, 24, "W")
    c.box(19, 21, 30, 30, "Y")
    c.rect(24, 24, 25, 27, "K")


def no_entry(c):
    # A red disc with a white bar across it.
    n = c.size
    centre, radius = (n - 1) / 2, n / 2 - 0.5
    for y in range(n):
        for x in range(n):
            d = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
            if d <= radius - 1:
                c.pixels[y][x] = INDEX["R"]
            elif d <= radius + 0.3:
                c.pixels[y][x] = INDEX["r"]
    c.rect(6, 13, 25, 18, "W")


PHONES = [flip_phone, bar_phone, generic_phone, handset, desktop_modem, circuit_board]


def images(size):
    """The thirteen images of one size, in icon-index order."""
    result = []
    for draw in PHONES:
        for locked in (False, True):
            c = Canvas(size)
            draw(c)
            if locked:
                padlock(c)
            result.append(c.pixels)
    c = Canvas(size)
    no_entry(c)
    result.append(c.pixels)
    return result


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    (out / "PhoneImages16.bmp").write_bytes(bmp_bytes(strip(images(16))))
    (out / "PhoneImages32.bmp").write_bytes(bmp_bytes(strip(images(32))))


if __name__ == "__main__":
    main()
