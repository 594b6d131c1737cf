#!/usr/bin/env python3
"""Writes harbour.bmp, the background picture of the sample skin: a
256-colour Windows bitmap (40-byte header, full colour table, bottom-up
rows) with a diagonal blue gradient and a faint calendar grid.

Usage: make_background.py [output path]   (default: harbour.bmp beside this script)
"""
import os
import struct
import sys

WIDTH, HEIGHT = 320, 240
TOP = (0x1E, 0x4A, 0x78)      # deep harbour blue, top left
BOTTOM = (0xB8, 0xD4, 0xE8)   # pale sky, bottom right
GRADIENT_COLOURS = 224        # entries 0-223: the gradient
GRID_LIFT = 24                # grid lines use entries lighter by this much
CELL = 40                     # grid cell size in pixels


def palette():
    entries = []
    for i in range(256):
        t = min(i, GRADIENT_COLOURS + GRID_LIFT - 1) / (GRADIENT_COLOURS + GRID_LIFT - 1)
        r, g, b = (round(a + (c - a) * t) for a, c in zip(TOP, BOTTOM))
        entries.append(struct.pack("<BBBB", b, g, r, 0))
    return b"".join(entries)


# A 4x4 ordered dither keeps the gradient free of bands.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def pixel(x, y):
    t = (x / (WIDTH - 1) * 0.35 + y / (HEIGHT - 1) * 0.65) * (GRADIENT_COLOURS - 1)
    index = int(t + BAYER[y % 4][x % 4] / 16.0)
    index = min(index, GRADIENT_COLOURS - 1)
    if x % CELL == 0 or y % CELL == 0:
        index += GRID_LIFT
    return index


def bitmap():
    row_size = (WIDTH + 3) // 4 * 4
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytes(pixel(x, y) for x in range(WIDTH))
        rows.append(row + b"\0" * (row_size - WIDTH))
    pixels = b"".join(rows)
    colours = palette()
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "harbour.bmp")
    with open(out, "wb") as f:
        f.write(bitmap())


if __name__ == "__main__":
    main()
