#!/usr/bin/env python3
"""Draws the Windows program's icons and the file-queue image strip.

Writes resources/main.ico (icon 128: a USB stick with an antenna, 32x32 and
16x16), resources/spare.ico (icon 133: a flash chip, 32x32 and 16x16) and
resources/queue_images.bmp (bitmap 143: five 16x16 images side by side, one
per queue kind). Every picture is drawn from the pixel maps below in the 16
standard VGA colours, so the output is the same byte for byte on every run.

    python3 tools/make_win32_art.py           write the files
    python3 tools/make_win32_art.py --check   fail when a file differs
"""
import os
import struct
import sys

# The 16 standard VGA colours, in the order of the classic 4-bit palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# One character per pixel. "." is transparent in icons; in the queue strip
# black is the mask colour, so "." and "k" both end up transparent there.
COLOURS = {
    ".": 0, "k": 0, "r": 1, "g": 2, "o": 3, "b": 4, "m": 5, "t": 6, "s": 7,
    "d": 8, "R": 9, "G": 10, "Y": 11, "B": 12, "M": 13, "C": 14, "W": 15,
}

# Icon 128, 32x32: a blue USB stick lying diagonal-free for clarity, its
# silver plug on the left, a red antenna with radio waves on the right.
MAIN_32 = [
    "................................",
    "........................d.......",
    "...................Y...dWd...Y..",
    "..................Y...dWWWd...Y.",
    ".................Y.Y...dRd...Y.Y",
    ".................Y.Y...dRd...Y.Y",
    ".................Y.Y...dRd...Y.Y",
    "..................Y....dRd....Y.",
    "...................Y...dRd...Y..",
    ".......................dRd......",
    ".......................dRd......",
    ".......................dRd......",
    ".......................dRd......",
    ".......................dRd......",
    ".......................dRd......",
    ".......................dRd......",
    "....dddddddddddddddddddddddd....",
    "....dBBBBBBBBBBBBBBBBBBBBBBbd...",
    "ddddsBBBBBBBBBBBBBBBBBBBBBBbd...",
    "dWWWsBBWWWWWBBBBBBBBBBBBBBBbd...",
    "dWssdBBWBBBWBBBBBBBBGGBBBBBbd...",
    "dWkksBBWWWWWBBBBBBBBGGBBBBBbd...",
    "dWssdBBBBBBBBBBBBBBBBBBBBBBbd...",
    "dWkksBBWWWWWBBBBBBBBBBBBBBBbd...",
    "dWssdBBWBBBWBBBBBBBBBBBBBBBbd...",
    "dWWWsBBWWWWWBBBBBBBBBBBBBBBbd...",
    "ddddsBBBBBBBBBBBBBBBBBBBBBBbd...",
    "....dbbbbbbbbbbbbbbbbbbbbbbbd...",
    "....ddddddddddddddddddddddddd...",
    "................................",
    "................................",
    "................................",
]

MAIN_16 = [
    "............d...",
    "..........YdWdY.",
    ".........Y.dRd.Y",
    "..........YdRdY.",
    "...........dRd..",
    "...........dRd..",
    "...........dRd..",
    "..ddddddddddddd.",
    "ddsBBBBBBBBBBBbd",
    "dWsBWWBBBBBBBBbd",
    "dkdBBBBBBBGGBBbd",
    "dWsBWWBBBBGGBBbd",
    "ddsBBBBBBBBBBBbd",
    "..dbbbbbbbbbbbbd",
    "..dddddddddddddd",
    "................",
]

# Icon 133, 32x32: a flash memory chip with its legs.
SPARE_32 = [
    "................................",
    "................................",
    "................................",
    "................................",
    "......s..s..s..s..s..s..s.......",
    "......s..s..s..s..s..s..s.......",
    "......s..s..s..s..s..s..s.......",
    "....ddddddddddddddddddddddd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkWkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkksssskkssskkskkskkkd.....",
    "....dkkkskkkkkskkkkskkskkkd.....",
    "....dkkksssskkssskkssssskkd.....",
    "....dkkkskkkkkkkskkskkskkkd.....",
    "....dkkkskkkkkssskkskkskkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....dkkkkkkkkkkkkkkkkkkkkkd.....",
    "....ddddddddddddddddddddddd.....",
    "......s..s..s..s..s..s..s.......",
    "......s..s..s..s..s..s..s.......",
    "......s..s..s..s..s..s..s.......",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

SPARE_16 = [
    "................",
    "................",
    "...s.s.s.s.s....",
    "...s.s.s.s.s....",
    "..ddddddddddd...",
    "..dkkkkkkkkkd...",
    "..dkWkkkkkkkd...",
    "..dkkkkkkkkkd...",
    "..dkksssskkkd...",
    "..dkkkkkkkkkd...",
    "..dkkkkkkkkkd...",
    "..ddddddddddd...",
    "...s.s.s.s.s....",
    "...s.s.s.s.s....",
    "................",
    "................",
]

# Bitmap 143: image k stands for queue kind k. 0 a PDA file (a page with a
# green table), 1 an image without identity (a page with a question mark),
# 2 a primary image (chip marked "1"), 3 a station image (chip with an
# antenna), 4 an image with both identities (chip marked "1" with antenna).
QUEUE = [
    "..dddddddd......" "..dddddddd......" "................" "...........Y...." "...........Y....",
    "..dWWWWWWdd....." "..dWWWWWWdd....." "................" "..........Y.Y..." "..........Y.Y...",
    "..dWWWWWWdWd...." "..dWWWWWWdWd...." "..s.s.s.s.s.s..." "...........R...." "...........R....",
    "..dWGGGGGWWWd..." "..dWWWBBBWWWd..." "..s.s.s.s.s.s..." "..s.s.s.s..R...." "..s.s.s.s..R....",
    "..dWGWGWGWWWd..." "..dWWBWWWBWWd..." ".ddddddddddddd.." "..s.s.s.s..R...." "..s.s.s.s..R....",
    "..dWGGGGGWWWd..." "..dWWWWWWBWWd..." ".dttttttttttttd." ".dddddddddddRdd." ".dddddddddddRdd.",
    "..dWGWGWGWWWd..." "..dWWWWWBWWWd..." ".dtWtttYttttttd." ".dtWttttttttRtd." ".dtWttYtttttRtd.",
    "..dWGGGGGWWWd..." "..dWWWWBWWWWd..." ".dttttYYttttttd." ".dttttttttttttd." ".dtttYYtttttttd.",
    "..dWGWGWGWWWd..." "..dWWWWBWWWWd..." ".dtttttYttttttd." ".dttttCCCCttttd." ".dttttYttCCCCtd.",
    "..dWGGGGGWWWd..." "..dWWWWWWWWWd..." ".dtttttYttttttd." ".dtttCttttCtttd." ".dttttYtCttttCd.",
    "..dWWWWWWWWWd..." "..dWWWWBWWWWd..." ".dttttYYYtttttd." ".dttttttttttttd." ".dtttYYYttttttd.",
    "..dWWWWWWWWWd..." "..dWWWWWWWWWd..." ".dttttttttttttd." ".dttttttttttttd." ".dttttttttttttd.",
    "..ddddddddddd..." "..ddddddddddd..." ".ddddddddddddd.." ".dddddddddddddd." ".dddddddddddddd.",
    "................" "................" "..s.s.s.s.s.s..." "..s.s.s.s.s.s..." "..s.s.s.s.s.s...",
    "................" "................" "..s.s.s.s.s.s..." "..s.s.s.s.s.s..." "..s.s.s.s.s.s...",
    "................" "................" "................" "................" "................",
]


def pixels(rows, width, height):
    if len(rows) != height or any(len(row) != width for row in rows):
        raise SystemExit("picture is not %dx%d" % (width, height))
    return [[COLOURS[c] for c in row] for row in rows]


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def four_bit_rows(grid):
    """Bottom-up rows of 4-bit indices, each padded to four bytes."""
    out = b""
    for row in reversed(grid):
        data = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        out += data + b"\0" * (-len(data) % 4)
    return out


def mask_rows(rows):
    """Bottom-up 1-bit AND mask: 1 where the picture is transparent."""
    out = b""
    for row in reversed(rows):
        bits = [1 if c == "." else 0 for c in row]
        data = bytes(
            sum(bit << (7 - j) for j, bit in enumerate(bits[i:i + 8]))
            for i in range(0, len(bits), 8))
        out += data + b"\0" * (-len(data) % 4)
    return out


def info_header(width, height):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, 0, 0, 0, 16, 0)


def icon_image(rows):
    size = len(rows)
    grid = pixels(rows, size, size)
    # An icon's header counts the colour bits and the mask: twice the height.
    return (info_header(size, size * 2) + palette_bytes() + four_bit_rows(grid)
            + mask_rows(rows))


def icon_file(*pictures):
    images = [icon_image(rows) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, image in zip(pictures, images):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def bitmap_file(rows):
    grid = pixels(rows, len(rows[0]), len(rows))
    body = info_header(len(rows[0]), len(rows)) + palette_bytes() + four_bit_rows(grid)
    header_size = 14 + 40 + 64
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, header_size) + body


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outputs = {
        "resources/main.ico": icon_file(MAIN_32, MAIN_16),
        "resources/spare.ico": icon_file(SPARE_32, SPARE_16),
        "resources/queue_images.bmp": bitmap_file(QUEUE),
    }
    check = "--check" in sys.argv[1:]
    stale = []
    for name, data in outputs.items():
        path = os.path.join(root, name)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("out of date, run tools/make_win32_art.py: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
