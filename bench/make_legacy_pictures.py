#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
"""Writes the decoder benchmark's pictures of the types no tool on Debian writes (CUT, PIC, WPG,
GEM, WMF) from a 256-colour PPM, following the published format descriptions.

Usage: make_legacy_pictures.py PALETTED.ppm OUTPUT_FOLDER
"""
import os
import struct
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    if maxval < 256:
        pixels = data[pos + 1:pos + 1 + width * height * 3]
    else:  # 16-bit samples, most significant byte first: keep that byte
        pixels = data[pos + 1:pos + 1 + width * height * 6][0::2]
    return width, height, pixels


def index_picture(width, height, pixels):
    colours, index, rows = [], {}, []
    for y in range(height):
        row = bytearray(width)
        for x in range(width):
            c = pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
            if c not in index:
                index[c] = len(colours) if len(colours) < 256 else 0
                colours.append(c)
            row[x] = index[c]
        rows.append(bytes(row))
    return rows, (colours + [b"\0\0\0"] * 256)[:256]


def runs(row, limit):
    """Splits a row into ('run', value, n) and ('copy', bytes) pieces."""
    x, out = 0, []
    while x < len(row):
        n = 1
        while x + n < len(row) and row[x + n] == row[x] and n < limit:
            n += 1
        if n >= 3:
            out.append(("run", row[x], n))
            x += n
            continue
        start = x
        while x < len(row) and x - start < limit and not (
                x + 2 < len(row) and row[x] == row[x + 1] == row[x + 2]):
            x += 1
        out.append(("copy", row[start:x]))
    return out


def cut(width, height, rows):
    out = struct.pack("<HHH", width, height, 0)
    for row in rows:
        line = b""
        for piece in runs(row, 127):
            if piece[0] == "run":
                line += bytes([0x80 | piece[2], piece[1]])
            else:
                line += bytes([len(piece[1])]) + piece[1]
        line += b"\0"
        out += struct.pack("<H", len(line)) + line
    return out


def pic(width, height, rows, colours):
    palette = b"".join(bytes(v >> 2 for v in c) for c in colours)
    out = struct.pack("<HHHHHBBBHH", 0x1234, width, height, 0, 0, 0x08, 0xFF, ord("L"), 4,
                      len(palette)) + palette
    data = b"".join(reversed(rows))
    marker, blocks = 0xA5, []
    for start in range(0, len(data), 8192):
        chunk, packed, i = data[start:start + 8192], bytearray(), 0
        while i < len(chunk):
            n = 1
            while i + n < len(chunk) and chunk[i + n] == chunk[i] and n < 255:
                n += 1
            if n >= 4 or chunk[i] == marker:
                packed += bytes([marker, n, chunk[i]])
                i += n
            else:
                packed.append(chunk[i])
                i += 1
        blocks.append(struct.pack("<HHB", len(packed) + 5, len(chunk), marker) + packed)
    return out + struct.pack("<H", len(blocks)) + b"".join(blocks)


def wpg_header(major):
    return b"\xffWPC" + struct.pack("<IBBBBHH", 16, 1, 0x16, major, 0, 0, 0)


def wpg1_record(kind, payload):
    if len(payload) < 0xFF:
        return bytes([kind, len(payload)]) + payload
    if len(payload) < 0x8000:
        return bytes([kind, 0xFF]) + struct.pack("<H", len(payload)) + payload
    n = len(payload)
    return bytes([kind, 0xFF]) + struct.pack("<HH", 0x8000 | (n >> 16), n & 0xFFFF) + payload


def wpg1(width, height, rows, colours):
    packed = bytearray()
    for row in rows:
        for piece in runs(row, 127):
            if piece[0] == "run":
                packed += bytes([0x80 | piece[2], piece[1]])
            else:
                packed += bytes([len(piece[1])]) + piece[1]
    colour_map = struct.pack("<HH", 0, 256) + b"".join(colours)
    return (wpg_header(1) + wpg1_record(0x0F, struct.pack("<BBHH", 1, 0, width * 12, height * 12))
            + wpg1_record(0x0E, colour_map)
            + wpg1_record(0x0B, struct.pack("<hhhhh", width, height, 8, 96, 96) + bytes(packed))
            + wpg1_record(0x10, b""))


def wpg2_record(kind, payload, extension=0):
    return bytes([0x0F, kind, extension]) + wpg1_record(0, payload)[1:]


def wpg2(width, height, rows, colours):
    packed = bytearray()
    for row in rows:
        for piece in runs(row, 128):
            if piece[0] == "run":
                packed += bytes([0x80 | (piece[2] - 1), piece[1]])
            else:
                packed += bytes([len(piece[1]) - 1]) + piece[1]
    start = struct.pack("<HHB", 1200, 1200, 0) + struct.pack("<hhhh", 0, 0, width * 12,
                                                               height * 12) * 2
    palette = struct.pack("<HH", 0, 256) + b"".join(c + b"\0" for c in colours)
    place = struct.pack("<Hhhhhhh", 0, 0, 0, width * 12, height * 12, 96, 96)
    data = struct.pack("<HHBB", width, height, 4, 1) + bytes(packed)
    return (wpg_header(2) + wpg2_record(0x01, start) + wpg2_record(0x0C, palette)
            + wpg2_record(0x1B, place, 1) + wpg2_record(0x0E, data) + wpg2_record(0x02, b""))


def gem(width, height):
    def record(op, points=(), ints=(), sub=0):
        return (struct.pack("<HHHH", op, len(points), len(ints), sub)
                + b"".join(struct.pack("<hh", *p) for p in points)
                + b"".join(struct.pack("<h", i) for i in ints))
    out = struct.pack("<" + "h" * 24, -1, 24, 101, 2, 0, 0, width - 1, height - 1, 0, 0,
                      *([0] * 14))
    for k in range(300):
        x, y = (k * 37) % (width - 60), (k * 53) % (height - 60)
        out += record(25, ints=[2 + k % 14]) + record(23, ints=[1])
        if k % 3 == 0:
            out += record(11, points=[(x, y), (x + 50, y + 40)], sub=1)
        elif k % 3 == 1:
            out += record(11, points=[(x + 25, y + 25), (25, 18)], sub=5)
        else:
            out += record(17, ints=[1 + k % 15]) + record(16, points=[(3, 0)])
            out += record(6, points=[(x, y), (x + 60, y + 20), (x + 10, y + 55)])
    return out + record(0xFFFF)


def wmf(width, height, pixels):
    def record(function, params=b""):
        return struct.pack("<IH", 3 + len(params) // 2, function) + params
    # A 24-bit bottom-up DIB of the whole picture, then shapes over it.
    stride = (width * 3 + 3) & ~3
    bits = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
            row += bytes([b, g, r])
        bits += row + b"\0" * (stride - len(row))
    dib = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0) + bits
    body = record(0x020B, struct.pack("<hh", 0, 0)) + record(0x020C, struct.pack("<hh", height,
                                                                                  width))
    body += record(0x0F43, struct.pack("<IHhhhhhhhh", 0x00CC0020, 0, height, width, 0, 0,
                                       height, width, 0, 0) + dib)
    for k in range(200):
        x, y = (k * 41) % (width - 80), (k * 29) % (height - 80)
        body += record(0x02FC, struct.pack("<HIH", 0, (k * 0x10305) & 0xFFFFFF, 0))
        body += record(0x012D, struct.pack("<H", 0))
        if k % 2:
            body += record(0x041B, struct.pack("<hhhh", y + 60, x + 70, y, x))
        else:
            body += record(0x0418, struct.pack("<hhhh", y + 60, x + 70, y, x))
        body += record(0x01F0, struct.pack("<H", 0))
    body += record(0x0000)
    size_words = (18 + len(body)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, 1, 0, 0)
    key = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, width, height, 96, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack("<H", key[i:i + 2])[0]
    return key + struct.pack("<H", checksum) + header + body


def main():
    source, folder = sys.argv[1], sys.argv[2]
    width, height, pixels = read_ppm(source)
    rows, colours = index_picture(width, height, pixels)
    files = {
        "pal256.cut": cut(width, height, rows),
        "pal256.pic": pic(width, height, rows, colours),
        "pal256-v1.wpg": wpg1(width, height, rows, colours),
        "pal256-v2.wpg": wpg2(width, height, rows, colours),
        "drawing.gem": gem(width, height),
        "bitmap-and-shapes.wmf": wmf(width, height, pixels),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
