#!/usr/bin/env python3
"""Draws Brisknote's 32x32, 24-bit application icon (a note page with a pencil) into res/brisknote.ico."""
import struct, sys

W = H = 32
px = [[None] * W for _ in range(H)]          # None: transparent

def put(x, y, c):
    if 0 <= x < W and 0 <= y < H:
        px[y][x] = c

# the page, with a folded top-right corner
for y in range(2, 30):
    for x in range(5, 25):
        if x - 18 > y - 2:                    # cut corner
            continue
        edge = x in (5, 24) or y in (2, 29) or x - 18 == y - 2
        put(x, y, (60, 60, 60) if edge else (250, 250, 245))
for i in range(6):                            # the fold
    for x in range(18, 18 + i + 1):
        put(x, 2 + i, (200, 200, 190))
# ruled lines
for y in (10, 14, 18, 22, 26):
    for x in range(8, 22):
        put(x, y, (90, 140, 220))
# a pencil across the page, lower left to upper right
for t in range(20):
    cx, cy = 10 + t, 27 - t
    for d in (-1, 0, 1):
        put(cx + d, cy, (235, 150, 30) if t > 3 else (80, 50, 30))
        put(cx, cy + d, (235, 150, 30) if t > 3 else (80, 50, 30))
put(9, 28, (20, 20, 20))

xor = bytearray()
for y in reversed(range(H)):
    for x in range(W):
        c = px[y][x] or (0, 0, 0)
        xor += bytes((c[2], c[1], c[0]))       # BGR
and_mask = bytearray()
for y in reversed(range(H)):
    bits = 0
    for x in range(W):
        bits = (bits << 1) | (1 if px[y][x] is None else 0)
    and_mask += struct.pack(">I", bits)
header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
image = header + xor + and_mask
ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", W, H, 0, 0, 1, 24, len(image), 22) + image
open(sys.argv[1] if len(sys.argv) > 1 else "res/brisknote.ico", "wb").write(ico)
