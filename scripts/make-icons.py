#!/usr/bin/env python3
"""Writes the program's 16 x 16 icons into src/service/icons: the product icon (a memory module
with a green gauge) and the busy icon (an amber hourglass). 32-bit images with their masks.

    python3 scripts/make-icons.py
"""
import pathlib
import struct

# Palette: '.' is transparent.
COLOURS = {
    'k': (0x10, 0x10, 0x10), 'g': (0x20, 0xC0, 0x40), 'G': (0x80, 0xFF, 0x90),
    'b': (0x20, 0x40, 0xA0), 'B': (0x50, 0x80, 0xE0), 'y': (0xE0, 0xB0, 0x20),
    'Y': (0xFF, 0xE0, 0x60), 'w': (0xF0, 0xF0, 0xF0), 'a': (0xC0, 0x70, 0x10),
}

MAIN = [
    "................",
    "................",
    "bbbbbbbbbbbbbbbb",
    "bBBBBBBBBBBBBBBb",
    "bBkkBkkBkkBkkBBb",
    "bBkkBkkBkkBkkBBb",
    "bBkkBkkBkkBkkBBb",
    "bBBBBBBBBBBBBBBb",
    "bBggggggggkkkBBb",
    "bBGGGGGGGGkkkBBb",
    "bBBBBBBBBBBBBBBb",
    "bbbbbbbbbbbbbbbb",
    ".y.y.y.y.y.y.y..",
    ".y.y.y.y.y.y.y..",
    "................",
    "................",
]

BUSY = [
    "..kkkkkkkkkkkk..",
    "..kaaaaaaaaaak..",
    "...kYYYYYYYYk...",
    "...kYYYYYYYYk...",
    "....kYYYYYYk....",
    ".....kYYYYk.....",
    "......kYYk......",
    ".......kk.......",
    ".......kk.......",
    "......kwYk......",
    ".....kwwYYk.....",
    "....kwwYYYYk....",
    "...kwYYYYYYYk...",
    "...kYYYYYYYYk...",
    "..kaaaaaaaaaak..",
    "..kkkkkkkkkkkk..",
]


def icon_file(rows):
    assert len(rows) == 16 and all(len(row) == 16 for row in rows)
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as icon images are stored
        bits = 0
        for x, key in enumerate(row):
            if key == '.':
                pixels += bytes((0, 0, 0, 0))
                bits |= 0x8000 >> x
            else:
                r, g, b = COLOURS[key]
                pixels += bytes((b, g, r, 0xFF))
        mask += struct.pack('>H', bits) + b'\0\0'  # rows padded to 32 bits
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    folder = pathlib.Path(__file__).resolve().parent.parent / 'src' / 'service' / 'icons'
    folder.mkdir(parents=True, exist_ok=True)
    (folder / 'MainIcon.ico').write_bytes(icon_file(MAIN))
    (folder / 'BusyIcon.ico').write_bytes(icon_file(BUSY))


if __name__ == '__main__':
    main()
