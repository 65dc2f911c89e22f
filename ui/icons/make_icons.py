#!/usr/bin/env python3
"""Draws the Korvexa icon (a township grid with a corner marked for the GPS)
as PNG files of several sizes. Standard library only; run it from this folder."""
import struct
import zlib

GREEN = (46, 107, 58)
DARK = (24, 60, 32)
GRID = (240, 230, 200)
RED = (200, 30, 30)


def colour_at(x, y):
    """Colour (r, g, b, a) of the point (x, y) in the unit square."""
    corner = 0.16
    dx = max(corner - x, 0, x - (1 - corner))
    dy = max(corner - y, 0, y - (1 - corner))
    distance = (dx * dx + dy * dy) ** 0.5
    if distance > corner:
        return (0, 0, 0, 0)
    if distance > corner - 0.05 or min(x, y, 1 - x, 1 - y) < 0.05:
        return DARK + (255,)
    mark_x, mark_y = 2 / 3, 1 / 3
    ring = ((x - mark_x) ** 2 + (y - mark_y) ** 2) ** 0.5
    if ring < 0.07 or 0.15 < ring < 0.22:
        return RED + (255,)
    for line in (1 / 3, 2 / 3):
        if abs(x - line) < 0.025 or abs(y - line) < 0.025:
            return GRID + (255,)
    return GREEN + (255,)


def pixel(size, px, py, samples=4):
    total = [0, 0, 0, 0]
    for sy in range(samples):
        for sx in range(samples):
            r, g, b, a = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
            total = [total[0] + r * a, total[1] + g * a, total[2] + b * a, total[3] + a]
    alpha = total[3]
    if alpha == 0:
        return bytes(4)
    return bytes([round(total[0] / alpha), round(total[1] / alpha), round(total[2] / alpha),
                  round(alpha / samples / samples)])


def png(size):
    rows = b"".join(b"\0" + b"".join(pixel(size, x, y) for x in range(size)) for y in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


for size in (16, 32, 48, 64, 128, 256):
    with open(f"korvexa-{size}.png", "wb") as out:
        out.write(png(size))
