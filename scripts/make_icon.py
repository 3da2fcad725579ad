#!/usr/bin/env python3
"""Draws the plug-in's window icon (a score chart on the windows' pale yellow)
and writes it as src/resources/stats.ico with 32x32 and 16x16 images.

Run from anywhere: python3 scripts/make_icon.py
"""
import os
import struct

PAPER = (255, 250, 198)
INK = (40, 60, 120)
BARS = [(200, 60, 40), (230, 150, 30), (40, 140, 60)]


def draw(size):
    """Pixels as rows of (r, g, b, a), top row first."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    corner = max(1, size // 8)
    for y in range(size):
        for x in range(size):
            # A rounded tile: leave the corner pixels transparent.
            dx = max(corner - x, x - (size - 1 - corner), 0)
            dy = max(corner - y, y - (size - 1 - corner), 0)
            if dx * dx + dy * dy > corner * corner:
                continue
            edge = x in (0, size - 1) or y in (0, size - 1) or dx * dx + dy * dy > (corner - 1) ** 2
            px[y][x] = INK + (255,) if edge else PAPER + (255,)
    # Three rising bars standing on a base line.
    margin = size // 5
    base = size - margin
    width = (size - 2 * margin) // 3
    for i, colour in enumerate(BARS):
        left = margin + i * width
        top = base - (size - 2 * margin) * (i + 1) // 3
        for y in range(top, base):
            for x in range(left + (1 if size > 16 else 0), left + width - 1):
                px[y][x] = colour + (255,)
    for x in range(margin - 1, size - margin + 1):
        px[base][x] = INK + (255,)
    return px


def image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main():
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "resources", "stats.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
