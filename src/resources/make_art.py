#!/usr/bin/env python3
"""Draws the installer's own artwork: the 38 x 37 logo (24-bit bitmap) and the
program icon (32 x 32 and 16 x 16, 32-bit). Run it to regenerate logo.bmp and
korvani.ico; the results are committed so the build needs no image tools."""
import struct
import sys


def receipt(w, h):
    """A receipt on an indigo tile with a red seal: rows of (r, g, b, a), top row first."""
    px = [[(40, 52, 120, 255)] * w for _ in range(h)]
    # soft vertical shading of the tile
    for y in range(h):
        for x in range(w):
            k = 20 * y // max(h - 1, 1)
            px[y][x] = (40 + k, 52 + k, 120 + k, 255)
    left, right = w * 5 // 19, w * 14 // 19
    top, bottom = h * 3 // 37, h * 33 // 37
    for y in range(top, bottom):
        for x in range(left, right):
            px[y][x] = (250, 250, 244, 255)
    # torn bottom edge
    for x in range(left, right):
        if (x - left) % 4 in (1, 2):
            px[bottom - 1][x] = px[bottom][x] if bottom < h else (40, 52, 120, 255)
    # printed lines
    step = max((bottom - top) // 6, 2)
    for i, y in enumerate(range(top + step, bottom - step, step)):
        end = right - 3 - (i % 2) * (w // 8)
        for x in range(left + 3, max(end, left + 4)):
            px[y][x] = (120, 120, 130, 255)
    # red seal
    cx, cy, r = right - w // 8, bottom - h // 6, max(w // 9, 2)
    for y in range(h):
        for x in range(w):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if r * r - 2 * r <= d <= r * r + r or d <= (r // 2) ** 2:
                px[y][x] = (200, 30, 40, 255)
    return px


def bmp24(px):
    h, w = len(px), len(px[0])
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for (r, g, b, _a) in px[y]:
            line += bytes((b, g, r))
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + header + data


def ico(sizes):
    images = []
    for s in sizes:
        px = receipt(s, s)
        xor = bytearray()
        for y in range(s - 1, -1, -1):
            for (r, g, b, a) in px[y]:
                xor += bytes((b, g, r, a))
        and_row = ((s + 31) // 32) * 4
        data = struct.pack("<IiiHHIIiiII", 40, s, 2 * s, 1, 32, 0, 0, 0, 0, 0, 0)
        data += xor + b"\0" * (and_row * s)
        images.append((s, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _s, data in images:
        out += data
    return out


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    with open(f"{folder}/logo.bmp", "wb") as f:
        f.write(bmp24(receipt(38, 37)))
    with open(f"{folder}/korvani.ico", "wb") as f:
        f.write(ico([32, 16]))
