#!/usr/bin/env python3
"""Writes the source bitmaps of the TIFF sweep for each size WxH given: bilevel (a white-then-
black palette, as image editors write it), two-colour (red and blue), 4-bit with 12 colours,
8-bit with 200 colours, 24-bit, and 32-bit with half alpha. One process writes them all: made
one image-editor run each, they cost most of the sweep's time.

Pixels come from a fixed pseudo-random sequence, so every bit and index position of a row is
set somewhere, unlike a smooth gradient that leaves most of a small picture one colour."""
import struct
import sys


def rows_of(width, height, seed):
    state = seed
    for _ in range(height):
        row = []
        for _ in range(width):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            row.append(state >> 8)
        yield row


def pack_indexed(row, bits):
    out = bytearray()
    per_byte = 8 // bits
    for start in range(0, len(row), per_byte):
        byte = 0
        for k, index in enumerate(row[start:start + per_byte]):
            byte |= index << (8 - bits * (k + 1))
        out.append(byte)
    return bytes(out)


def write_bmp(path, width, height, bits, palette, rows):
    """PALETTE: (r, g, b) per entry, empty for direct colour; ROWS top-down, each a list of
    indexes or of (r, g, b[, a]) tuples."""
    body = bytearray()
    for row in reversed(rows):  # a BMP stores its bottom row first
        if palette:
            line = pack_indexed(row, bits)
        else:
            line = b"".join(bytes((b, g, r) + ((a,) if bits == 32 else ())) for r, g, b, a in row)
        body += line + b"\0" * (-len(line) % 4)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + body)


def main():
    for size in sys.argv[1:]:
        width, height = (int(v) for v in size.split("x"))
        random = list(rows_of(width, height, width * 31 + height))
        ramp = [(255 * k // 11, 64 + 12 * k, 255 - 255 * k // 11) for k in range(12)]
        wide = [(k, (k * 7) % 256, 255 - k) for k in range(200)]
        kinds = {
            "bw": (1, [(255, 255, 255), (0, 0, 0)], 2),
            "two": (1, [(255, 0, 0), (0, 0, 255)], 2),
            "p4_": (4, ramp, 12),
            "p8_": (8, wide, 200),
        }
        for kind, (bits, palette, count) in kinds.items():
            rows = [[v % count for v in row] for row in random]
            write_bmp(f"{kind}{size}.bmp", width, height, bits, palette, rows)
        colours = [[(v & 255, (v >> 8) & 255, (v >> 16) & 255, 128) for v in row] for row in random]
        write_bmp(f"rgb24_{size}.bmp", width, height, 24, [], colours)
        write_bmp(f"rgb32_{size}.bmp", width, height, 32, [], colours)


if __name__ == "__main__":
    main()
