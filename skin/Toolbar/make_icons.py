#!/usr/bin/env python3
"""Draws the play toolbar's pictures: strips of four 22x22 pieces (normal, hover, pressed, disabled).

Run from this folder; it rewrites the PNG files beside it. Pure Python (zlib + struct), no other tools.
"""
import math
import struct
import zlib

SIZE = 22
STATES = [(0xd8, 0xdc, 0xe2), (0xff, 0xff, 0xff), (0x2d, 0x8c, 0xf0), (0x5a, 0x5e, 0x66)]


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def poly(*pts):
    return lambda x, y: inside_polygon(x, y, pts)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def line(x0, y0, x1, y1, w):
    def hit(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= w / 2
    return hit


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


ICONS = {
    "play.png": poly((7, 4.5), (17.5, 11), (7, 17.5)),
    "stop.png": rect(6, 6, 16, 16),
    "record.png": union(ring(11, 11, 7.5, 1.6), circle(11, 11, 4)),
    "record_on.png": circle(11, 11, 6.5),
    "audio.png": union(rect(4, 8, 7, 14), poly((7, 8), (12, 4), (12, 18), (7, 14)),
                       line(14.5, 8, 15.5, 11, 1.4), line(15.5, 11, 14.5, 14, 1.4),
                       line(17, 6, 18.8, 11, 1.4), line(18.8, 11, 17, 16, 1.4)),
    "audio_off.png": union(rect(4, 8, 7, 14), poly((7, 8), (12, 4), (12, 18), (7, 14)),
                           line(14, 8, 19, 14, 1.6), line(19, 8, 14, 14, 1.6)),
    "snapshot.png": union(minus(rect(3, 7, 19, 17), circle(11, 12, 3.8)), circle(11, 12, 2.2),
                          rect(8, 5, 14, 7)),
    "speek.png": union(rect(9, 3, 13, 12), circle(11, 3.5, 2), circle(11, 11.5, 2),
                       minus(ring(11, 10, 6, 1.4), rect(4, 4, 18, 10)), rect(10.3, 16, 11.7, 19),
                       rect(7, 18.5, 15, 19.8)),
    "fullscreen.png": union(line(4, 4, 9, 4, 2), line(4, 4, 4, 9, 2), line(13, 4, 18, 4, 2),
                            line(18, 4, 18, 9, 2), line(4, 18, 9, 18, 2), line(4, 13, 4, 18, 2),
                            line(13, 18, 18, 18, 2), line(18, 13, 18, 18, 2)),
    "playback.png": union(minus(ring(11, 11, 8, 1.7), poly((2, 2), (9, 2), (11, 11))),
                          poly((2.5, 3.5), (9, 4), (5, 9.5)), line(11, 6.5, 11, 11.5, 1.6),
                          line(11, 11.5, 14.5, 13.5, 1.6)),
    # quality levels: one, two and three bars ("smooth", "balanced", "high definition")
    "gj_ico_9.png": rect(5, 13, 8, 17),
    "gj_ico_10.png": union(rect(5, 13, 8, 17), rect(10, 9, 13, 17)),
    "gj_ico_11.png": union(rect(5, 13, 8, 17), rect(10, 9, 13, 17), rect(15, 5, 18, 17)),
}


def render(shape, color):
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            hits = sum(shape(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
            row += bytes(color) + bytes([hits * 255 // 16])
        rows.append(row)
    return rows


def write_png(path, rows):
    width = len(rows[0]) // 4
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


for name, shape in ICONS.items():
    pieces = [render(shape, c) for c in STATES]
    write_png(name, [b"".join(p[y] for p in pieces) for y in range(SIZE)])
