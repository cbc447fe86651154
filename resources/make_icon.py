#!/usr/bin/env python3
"""Writes the Windows icon file from the icon images of AppIcon.cpp, so both
builds show the same pixels: make_icon.py AppIcon.cpp tolvane.ico"""
import re
import struct
import sys


def read_images(source):
    text = open(source, encoding="utf-8").read()
    palette_text = re.search(r"kPalette\[16\]\s*=\s*\{([^}]*)\}", text).group(1)
    palette = [int(value, 16) for value in re.findall(r"0x([0-9A-Fa-f]{6})", palette_text)]
    images = []
    for name in ("kSmallRows", "kLargeRows"):
        body = re.search(name + r"\[\d+\]\s*=\s*\{([^}]*)\}", text).group(1)
        rows = re.findall(r'"([0-9A-Fa-f.]+)"', body)
        if len(palette) != 16 or any(len(row) != len(rows) for row in rows):
            sys.exit(f"make_icon: {source}: {name} is not a square 16-colour image")
        images.append(rows)
    return palette, images


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def bitmap(palette, rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in palette)
    pixels = b""
    mask = b""
    for row in reversed(rows):  # a bitmap is stored bottom-up
        indices = [0 if c == "." else int(c, 16) for c in row]
        pixels += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (c == ".")
        mask += padded(bits.to_bytes(size // 8, "big"))
    return header + colours + pixels + mask


def main():
    source, target = sys.argv[1:3]
    palette, images = read_images(source)
    bitmaps = [bitmap(palette, rows) for rows in images]
    data = struct.pack("<HHH", 0, 1, len(bitmaps))
    offset = 6 + 16 * len(bitmaps)
    for rows, image in zip(images, bitmaps):
        data += struct.pack("<BBBBHHII", len(rows), len(rows), 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(target, "wb") as out:
        out.write(data + b"".join(bitmaps))


main()
