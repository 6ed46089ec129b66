#!/usr/bin/env python3
"""Draws the split-screen chooser's pictures: split_N.png, two 40x30 pieces (normal, hover) showing the
wall's arrangement of N cells. Run from this folder; pure Python (zlib + struct)."""
import struct
import zlib

W, H = 40, 30
BACK = [(0x2b, 0x31, 0x3b), (0x2d, 0x8c, 0xf0)]
LINE = (0xd8, 0xdc, 0xe2)


def cells(n):
    """Cell rectangles (x, y, w, h) on a 1000x750 area, as the wall arranges them."""
    A, B = 1000, 750
    if n == 1:
        return [(0, 0, A, B)]
    k = int(round(n ** 0.5))
    if k * k == n:
        return [(c * A // k, r * B // k, A // k, B // k) for r in range(k) for c in range(k)]
    m = {6: 3, 8: 4, 14: 5, 17: 5}[n]
    w, h = A // m, B // m
    if n == 6:
        return [(0, 0, 2 * w, 2 * h), (2 * w, 0, w, h), (2 * w, h, w, h), (0, 2 * h, w, h), (w, 2 * h, w, h), (2 * w, 2 * h, w, h)]
    if n == 8:
        return ([(0, 0, 3 * w, 3 * h)] + [(3 * w, i * h, w, h) for i in range(3)] +
                [(i * w, 3 * h, w, h) for i in range(3)] + [(3 * w, 3 * h, w, h)])
    if n == 14:
        return ([(0, 0, 3 * w, 3 * h)] + [(3 * w, i * h, w, h) for i in range(3)] + [(4 * w, i * h, w, h) for i in range(3)] +
                [(i * w, 3 * h, w, h) for i in range(3)] + [(i * w, 4 * h, w, h) for i in range(3)] + [(3 * w, 3 * h, 2 * w, 2 * h)])
    return ([(w, h, 3 * w, 3 * h)] + [(i * w, 0, w, h) for i in range(4)] + [(0, i * h, w, h) for i in range(1, 4)] +
            [(4 * w, i * h, w, h) for i in range(4)] + [(i * w, 4 * h, w, h) for i in range(4)] + [(4 * w, 4 * h, w, h)])


def piece(n, back):
    px = [[back + (255,) for _ in range(W)] for _ in range(H)]
    for x, y, w, h in cells(n):
        x0, y0 = 2 + x * (W - 4) // 1000, 2 + y * (H - 4) // 750
        x1, y1 = 2 + (x + w) * (W - 4) // 1000, 2 + (y + h) * (H - 4) // 750
        for xx in range(x0, min(x1, W - 2) + 1):
            for yy in (y0, min(y1, H - 2)):
                px[yy][xx] = LINE + (255,)
        for yy in range(y0, min(y1, H - 2) + 1):
            for xx in (x0, min(x1, W - 2)):
                px[yy][xx] = LINE + (255,)
    return px


def write_png(path, rows):
    raw = b"".join(b"\x00" + bytes(v for p in r for v in p) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


for n in (1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64):
    a, b = piece(n, BACK[0]), piece(n, BACK[1])
    write_png("split_%d.png" % n, [a[y] + b[y] for y in range(H)])
