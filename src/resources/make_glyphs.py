#!/usr/bin/env python3
"""Draws the glyphs of the folder dialog's drive box, folder list and file list: small
4-bit bitmaps in the standard 16-colour palette on a pure blue background. The lists
draw a glyph with the colour of its bottom-left pixel left out, so every picture keeps
that pixel blue and uses blue nowhere else. Run it to regenerate glyphs/*.bmp; the
results are committed so the build needs no image tools."""
import struct
import sys

# The standard 16-colour palette, and one letter for each colour in the pictures below.
PALETTE = [
    ("k", (0, 0, 0)), ("m", (128, 0, 0)), ("g", (0, 128, 0)), ("o", (128, 128, 0)),
    ("n", (0, 0, 128)), ("p", (128, 0, 128)), ("t", (0, 128, 128)), ("s", (192, 192, 192)),
    ("d", (128, 128, 128)), ("r", (255, 0, 0)), ("l", (0, 255, 0)), ("y", (255, 255, 0)),
    (".", (0, 0, 255)), ("f", (255, 0, 255)), ("c", (0, 255, 255)), ("w", (255, 255, 255)),
]
INDEX = {letter: i for i, (letter, _rgb) in enumerate(PALETTE)}

# Drive fronts, 16 x 11.
FLOPPY = """
................
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwsk.
.kwsssssssssssk.
.kwskkkkkkkkssk.
.kwsssssssssssk.
.kwsssssssddssk.
.ksddddddddddsk.
.kkkkkkkkkkkkkk.
................
"""

HARD = """
................
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwsk.
.kwsddddddsssdk.
.kwsssssssssssk.
.kwsddddddsssdk.
.kwsssssssssgsk.
.ksddddddddddsk.
.kkkkkkkkkkkkkk.
................
"""

NETWORK = """
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwsk.
.kwsddddddsssdk.
.kwsssssssssgsk.
.ksddddddddddsk.
.kkkkkkkkkkkkkk.
.......kk.......
..kkkkkkkkkkkk..
..kk...kk...kk..
................
"""

CDROM = """
................
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwsk.
.kwsssssswwwssk.
.kwskkkkwcckwsk.
.kwsssssswcwssk.
.kwsssssssssgsk.
.ksddddddddddsk.
.kkkkkkkkkkkkkk.
................
"""

RAM = """
................
................
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwsk.
.kwssdsdsdsdssk.
.kwsskkkkkkkssk.
.kwsskkkkkkkssk.
.kwssdsdsdsdssk.
.ksddddddddddsk.
.kkkkkkkkkkkkkk.
................
"""

# Folders and files, 16 x 15.
CLOSEDFOLDER = """
................
................
................
..kkkkk.........
.kwwwwwk........
.kwyyyyykkkkkkk.
.kwyyyyyyyyyyyok
.kwyyyyyyyyyyyok
.kwyyyyyyyyyyyok
.kwyyyyyyyyyyyok
.kwyyyyyyyyyyyok
.kwyyyyyyyyyyyok
.kooooooooooooko
..kkkkkkkkkkkkkk
................
"""

OPENFOLDER = """
................
................
................
..kkkkk.........
.kwwwwwk........
.kwyyyyykkkkkk..
.kwyyyyyyyyyyok.
.kwykkkkkkkkkkkk
.kwkwwwwwwwwwwok
.kwkwyyyyyyyyyko
.kkwyyyyyyyyyyko
.kkwyyyyyyyyyok.
.kwyyyyyyyyyyko.
.kkkkkkkkkkkkk..
................
"""

CURRENTFOLDER = """
................
................
................
..kkkkk.........
.kdkdkdk........
.kkdkdkdkkkkkk..
.kdkdkdkdkdkdk..
.kkdkkkkkkkkkkkk
.kdkwwwwwwwwwwok
.kkkwyyyyyyyyyko
.kkwyyyyyyyyyyko
.kkwyyyyyyyyyok.
.kwyyyyyyyyyyko.
.kkkkkkkkkkkkk..
................
"""

EXECUTABLE = """
................
................
.kkkkkkkkkkkkkk.
.knnnnnnnnnnwkk.
.kkkkkkkkkkkkkk.
.kwwwwwwwwwwwwk.
.kwsssssssssswk.
.kwswwwwwwwwswk.
.kwswwwwwwwwswk.
.kwswwwwwwwwswk.
.kwsssssssssswk.
.kwwwwwwwwwwwwk.
.kkkkkkkkkkkkkk.
................
................
"""

UNKNOWNFILE = """
................
...kkkkkkkk.....
...kwwwwwwkk....
...kwwwwwwkwk...
...kwwwwwwkkkk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kwwwwwwwwwk..
...kkkkkkkkkkk..
................
"""

GLYPHS = {
    "floppy": (FLOPPY, 16, 11),
    "hard": (HARD, 16, 11),
    "network": (NETWORK, 16, 11),
    "cdrom": (CDROM, 16, 11),
    "ram": (RAM, 16, 11),
    "openfolder": (OPENFOLDER, 16, 15),
    "closedfolder": (CLOSEDFOLDER, 16, 15),
    "currentfolder": (CURRENTFOLDER, 16, 15),
    "executable": (EXECUTABLE, 16, 15),
    "unknownfile": (UNKNOWNFILE, 16, 15),
}


def rows(picture, w, h):
    lines = picture.strip("\n").split("\n")
    assert len(lines) == h, (len(lines), h)
    for line in lines:
        assert len(line) == w, line
    assert lines[-1][0] == ".", "the bottom-left pixel must be the background"
    return [[INDEX[c] for c in line] for line in lines]


def bmp4(px):
    """A bottom-up 4-bit bitmap file with the 16-colour palette."""
    h, w = len(px), len(px[0])
    row = ((w + 1) // 2 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(0, w, 2):
            hi = px[y][x]
            lo = px[y][x + 1] if x + 1 < w else 0
            line.append(hi << 4 | lo)
        data += line + b"\0" * (row - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for _letter, (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 3780, 3780, 16, 0)
    offset = 14 + 40 + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + palette + data


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "glyphs"
    for name, (picture, w, h) in GLYPHS.items():
        with open(f"{folder}/{name}.bmp", "wb") as f:
            f.write(bmp4(rows(picture, w, h)))
