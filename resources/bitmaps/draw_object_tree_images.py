#!/usr/bin/env python3
"""Writes the object tree's icon strip.

ObjectTreeImages16.bmp holds ten 16x16 images side by side: 0 a flip phone,
1 a bar phone, 2 the bar phone as a selected node shows it, 3 a closed folder,
4 an open folder, 5 two windows, 6 a handset with a person (a client), 7 a
check mark, 8 a cable with its plug, 9 a handset with a person on a server box,
the root. The tree takes white as the transparent colour, so the pictures sit on
pure white and nothing inside them is pure white.
The .bmp file is committed; run this again after editing a map:
    python3 draw_object_tree_images.py [output-folder]
"""
import sys
from pathlib import Path

from draw_client_images import SMALL_USER
from draw_list_images import bmp_bytes, pixel_rows, strip

# The phone list's drawings have white keys, which would turn transparent here,
# so the tree's phones are drawn afresh.
FLIP_PHONE = """
    WWWWWKKKKKKKWWWW
    WWWWKdddddddKWWW
    WWWWKdbbbbbdKWWW
    WWWWKdbCCCbdKWWW
    WWWWKdbCCCbdKWWW
    WWWWKdbbbbbdKWWW
    WWWWKdddddddKWWW
    WWWWKKKKKKKKKWWW
    WWWWWKdddddKWWWW
    WWWWKKKKKKKKKWWW
    WWWWK.d.d.d.KWWW
    WWWWK.......KWWW
    WWWWK.d.d.d.KWWW
    WWWWK.......KWWW
    WWWWK.d.d.d.KWWW
    WWWWWKKKKKKKWWWW
"""

BAR_PHONE = """
    WWWWWWWWWWWKWWWW
    WWWWWWWWWWWKWWWW
    WWWWWKKKKKKKWWWW
    WWWWKdddddddKWWW
    WWWWKdbbbbbdKWWW
    WWWWKdbCCCbdKWWW
    WWWWKdbCCCbdKWWW
    WWWWKdbbbbbdKWWW
    WWWWKdddddddKWWW
    WWWWKd.d.d.dKWWW
    WWWWKdddddddKWWW
    WWWWKd.d.d.dKWWW
    WWWWKdddddddKWWW
    WWWWKd.d.d.dKWWW
    WWWWKdddddddKWWW
    WWWWWKKKKKKKWWWW
"""

# Blue, without the antenna and with a taller screen, so it stands out from
# the grey phones around it.
SELECTED_PHONE = """
    WWWWWWWWWWWWWWWW
    WWWWWbbbbbbbWWWW
    WWWWbBBBBBBBbWWW
    WWWWbBKKKKKBbWWW
    WWWWbBKCCCKBbWWW
    WWWWbBKCCCKBbWWW
    WWWWbBKCCCKBbWWW
    WWWWbBKCCCKBbWWW
    WWWWbBKKKKKBbWWW
    WWWWbBBBBBBBbWWW
    WWWWbBCBCBCBbWWW
    WWWWbBBBBBBBbWWW
    WWWWbBCBCBCBbWWW
    WWWWbBBBBBBBbWWW
    WWWWWbbbbbbbWWWW
    WWWWWWWWWWWWWWWW
"""

CLOSED_FOLDER = """
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWyyyyyWWWWWWWWW
    WyYYYYYyyyyyyyyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyYYYYYYYYYYYYyW
    WyyyyyyyyyyyyyyW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
"""

# The back in the darker yellow, the front flap tipped forward in the bright one.
OPEN_FOLDER = """
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWyyyyyWWWWWWWWW
    WyyyyyyyyyyyyWWW
    WyyyyyyyyyyyyWWW
    WyyyyyyyyyyyyWWW
    WyyyKKKKKKKKKKKK
    WyyKYYYYYYYYYYKW
    WyyKYYYYYYYYYYKW
    WyKYYYYYYYYYYKWW
    WyKYYYYYYYYYYKWW
    WKYYYYYYYYYYKWWW
    WKYYYYYYYYYYKWWW
    WKKKKKKKKKKKKWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
"""

# The one behind with a grey title bar, the one in front with an active blue one.
WINDOWS = """
    KKKKKKKKKKKWWWWW
    KdddddddddKWWWWW
    KdddddddddKWWWWW
    KKKKKKKKKKKWWWWW
    K.........KWWWWW
    K....KKKKKKKKKKK
    K....KbbbbbbbbbK
    K....KbbbbbbbbbK
    K....KKKKKKKKKKK
    K....K.........K
    KKKKKK.........K
    WWWWWK.........K
    WWWWWK.........K
    WWWWWK.........K
    WWWWWK.........K
    WWWWWKKKKKKKKKKK
"""

CHECK_MARK = """
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWgWW
    WWWWWWWWWWWWgggW
    WWWWWWWWWWWgggWW
    WWWWWWWWWWgggWWW
    WWWWWWWWWgggWWWW
    WWgWWWWWgggWWWWW
    WgggWWWgggWWWWWW
    WWgggWgggWWWWWWW
    WWWgggggWWWWWWWW
    WWWWgggWWWWWWWWW
    WWWWWgWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
"""

CABLE = """
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWWWWWWWWWW
    WWWWWWWKKKKKWWWW
    WWWWWWWKdddKWWWW
    WWWWWWWKdddKyyyy
    WWWWWWKKdddKWWWW
    WWWKKKKKdddKWWWW
    WWKKKKKKdddKWWWW
    WKKWWWKKdddKyyyy
    WKKWWWWKdddKWWWW
    WKKWWWWKKKKKWWWW
    WKKWWWWWWWWWWWWW
    WKKWWWWWWWWWWWWW
    WKKWWWWWWWWWWWWW
    WKKWWWWWWWWWWWWW
"""

ROOT = """
    WWWWWWWWWWbbbWWW
    WWWWWWWWWbBBBbWW
    WWWWWWWWWbBBBbWW
    WKKWWWWWWWbbbWWW
    KKKKWWWWbbbbbbbW
    KKKWWWWbBBBBBBBb
    WKKKWWWbBBBBBBBb
    WWKKKWWWWBBBBBBb
    WWWKKKKKWWBBBBBb
    WWWWKKKKKWBBBBBb
    WKKKKKKKKKKKKKKW
    WK............KW
    WK.GG.dddddd..KW
    WK............KW
    WKKKKKKKKKKKKKKW
    WWKKWWWWWWWWKKWW
"""

# In icon-index order.
IMAGES = [FLIP_PHONE, BAR_PHONE, SELECTED_PHONE, CLOSED_FOLDER, OPEN_FOLDER,
          WINDOWS, SMALL_USER, CHECK_MARK, CABLE, ROOT]


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    images = [pixel_rows(n, art) for n, art in enumerate(IMAGES)]
    (out / "ObjectTreeImages16.bmp").write_bytes(bmp_bytes(strip(images)))


if __name__ == "__main__":
    main()
