#!/usr/bin/env python3
"""Draws the background pictures of the HTML export.

ligne.png and haut.png/bas.png fill the index table (754 pt, about 1006 pixels wide)
and its opening and closing banner rows (36 pt, 48 pixels high); lignessb.png fills the
folder tables of the contents pages, repeated in both directions. Run from anywhere; the pictures are written
beside this script. Only the standard library is used.
"""

import os
import struct
import zlib

WIDTH = 1006
BANNER_HEIGHT = 48
ROW_HEIGHT = 16


def png(width, height, pixel):
    """PNG bytes of an RGB picture; pixel(x, y) gives an (r, g, b) tuple."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter type: none
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


DEEP = (0x1F, 0x4E, 0x79)
MID = (0x2E, 0x75, 0xB6)
PALE = (0xDC, 0xE8, 0xF5)
MIST = (0xEE, 0xF4, 0xFA)
WHITE = (0xFF, 0xFF, 0xFF)


def ligne(x, y):
    # Pale blue at the left fading to white across the index table. No line between
    # rows: the rows' height follows the font size, so a drawn line would cut the text.
    return mix(PALE, WHITE, x / (WIDTH - 1))


def lignessb(x, y):
    # One even tone: a folder's table is as wide as its longest name, so the picture
    # repeats across it and must not show where one copy meets the next.
    return mix(MIST, WHITE, 0.4)


def haut(x, y):
    # Deep blue at the top to a lighter blue, a light edge at the bottom.
    colour = mix(DEEP, MID, y / (BANNER_HEIGHT - 1))
    colour = mix(colour, DEEP, 0.25 * x / (WIDTH - 1))
    return mix(colour, WHITE, 0.6) if y >= BANNER_HEIGHT - 2 else colour


def bas(x, y):
    colour = mix(MID, DEEP, y / (BANNER_HEIGHT - 1))
    colour = mix(colour, DEEP, 0.25 * (1 - x / (WIDTH - 1)))
    return mix(colour, WHITE, 0.6) if y <= 1 else colour


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = {
        "ligne.png": (WIDTH, ROW_HEIGHT, ligne),
        "lignessb.png": (ROW_HEIGHT, ROW_HEIGHT, lignessb),
        "haut.png": (WIDTH, BANNER_HEIGHT, haut),
        "bas.png": (WIDTH, BANNER_HEIGHT, bas),
    }
    for name, (width, height, pixel) in pictures.items():
        with open(os.path.join(here, name), "wb") as out:
            out.write(png(width, height, pixel))


if __name__ == "__main__":
    main()
