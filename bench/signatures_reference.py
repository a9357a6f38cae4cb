#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
"""A second, deliberately plain computation of the colour and pattern signatures, written from
the rules alone (no shared code, no speed tricks), to check the program's values on real
pictures. Reads binary PPM files and prints what signature_dump prints:

    name  X  Y  XYRATIO  RGB  SOFTRGB  QRGB  SOFTQRGB  PXLNUM  "PXLRAY"
    distance  i  j  hard  soft

Usage: signatures_reference.py FILE.ppm...
"""
import math
import os
import struct
import sys

TOO_SMALL = "Image too small..."


def single(x):
    """x rounded to the nearest single-precision value."""
    return struct.unpack("f", struct.pack("f", x))[0]


def round_even(x):
    return round(x)  # Python rounds halves to even


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    assert fields[0] == b"P6" and fields[3] == b"255", path
    w, h = int(fields[1]), int(fields[2])
    rows = [data[pos + 3 * w * y: pos + 3 * w * (y + 1)] for y in range(h)]
    # pixel (i, j), i from the left and j from the bottom, both from 1
    return w, h, lambda j: rows[h - j]


def three(v):
    return "%03d" % v


def colour_signatures(w, h, row):
    half_w = single(w / 2)
    half_h = single(h / 2)
    # quadrant -> [red, green, blue] sums; quadrants LB, RB, LT, RT
    sums = {q: [0, 0, 0] for q in ("LB", "RB", "LT", "RT")}
    left = [i for i in range(1, w + 1) if i <= half_w]
    n_left = len(left)
    for j in range(1, h + 1):
        r = row(j)
        bottom = j <= half_h
        for side, part in (("L", r[:3 * n_left]), ("R", r[3 * n_left:])):
            q = side + ("B" if bottom else "T")
            for c in range(3):
                sums[q][c] += sum(part[c::3])
    whole = [sum(sums[q][c] for q in sums) for c in range(3)]
    R, G, B = (math.floor(s / w / h) for s in whole)
    rgb = "R%s G%s B%s" % (three(R), three(G), three(B))
    soft = "R%s G%s B%s" % (three(abs(R - B)), three(abs(R - G)), three(abs(B - G)))
    order = ("LB", "RB", "LT", "RT")
    qavg = {q: [math.floor(sums[q][c] / half_w / half_h) for c in range(3)] for q in order}
    qrgb = "R" + " ".join(three(qavg[q][0]) for q in order) + \
        " G" + " ".join(three(qavg[q][1]) for q in order) + \
        " B" + " ".join(three(qavg[q][2]) for q in order)
    sq = "R" + " ".join(three(abs(qavg[q][0] - qavg[q][2])) for q in order) + \
        " G" + " ".join(three(abs(qavg[q][0] - qavg[q][1])) for q in order) + \
        " B" + " ".join(three(abs(qavg[q][2] - qavg[q][1])) for q in order)
    ratio = single(single(w) / single(h))
    return rgb, soft, qrgb, sq, ratio


def grey_rows(w, h, row):
    t76 = [round(76 * c / 255) for c in range(256)]
    t150 = [round(150 * c / 255) for c in range(256)]
    t28 = [round(28 * c / 255) for c in range(256)]
    g = [None]  # g[j][i - 1]
    for j in range(1, h + 1):
        r = row(j)
        g.append([t76[r[k]] + t150[r[k + 1]] + t28[r[k + 2]] for k in range(0, 3 * w, 3)])
    return g


def cell_sum(g, x0, x1, y0, y1):
    return sum(sum(g[y][x0 - 1:x1]) for y in range(y0, y1 + 1))


def pattern_signature(w, h, row):
    if w < 100 or h < 100:
        return TOO_SMALL, 0
    g = grey_rows(w, h, row)
    mean = sum(sum(g[j]) for j in range(1, h + 1)) // (w * h)

    cw = single(w / 50)
    ch = single(h / 50)
    area = single(cw * ch)
    F = {}
    for a in range(50):
        for b in range(50):
            x0 = round_even(single(single(a * cw) + 1))
            x1 = round_even(single(single(a * cw) + cw))
            y0 = round_even(single(single(b * ch) + 1))
            y1 = round_even(single(single(b * ch) + ch))
            v = min(round_even(cell_sum(g, x0, x1, y0, y1) / area), 255)
            F[(a + 1, b + 1)] = 1 if v >= mean else 0

    def column(c):
        return sum(F[(c, r)] for r in range(1, 51)) if 1 <= c <= 50 else 0

    def line(r):
        return sum(F[(c, r)] for c in range(1, 51)) if 1 <= r <= 50 else 0

    L = R = D = U = 0
    while True:
        sl, sr, sd, su = column(L + 1), column(50 - R), line(D + 1), line(50 - U)
        grew = False
        if su in (0, 50):
            U += 1
            grew = True
        if sd in (0, 50):
            D += 1
            grew = True
        if sl in (0, 50):
            L += 1
            grew = True
        if sr in (0, 50):
            R += 1
            grew = True
        if not grew or U >= h / 2 or L >= w / 2:
            break
    if U > 0 and D > 0 and F[(25, 1)] == F[(25, 50)]:
        D = round_even(single(D * ch))
        U = round_even(single(U * ch))
    else:
        D = U = 0
    if L > 0 and R > 0 and F[(1, 25)] == F[(50, 25)]:
        L = round_even(single(L * cw))
        R = round_even(single(R * cw))
    else:
        L = R = 0
    if h - D - U < 100:
        D = U = 0
    if w - L - R < 100:
        L = R = 0

    tw, th = w - L - R, h - D - U
    area_sum = cell_sum(g, L + 1, w - R, D + 1, h - U)
    mean2 = area_sum // (tw * th)
    cw2 = single(tw / 10)
    ch2 = single(th / 10)
    area2 = single(cw2 * ch2)
    text = ""
    count = 0
    for a in range(10):
        for b in range(10):
            x0 = round_even(single(single(single(a * cw2) + 1) + L))
            x1 = round_even(single(single(single(a * cw2) + cw2) + L))
            y0 = round_even(single(single(single(b * ch2) + 1) + D))
            y1 = round_even(single(single(single(b * ch2) + ch2) + D))
            v = min(round_even(cell_sum(g, x0, x1, y0, y1) / area2), 255)
            if v < mean2:
                text += "*"
                count += 1
            else:
                text += " "
    return text, count


def orientation_table():
    table = {}
    for a in range(10):
        for b in range(10):
            k = 10 * a + b + 1
            table[k] = (k, 10 * b + (9 - a) + 1, 101 - k, 10 * (9 - b) + a + 1,
                        10 * (9 - a) + b + 1, 10 * a + (9 - b) + 1)
    return table


def distance(p, q, soft, table):
    if len(p) < 3 or len(q) < 3 or p == TOO_SMALL or q == TOO_SMALL:
        return 999

    def at(text, k):  # 1-based; past the end there is no character
        return text[k - 1] if k <= len(text) else None

    if not soft:
        return sum(1 for k in range(1, len(p) + 1) if at(p, k) != at(q, k))
    return min(sum(1 for k in range(1, len(p) + 1) if at(p, k) != at(q, table[k][o]))
               for o in range(6))


def main(paths):
    table = orientation_table()
    patterns = []
    for path in paths:
        name = os.path.splitext(os.path.basename(path))[0]
        w, h, row = read_ppm(path)
        if w > 32767 or h > 32767:
            print("%s\tnot computed" % name)
            patterns.append("")
            continue
        rgb, soft, qrgb, sq, ratio = colour_signatures(w, h, row)
        text, count = pattern_signature(w, h, row)
        print('%s\t%d\t%d\t%.17g\t%s\t%s\t%s\t%s\t%d\t"%s"'
              % (name, w, h, ratio, rgb, soft, qrgb, sq, count, text))
        patterns.append(text)
    for a in range(len(patterns)):
        for b in range(a + 1, len(patterns)):
            print("distance\t%d\t%d\t%d\t%d" % (a + 1, b + 1,
                                                distance(patterns[a], patterns[b], False, table),
                                                distance(patterns[a], patterns[b], True, table)))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
