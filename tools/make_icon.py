#!/usr/bin/env python3
"""Draws the program icon (a page with a title bar and a grid of links) and
writes it as src/res/pagetrix.ico with 16, 32 and 48 pixel images.

Each image is a 32-bit BMP with alpha plus the 1-bit AND mask, which every
icon loader understands. Shapes are sampled 8x8 per pixel for smooth edges.

    python3 tools/make_icon.py [output.ico] [--png preview_prefix]
"""

import argparse
import os
import struct
import zlib

OUTLINE = (0x3A, 0x44, 0x52)
PAPER = (0xFF, 0xFF, 0xFF)
FOLD = (0xD8, 0xDE, 0xE8)
TITLE = (0x25, 0x5F, 0xC8)
CELLS = [(0x25, 0x5F, 0xC8), (0xF0, 0x8C, 0x1E), (0x2E, 0xA0, 0x55),
         (0xF0, 0x8C, 0x1E), (0x2E, 0xA0, 0x55), (0x25, 0x5F, 0xC8),
         (0x2E, 0xA0, 0x55), (0x25, 0x5F, 0xC8), (0xF0, 0x8C, 0x1E)]
SAMPLES = 8


def page_shape(size):
    """Returns a function (x, y) -> colour or None for one image size."""
    px = 1.0 / size  # one pixel in unit coordinates

    def snap(v):
        # Edges on pixel boundaries keep the small images crisp.
        return round(v * size) / size

    x0, x1, y0, y1 = snap(0.13), snap(0.87), snap(0.03), snap(0.97)
    fold = snap(0.25)
    line = px if size < 40 else 2 * px
    cells = 2 if size < 24 else 3
    gap = px if size < 40 else 2 * px
    gx0, gx1 = x0 + line + px * max(1, size // 16), x1 - line - px * max(1, size // 16)
    gy0, gy1 = snap(0.42), y1 - line - px * max(1, size // 16)
    # Whole-pixel cells, the grid centred in the space left for it.
    cw = ((gx1 - gx0 - gap * (cells - 1)) * size // cells) / size
    ch = ((gy1 - gy0 - gap * (cells - 1)) * size // cells) / size
    gx0 = snap((gx0 + gx1 - cells * cw - (cells - 1) * gap) / 2)
    gy0 = snap((gy0 + gy1 - cells * ch - (cells - 1) * gap) / 2)
    gx1, gy1 = gx0 + cells * cw + (cells - 1) * gap, gy0 + cells * ch + (cells - 1) * gap
    ty0 = snap(0.15) if size > 16 else snap(0.19)
    ty1 = ty0 + max(2 * px, snap(0.12))

    def cut(x, y, inset):
        # Above-right of the fold line belongs to no page.
        return (x - x1 + fold) - (y - y0) > -inset * 1.414

    def inside(x, y, inset):
        return (x0 + inset <= x < x1 - inset and y0 + inset <= y < y1 - inset
                and not cut(x, y, inset))

    def colour(x, y):
        if not inside(x, y, 0.0):
            return None
        if not inside(x, y, line):
            return OUTLINE
        if x >= x1 - fold - line and y <= y0 + fold + line:
            # The turned-down corner with its own edge.
            if (x - x1 + fold) - (y - y0) > -line * 1.414 or x <= x1 - fold or y >= y0 + fold:
                return OUTLINE
            return FOLD
        if ty0 <= y < ty1 and gx0 <= x < x1 - fold - px:
            return TITLE
        if gx0 <= x < gx1 and gy0 <= y < gy1:
            col = int((x - gx0) / (cw + gap))
            row = int((y - gy0) / (ch + gap))
            if col < cells and row < cells:
                if x - gx0 - col * (cw + gap) < cw and y - gy0 - row * (ch + gap) < ch:
                    return CELLS[(row * cells + col) % len(CELLS)]
        return PAPER

    return colour


def render(size):
    """Rows of (r, g, b, a) from top to bottom."""
    shape = page_shape(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shape((px + (sx + 0.5) / SAMPLES) / size,
                              (py + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            if a:
                row.append((r // a, g // a, b // a, a * 255 // (SAMPLES * SAMPLES)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_image(rows):
    """BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask (double height)."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, image in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
        data += image
    return out + data


def png(rows):
    """A plain RGBA PNG, for looking at the result."""
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=" ".join(__doc__.split("\n\n")[0].split()))
    parser.add_argument("target", nargs="?",
                        default=os.path.join(here, "..", "src", "res", "pagetrix.ico"),
                        help="the icon file to write (default: src/res/pagetrix.ico)")
    parser.add_argument("--png", metavar="PREVIEW_PREFIX",
                        help="also write PREFIX16.png, PREFIX32.png and PREFIX48.png")
    opts = parser.parse_args(argv)
    target, preview = opts.target, opts.png
    images = []
    for size in (16, 32, 48):
        rows = render(size)
        images.append((size, bmp_image(rows)))
        if preview:
            with open("%s%d.png" % (preview, size), "wb") as f:
                f.write(png(rows))
    with open(target, "wb") as f:
        f.write(ico(images))


if __name__ == "__main__":
    main()
