#!/usr/bin/env python3
"""Writes the controls' 16x16 toolbox bitmaps from the pixel maps below.

The .bmp files are committed; run this again after editing a map:
    python3 draw_toolbox_bitmaps.py [output-folder]

Toolboxes commonly take the bottom-left pixel's colour as transparent, so every
map keeps light grey ('.') in that corner and as its background.
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

ICONS = {
    # a list of rows with a mobile phone in front
    "OstrelPhoneList": """
        ................
        ddddddddddddd...
        dWWWWWWWWWWWK...
        dWBBWddddddWK...
        dWWWWWWWWWWWK...
        dWBBWdddddWWK.K.
        dWWWWWWWWWWWK.K.
        dWBBWdddKKKKKKK.
        dWWWWWWWKCCCCCK.
        dWBBWdddKCCCCCK.
        dWWWWWWWKCCCCCK.
        dKKKKKKKKKKKKKK.
        ........KWdWdWK.
        ........KdWdWdK.
        ........KWdWdWK.
        ........KKKKKKK.
    """,
    # a push button with a server tower on its face
    "OstrelServerButton": """
        WWWWWWWWWWWWWWWK
        W.............dK
        W....KKKKKK...dK
        W....KWWWWK...dK
        W....KbbbbK...dK
        W....KWWWWK...dK
        W....KbbbbK...dK
        W....KWWWWK...dK
        W....KWWWWK...dK
        W....KWWGWK...dK
        W....KWWWWK...dK
        W....KKKKKK...dK
        W...KKKKKKKK..dK
        WddddddddddddddK
        KKKKKKKKKKKKKKKK
        ................
    """,
    # an edit field with its drop-down arrow over an open list of servers
    "OstrelServerCombo": """
        ................
        dddddddddddddddd
        dWWWWWWWWWWWWWdK
        dWKKKKKKWWWKKKdK
        dWWWWWWWWWW.K.dK
        dWWWWWWWWWdddddK
        dKKKKKKKKKKKKKKK
        .KWWWWWWWWWWWWK.
        .KWKKKKKKWWWWWK.
        .KWWWWWWWWWWWWK.
        .KBBBBBBBBBBBBK.
        .KBWWWWWWWBBBBK.
        .KBBBBBBBBBBBBK.
        .KWKKKKKWWWWWWK.
        .KWWWWWWWWWWWWK.
        .KKKKKKKKKKKKKK.
    """,
    # a server tower and a phone that it serves
    "OstrelPhoneServerCtrl": """
        ................
        KKKKKK..........
        KWWWWK......K...
        KbbbbK......K...
        KWWWWK..KKKKKKK.
        KbbbbK..KCCCCCK.
        KWWWWK..KCCCCCK.
        KWWWWKRRKCCCCCK.
        KWWGWK..KKKKKKK.
        KWWWWK..KWdWdWK.
        KKKKKK..KdWdWdK.
        KKKKKK..KWdWdWK.
        ........KdWdWdK.
        ........KKKKKKK.
        ................
        ................
    """,
    # a list whose rows start with a serial connector
    "OstrelPortList": """
        ................
        dddddddddddddddd
        dWWWWWWWWWWWWWWK
        dWKKKKKWWWWWWWWK
        dWKYYYKWddddddWK
        dWWKKKWWWWWWWWWK
        dWWWWWWWWWWWWWWK
        dWKKKKKWWWWWWWWK
        dWKYYYKWdddddWWK
        dWWKKKWWWWWWWWWK
        dWWWWWWWWWWWWWWK
        dWKKKKKWWWWWWWWK
        dWKYYYKWddddddWK
        dWWKKKWWWWWWWWWK
        dKKKKKKKKKKKKKKK
        ................
    """,
    # a serial connector with the add and remove marks of the toolbar
    "OstrelPortConfigCtrl": """
        ................
        ...........gg...
        ...........gg...
        .........gggggg.
        .........gggggg.
        ...........gg...
        ...........gg...
        KKKKKKKKKK......
        KYYYYYYYYK......
        .KYKYKYKYK.RRRRR
        .KYYYYYYK..RRRRR
        ..KYKYKYK.......
        ..KKKKKKK.......
        ....KdK.........
        ....KdK.........
        ....KdK.........
    """,
    # a list of client application windows
    "OstrelClientList": """
        ................
        dddddddddddddddd
        dWWWWWWWWWWWWWWK
        dWbbbbWWWWWWWWWK
        dWbWWbWddddddWWK
        dWbbbbWWWWWWWWWK
        dWWWWWWWWWWWWWWK
        dWbbbbWWWWWWWWWK
        dWbWWbWdddddWWWK
        dWbbbbWWWWWWWWWK
        dWWWWWWWWWWWWWWK
        dWbbbbWWWWWWWWWK
        dWbWWbWddddddddK
        dWbbbbWWWWWWWWWK
        dKKKKKKKKKKKKKKK
        ................
    """,
    # a tree of objects
    "OstrelObjectList": """
        ................
        .rrrr...........
        .rYYr...........
        .rrrr...........
        ..d.............
        ..d.ttt.........
        ..dddtCt........
        ..d.ttt.........
        ..d..d..........
        ..d..d..ggg.....
        ..d..dddgGg.....
        ..d.....ggg.....
        ..d.ttt.........
        ..dddtCt........
        ....ttt.........
        ................
    """,
    # one port shown in a frame, with its browse button
    "OstrelPortViewCtrl": """
        ................
        dddddddddddddddd
        d..............K
        d..KKKKKKKKKKK.K
        d..KYYYYYYYYYK.K
        d...KYKYKYKYK..K
        d....KYYYYYK...K
        d.....KKKKK....K
        d..............K
        d.KKKKKKK.WWWWdK
        d.........W...dK
        d.ddddd...WK.KdK
        d.........dddddK
        d..............K
        dKKKKKKKKKKKKKKK
        ................
    """,
    # a service being handed over from one device box to another
    "RdmSvcAsgn": """
        ................
        KKKKKK....KKKKKK
        KWWWWK....KWWWWK
        KWGGWK....KWWWWK
        KWWWWK..R.KWWWWK
        KWGGWK..RRKWWWWK
        KWWWWRRRRRRWGGWK
        KWGGWK..RRKWWWWK
        KWWWWK..R.KWWWWK
        KWGGWK....KWWWWK
        KWWWWK....KWWWWK
        KKKKKK....KKKKKK
        ................
        ................
        ................
        ................
    """,
    # a pool of services waiting to be assigned
    "RdmSvcPool": """
        ................
        ................
        ......KKKK......
        ......KGGK......
        ......KGGK......
        ....KKKKKKKK....
        ....KBBKKYYK....
        ....KBBKKYYK....
        ..KKKKKKKKKKKK..
        ..KRRKKCCKKMMK..
        ..KRRKKCCKKMMK..
        .KKKKKKKKKKKKKK.
        .KddddddddddddK.
        .KKKKKKKKKKKKKK.
        ................
        ................
    """,
    # a phone on a cable to its port
    "NORVIKPhonePortConfigCtrl": """
        .....K..........
        .....K..........
        .KKKKKK.........
        .KCCCCK.........
        .KCCCCK.........
        .KKKKKK.........
        .KWdWdK.........
        .KdWdWK.........
        .KWdWdK.........
        .KKKKKK.........
        ...KK...........
        ...tt...KKKKKKKK
        ...tt...KYYYYYYK
        ...tttttKYKYKYK.
        ........KYYYYYK.
        .........KKKKK..
    """,
}


def pixel_rows(name, art):
    rows = [line.strip() for line in art.strip().splitlines()]
    if len(rows) != 16 or any(len(r) != 16 for r in rows):
        raise ValueError(f"{name}: the map must be 16 rows of 16 pixels")
    if rows[-1][0] != ".":
        raise ValueError(f"{name}: the bottom-left pixel must be the transparent grey")
    try:
        return [[INDEX[ch] for ch in row] for row in rows]
    except KeyError as e:
        raise ValueError(f"{name}: unknown colour {e}") from None


def bmp_bytes(rows):
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                       for _, c in PALETTE)
    stride = 8  # 16 pixels at 4 bits, already a multiple of 4 bytes
    # DIB rows run bottom-up; the high nibble is the left pixel.
    bits = b"".join(bytes((row[i] << 4) | row[i + 1] for i in range(0, 16, 2))
                    for row in reversed(rows))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, stride * 16,
                       2835, 2835, 16, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bits


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    for name, art in ICONS.items():
        (out / f"{name}.bmp").write_bytes(bmp_bytes(pixel_rows(name, art)))


if __name__ == "__main__":
    main()
