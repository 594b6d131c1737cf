#!/usr/bin/env python3
"""Makes Almanary's two sample skins in resources/skins: for each, a skin
file (NAME.skn) and its background picture (NAME.bmp), a 256-colour Windows
bitmap (40-byte header, full colour table, bottom-up rows).

- Harbour: a diagonal blue gradient with a faint calendar grid.
- Meadow: a green gradient, light at the bottom, with mown diagonal rows.

A shipped skin file names its picture by its bare file name; the program
copies both into the user's skins folder and writes the picture's full
path there.

    scripts/make-sample-skins.py [FOLDER]    writes the four files (default:
                                             resources/skins)
    scripts/make-sample-skins.py --check FOLDER
                                             exits 0 when FOLDER holds the
                                             files exactly as made here

Only the standard library is used, so anyone can remake the skins.
"""

import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 192, 144
RAMP = 224  # palette entries 0-223: the gradient; 224-255: lighter marks
LIFT = 24  # a mark uses the entry this much further along the gradient


def colour_ref(r, g, b):
    """A colour as a skin file keeps it: 0x00BBGGRR."""
    return r | (g << 8) | (b << 16)


def harbour_pixel(x, y):
    t = x / (WIDTH - 1) * 0.35 + y / (HEIGHT - 1) * 0.65
    index = int(t * (RAMP - 1))
    return index + LIFT if x % 24 == 0 or y % 24 == 0 else index


def meadow_pixel(x, y):
    index = int(y / (HEIGHT - 1) * (RAMP - 1))
    return index + LIFT // 2 if (x + y) // 12 % 2 == 0 else index


# name: (gradient start, gradient end, pixel function,
#        button face, text, shadow, highlight)
SKINS = {
    "Harbour": ((0x1E, 0x4A, 0x78), (0xB8, 0xD4, 0xE8), harbour_pixel,
                (0xE6, 0xEF, 0xF7), (0x17, 0x33, 0x54), (0x3D, 0x66, 0x8F), (0xFF, 0xFF, 0xFF)),
    "Meadow": ((0x2F, 0x5E, 0x2B), (0xDD, 0xEA, 0xB8), meadow_pixel,
               (0xF1, 0xF5, 0xE4), (0x25, 0x40, 0x1D), (0x5B, 0x7D, 0x3E), (0xFF, 0xFF, 0xF5)),
}


def palette(start, end):
    entries = []
    for i in range(256):
        t = min(i, RAMP + LIFT - 1) / (RAMP + LIFT - 1)
        r, g, b = (round(a + (c - a) * t) for a, c in zip(start, end))
        entries.append(struct.pack("<BBBB", b, g, r, 0))
    return b"".join(entries)


def bitmap(start, end, pixel):
    row_size = (WIDTH + 3) // 4 * 4
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytes(pixel(x, y) for x in range(WIDTH))
        rows.append(row + b"\0" * (row_size - WIDTH))
    pixels = b"".join(rows)
    colours = palette(start, end)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def skin_file(face, text, shadow, highlight, picture):
    """Four colours in file order, then the picture path with a one-byte
    length (every path here is shorter than 255 bytes)."""
    path = picture.encode("ascii")
    colours = (colour_ref(*face), colour_ref(*text), colour_ref(*shadow), colour_ref(*highlight))
    return struct.pack("<IIIIB", *colours, len(path)) + path


def files():
    """Each file name with its bytes."""
    out = {}
    for name, (start, end, pixel, face, text, shadow, highlight) in SKINS.items():
        out[name + ".bmp"] = bitmap(start, end, pixel)
        out[name + ".skn"] = skin_file(face, text, shadow, highlight, name + ".bmp")
    return out


def check(folder):
    """Why the folder does not hold the skins, or None when it does."""
    for name, expected in files().items():
        path = folder / name
        try:
            found = path.read_bytes()
        except OSError as error:
            return "%s: %s" % (path, error)
        if found != expected:
            return "%s differs from what this script makes" % path
    return None


def main(args):
    if args[:1] == ["--check"] and len(args) == 2:
        problem = check(Path(args[1]))
        if problem:
            print(problem, file=sys.stderr)
            return 1
        print("%s: the sample skins as made here" % args[1])
        return 0
    if len(args) > 1 or (args and args[0].startswith("-")):
        print(__doc__, file=sys.stderr)
        return 2
    default = Path(__file__).resolve().parent.parent / "resources" / "skins"
    folder = Path(args[0]) if args else default
    folder.mkdir(parents=True, exist_ok=True)
    for name, content in files().items():
        (folder / name).write_bytes(content)
        print(folder / name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
