#!/usr/bin/python3
"""Draws Quillborne's icon and writes res/quillborne.ico.

The mark: a grey window behind, a blue window in front with a white arrow
pointing up, so that it reads as "on top" even at 16 pixels. Five images,
all 32 bits per pixel: 256 x 256 stored as PNG, 48, 32, 24 and 16 as
bitmaps. Same script, same bytes: run it again after changing the drawing.

    tools/make-icon.py [OUTPUT.ico]
"""
import os
import struct
import sys
import zlib

SIZES = [256, 48, 32, 24, 16]
SAMPLES = 4  # per axis, for smooth edges


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def band(shape, y0, y1):
    return lambda x, y: y0 <= y <= y1 and shape(x, y)


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        d = (side(a, b, x, y), side(b, c, x, y), side(c, a, x, y))
        return all(v >= 0 for v in d) or all(v <= 0 for v in d)
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


STROKE = 0.05
BACK = (0.05, 0.30, 0.70, 0.95)
FRONT = (0.30, 0.05, 0.95, 0.70)
ARROW_X = (FRONT[0] + FRONT[2]) / 2


def inset(box, d):
    return (box[0] + d, box[1] + d, box[2] - d, box[3] - d)


# Painted in order, back to front: (shape, RGB).
back_outer = rounded_rect(*BACK, 0.07)
front_outer = rounded_rect(*FRONT, 0.07)
LAYERS = [
    (back_outer, (0x4A, 0x53, 0x61)),
    (rounded_rect(*inset(BACK, STROKE), 0.03), (0xC8, 0xCE, 0xD6)),
    (band(back_outer, BACK[1], BACK[1] + 0.14), (0x4A, 0x53, 0x61)),
    (front_outer, (0x0B, 0x3F, 0x8C)),
    (rounded_rect(*inset(FRONT, STROKE), 0.03), (0x25, 0x7C, 0xEB)),
    (band(front_outer, FRONT[1], FRONT[1] + 0.14), (0x0B, 0x3F, 0x8C)),
    (triangle((ARROW_X, 0.24), (ARROW_X + 0.2, 0.46), (ARROW_X - 0.2, 0.46)), (0xFF, 0xFF, 0xFF)),
    (rect(ARROW_X - 0.07, 0.45, ARROW_X + 0.07, 0.62), (0xFF, 0xFF, 0xFF)),
]


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                y = (py + (sy + 0.5) / SAMPLES) / size
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    colour = None
                    for shape, rgb in LAYERS:
                        if shape(x, y):
                            colour = rgb
                    if colour:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "quillborne.ico")
    images = [png(render(s)) if s == 256 else dib(render(s)) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
