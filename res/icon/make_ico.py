#!/usr/bin/env python3
"""Build res/addmorvane.ico from the text picture res/icon/ram.txt.

The picture is 32 lines of 32 characters, one character per pixel. Comment
lines starting with '#' come first and hold the legend, one entry per line:

    # K = 0  black  #000000
    # . = transparent

The number is an index into the standard 16-colour VGA palette. The output is
a classic icon file with one 32 x 32, 4 bits per pixel image: a
BITMAPINFOHEADER, the 16-entry palette, the colour (XOR) bitmap and the
transparency (AND) mask, both stored bottom-up.

Standard library only. With --png PATH the script also writes an enlarged
PNG preview; transparent pixels show as a grey checkerboard there.
"""

import argparse
import re
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32
TRANSPARENT = -1

# The standard Windows 16-colour (VGA) palette, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 gray
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]

LEGEND_LINE = re.compile(r"^#\s*(\S)\s*=\s*(\d+|transparent)\b")


def read_picture(path):
    """Return the picture as 32 rows of palette indices (or TRANSPARENT)."""
    legend = {}
    rows = []
    for number, line in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
        if line.startswith("#"):
            match = LEGEND_LINE.match(line)
            if match:
                char, value = match.groups()
                if value == "transparent":
                    legend[char] = TRANSPARENT
                else:
                    index = int(value)
                    if index >= len(PALETTE):
                        sys.exit(f"{path}:{number}: palette index {index} out of range")
                    legend[char] = index
            continue
        if not line.strip():
            continue
        if len(line) != SIZE:
            sys.exit(f"{path}:{number}: expected {SIZE} characters, got {len(line)}")
        row = []
        for char in line:
            if char not in legend:
                sys.exit(f"{path}:{number}: character {char!r} is not in the legend")
            row.append(legend[char])
        rows.append(row)
    if len(rows) != SIZE:
        sys.exit(f"{path}: expected {SIZE} picture lines, got {len(rows)}")
    return rows


def ico_bytes(rows):
    """Encode the picture as a one-image .ico file (32 x 32, 4 bpp)."""
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        for x in range(0, SIZE, 2):
            hi, lo = (max(v, 0) for v in row[x : x + 2])
            xor.append(hi << 4 | lo)
        bits = 0
        for v in row:
            bits = bits << 1 | (v == TRANSPARENT)
        mask += bits.to_bytes(SIZE // 8, "big")
    # Both rows are already multiples of 4 bytes (16 and 4), so no padding.
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        SIZE,  # biWidth
        SIZE * 2,  # biHeight: colour bitmap plus mask
        1,  # biPlanes
        4,  # biBitCount
        0,  # biCompression: BI_RGB
        len(xor) + len(mask),  # biSizeImage
        0,
        0,
        0,  # biClrUsed: all 16
        0,  # biClrImportant
    )
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)  # reserved, type icon, one image
    entry = struct.pack(
        "<BBBBHHII",
        SIZE,  # width
        SIZE,  # height
        16,  # colours
        0,  # reserved
        1,  # planes
        4,  # bits per pixel
        len(image),
        len(directory) + 16,  # offset of the image
    )
    return directory + entry + image


def png_bytes(rows, scale):
    """Encode an enlarged RGB preview; transparency becomes a checkerboard."""
    raw = bytearray()
    for y in range(SIZE * scale):
        raw.append(0)  # filter type: none
        for x in range(SIZE * scale):
            v = rows[y // scale][x // scale]
            if v == TRANSPARENT:
                light = ((x // 4) + (y // 4)) % 2 == 0
                raw += bytes((0xE8, 0xE8, 0xE8) if light else (0xF8, 0xF8, 0xF8))
            else:
                raw += bytes(PALETTE[v])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    side = SIZE * scale
    ihdr = struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", ihdr)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def main():
    here = Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--input", type=Path, default=here / "ram.txt")
    parser.add_argument("--output", type=Path, default=here.parent / "addmorvane.ico")
    parser.add_argument("--png", type=Path, help="also write an enlarged PNG preview")
    parser.add_argument("--scale", type=int, default=8, help="preview enlargement")
    args = parser.parse_args()

    rows = read_picture(args.input)
    args.output.write_bytes(ico_bytes(rows))
    if args.png:
        args.png.write_bytes(png_bytes(rows, max(1, args.scale)))


if __name__ == "__main__":
    main()
