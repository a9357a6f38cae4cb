#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
"""How well each comparison mode finds copies of photographs.

  quality.py make PHOTO_DIR... --out SET --truth TRUTH.csv
      Builds the evaluation set from the photographs found in the given folders: every
      original plus its copies (resized, recompressed, turned, mirrored, framed, letterboxed,
      cropped, converted), and unrelated pictures, spread over folders named as a user's
      would be. TRUTH.csv records for each file its picture and the kind of copy it is.

  quality.py measure SET --truth TRUTH.csv --vexa PROGRAM --work DIR [--markdown FILE]
      Runs `vexa --report` over the set for every mode and option combination, and prints
      pair precision and, per kind of copy, how many copies were found.

Only the standard library and ImageMagick's convert are used.
"""

import argparse
import csv
import io
import os
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor

LONG_SIDE = 1600  # originals are scaled to a common photograph size
TILE_SIDE = 1024  # unrelated pictures are tiles of the photographs not used as originals
TYPES = ".JPG,.PNG,.BMP,.TIF"

# Kinds of copy: name, column heading, folder, ImageMagick arguments (None: a byte copy),
# output extension, and the name an odd-numbered original's copy gets ({n} is the
# original's name). Even-numbered originals' copies keep the original's name, the way a copy
# in another folder does; the others are renamed the way users and programs rename.
KINDS = [
    ("same", "copy", "Backup", None, ".jpg", "{n} (1)"),
    ("resized", "50%", "Web", ["-resize", "50%", "-quality", "90"], ".jpg", "{n}_small"),
    ("recompressed", "q60", "Phone", ["-quality", "60"], ".jpg", "IMG_{i:04d}"),
    ("turned90", "90°", "Edited/turned right", ["-rotate", "90", "-quality", "90"], ".jpg",
     "{n}_rotated"),
    ("turned180", "180°", "Edited/upside down", ["-rotate", "180", "-quality", "90"], ".jpg",
     "{n} copy"),
    ("turned270", "270°", "Edited/turned left", ["-rotate", "270", "-quality", "90"], ".jpg",
     "DSC_{i:04d}"),
    ("mirrored", "mirror", "Edited/mirrored", ["-flop", "-quality", "90"], ".jpg", "{n}_mirror"),
    ("flipped", "flip", "Edited/flipped", ["-flip", "-quality", "90"], ".jpg", "{n}_flipped"),
    ("framed", "frame", "Edited/framed",
     ["-bordercolor", "#f2eee4", "-border", "48", "-quality", "90"], ".jpg", "{n}_framed"),
    ("letterboxed", "bars", "Edited/letterboxed", None, ".jpg", "{n}_wide"),
    ("cropped", "crop", "Edited/cropped",
     ["-gravity", "center", "-crop", "94%x94%+0+0", "+repage", "-quality", "90"], ".jpg",
     "{n}_crop"),
    ("png", "PNG", "Converted", [], ".png", "{n}_export"),
    ("bmp", "BMP", "Converted", ["-type", "TrueColor"], ".bmp", "{n}_export"),
    ("tif", "TIF", "Converted", ["-compress", "lzw"], ".tif", "{n}_export"),
]
KIND_NAMES = [k[0] for k in KINDS]
HEADINGS = {k[0]: k[1] for k in KINDS}


def convert(args):
    # ImageMagick warns about the XMP packets of some photographs: shown only on failure.
    run = subprocess.run(["convert"] + args, capture_output=True, text=True)
    if run.returncode != 0:
        raise RuntimeError("convert %s: %s" % (" ".join(args), run.stderr.strip()))


def dimensions(path):
    out = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                         capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def photographs(folders, skip):
    """The JPEG photographs in the given folders by name, those named in skip left out."""
    found = []
    for folder in folders:
        for root, _, files in os.walk(folder):
            for f in files:
                if f.lower().endswith((".jpg", ".jpeg")) and f not in skip:
                    found.append(os.path.join(root, f))
    found.sort(key=lambda p: os.path.basename(p).lower())
    return found


def make(args):
    sources = photographs(args.folders, args.skip)
    if len(sources) < 24:
        sys.exit("only %d photographs found; at least 24 are needed" % len(sources))
    # Every fourth photograph gives unrelated tiles, the others are originals.
    originals = [p for k, p in enumerate(sources) if k % 4 != 3][: args.originals]
    others = [p for k, p in enumerate(sources) if k % 4 == 3]
    out = args.out
    truth = []  # (relative path, picture, kind)
    jobs = []

    def add(rel, picture, kind):
        truth.append((rel, picture, kind))
        os.makedirs(os.path.dirname(os.path.join(out, rel)), exist_ok=True)
        return os.path.join(out, rel)

    for i, src in enumerate(originals):
        name = os.path.splitext(os.path.basename(src))[0]
        picture = "p%02d" % i
        orig = add(os.path.join("Photos", name + ".jpg"), picture, "original")
        # The decoder may shrink the large photographs while reading them: much faster.
        convert(["-define", "jpeg:size=%dx%d" % (2 * LONG_SIDE, 2 * LONG_SIDE), src,
                 "-auto-orient", "-strip", "-resize", "%dx%d" % (LONG_SIDE, LONG_SIDE),
                 "-quality", "90", orig])
        for kind, _, folder, ops, ext, renamed in KINDS:
            base = name if i % 2 == 0 else renamed.format(n=name, i=2000 + i)
            dest = add(os.path.join(folder, base + ext), picture, kind)
            if ops is None and kind == "same":
                shutil.copyfile(orig, dest)
            elif kind == "letterboxed":
                # Black bars above and below, an eighth of the height each.
                w, h = dimensions(orig)
                jobs.append([orig, "-background", "black", "-gravity", "center", "-extent",
                             "%dx%d" % (w, round(h * 1.25)), "-quality", "90", dest])
            else:
                jobs.append([orig] + ops + [dest])

    # Unrelated pictures: a 3 x 2 grid of tiles of each remaining photograph. Cameras reuse
    # their numbers, so the two folders hold the same names for different pictures.
    k = 0
    for src in others:
        w, h = dimensions(src)
        for row in range(2):
            for col in range(3):
                year = 2019 if k % 2 == 0 else 2021
                rel = os.path.join("Camera", str(year), "IMG_%04d.jpg" % (101 + k // 2))
                dest = add(rel, "u%02d" % k, "unrelated")
                crop = "%dx%d+%d+%d" % (w // 3, h // 2, col * w // 3, row * h // 2)
                jobs.append([src, "-auto-orient", "-strip", "-crop", crop, "+repage",
                             "-resize", "%dx%d>" % (TILE_SIDE, TILE_SIDE), "-quality", "85",
                             dest])
                k += 1

    # ImageMagick on one thread per job, as many jobs as there are cores.
    os.environ["MAGICK_THREAD_LIMIT"] = "1"
    try:
        with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            list(pool.map(convert, jobs))
    except RuntimeError as e:
        sys.exit(str(e))

    with open(args.truth, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["path", "picture", "kind"])
        w.writerows(truth)
    print("evaluation set: %d originals, %d copies, %d unrelated pictures"
          % (len(originals), len(originals) * len(KINDS), k))


# The combinations measured: mode, soft, ignore type, tolerance. Soft and ignore type make no
# difference to SIZE, CHECKSUM's ignore type and PATTERN's ignore type, so those are left out.
def combinations():
    combos = []
    for mode in ("NAME", "SIZE", "NAMESIZE", "NUMBERED"):
        if mode == "SIZE":
            combos.append((mode, False, False, None))
            continue
        for ignore in (False, True):
            for soft in (False, True):
                combos.append((mode, soft, ignore, None))
    for soft in (False, True):
        combos.append(("CHECKSUM", soft, False, None))
    for mode in ("AVGRGB", "QUADRGB"):
        for ignore in (False, True):
            for soft in (False, True):
                for tol in (0, 5, 10):
                    combos.append((mode, soft, ignore, tol))
    for soft in (False, True):
        for tol in (0, 5, 10):
            combos.append(("PATTERN", soft, False, tol))
    return combos


def label(combo):
    mode, soft, ignore, tol = combo
    words = [mode]
    if tol is not None:
        words.append("tol %d" % tol)
    if soft:
        words.append("soft")
    if ignore:
        words.append("ignore type")
    return " ".join(words)


def report_pairs(vexa, env, folder, combo):
    mode, soft, ignore, tol = combo
    cmd = [vexa, "--report", folder, "--mode", mode, "--types", TYPES, "--format", "csv"]
    if soft:
        cmd.append("--soft")
    if ignore:
        cmd.append("--ignore-type")
    if tol is not None:
        cmd += ["--tolerance", str(tol)]
    run = subprocess.run(cmd, env=env, capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit("vexa --report failed (%s): %s" % (" ".join(cmd), run.stderr.strip()))
    return [(r["reference"], r["candidate"]) for r in csv.DictReader(io.StringIO(run.stdout))]


class Truth:
    def __init__(self, folder, path):
        self.picture, self.kind = {}, {}
        with open(path, newline="") as f:
            for r in csv.DictReader(f):
                key = os.path.join(folder, r["path"])
                self.picture[key], self.kind[key] = r["picture"], r["kind"]
        self.original = {p: f for f, p in self.picture.items() if self.kind[f] == "original"}
        self.copies = [f for f in self.picture if self.kind[f] in KIND_NAMES]

    def key(self, path):
        key = os.path.normpath(path)
        if key not in self.picture:
            sys.exit("the report names a file outside the set: " + path)
        return key


def score(truth, pairs):
    """Precision of the reported pairs, and per kind the share of copies found.

    A copy is found when the true pairs reported join it to its original, directly or
    through other copies of the same picture: the walks of every mode but PATTERN show a
    run of equal files as A-B, B-C, and a user who reviews them meets every file of the run.
    """
    unordered = {frozenset((truth.key(a), truth.key(b))) for a, b in pairs}
    unordered = {p for p in unordered if len(p) == 2}
    true_pairs = {p for p in unordered if len({truth.picture[f] for f in p}) == 1}
    parent = {}

    def root(f):
        while parent.get(f, f) != f:
            f = parent[f]
        return f

    for a, b in (tuple(p) for p in true_pairs):
        parent[root(a)] = root(b)
    found = {k: [0, 0] for k in KIND_NAMES}
    direct = 0
    for c in truth.copies:
        o = truth.original[truth.picture[c]]
        found[truth.kind[c]][1] += 1
        if root(c) == root(o):
            found[truth.kind[c]][0] += 1
        if frozenset((c, o)) in unordered:
            direct += 1
    hits = sum(v[0] for v in found.values())
    return {
        "pairs": len(unordered),
        "precision": len(true_pairs) / len(unordered) if unordered else None,
        "recall": hits / len(truth.copies),
        "direct": direct / len(truth.copies),
        "kinds": {k: v[0] / v[1] for k, v in found.items()},
    }


def pct(x):
    return "–" if x is None else "%d" % round(100 * x)


def table_rows(results):
    head = ["mode and options", "pairs", "prec.", "found", "direct"] + \
        [HEADINGS[k] for k in KIND_NAMES]
    rows = []
    for combo, s in results:
        rows.append([label(combo), str(s["pairs"]), pct(s["precision"]), pct(s["recall"]),
                     pct(s["direct"])] + [pct(s["kinds"][k]) for k in KIND_NAMES])
    return head, rows


def plain_table(head, rows):
    widths = [max(len(r[c]) for r in [head] + rows) for c in range(len(head))]

    def fmt(r):
        return "  ".join(r[c].ljust(widths[c]) if c == 0 else r[c].rjust(widths[c])
                         for c in range(len(r)))

    lines = [fmt(head), "  ".join("-" * w for w in widths)]
    return "\n".join(lines + [fmt(r) for r in rows])


def markdown_table(head, rows):
    lines = ["| " + " | ".join(head) + " |",
             "|" + "|".join([":---"] + ["---:"] * (len(head) - 1)) + "|"]
    return "\n".join(lines + ["| " + " | ".join(r) + " |" for r in rows])


def measure(args):
    folder = os.path.realpath(args.set)
    truth = Truth(folder, args.truth)
    home, cache = os.path.join(args.work, "home"), os.path.join(args.work, "cache")
    os.makedirs(home, exist_ok=True)
    os.makedirs(cache, exist_ok=True)
    env = dict(os.environ, VEXA_HOME=home, XDG_CACHE_HOME=cache, QT_QPA_PLATFORM="offscreen")
    kinds = [truth.kind[f] for f in truth.picture]
    print("%d files: %d originals, %d copies, %d unrelated pictures"
          % (len(kinds), kinds.count("original"), len(truth.copies), kinds.count("unrelated")))
    results = []
    for combo in combinations():
        start = time.monotonic()
        pairs = report_pairs(args.vexa, env, folder, combo)
        s = score(truth, pairs)
        results.append((combo, s))
        print("  %-32s %5d pairs  %6.1f s" % (label(combo), s["pairs"],
                                              time.monotonic() - start), flush=True)
    head, rows = table_rows(results)
    print()
    print(plain_table(head, rows))
    md = markdown_table(head, rows)
    if args.markdown:
        with open(args.markdown, "w") as f:
            f.write(md + "\n")
        print("\nMarkdown table written to " + args.markdown)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = p.add_subparsers(dest="command", required=True)
    m = sub.add_parser("make")
    m.add_argument("folders", nargs="+")
    m.add_argument("--out", required=True)
    m.add_argument("--truth", required=True)
    m.add_argument("--originals", type=int, default=20)
    m.add_argument("--skip", action="append", default=[], help="a file name to leave out")
    r = sub.add_parser("measure")
    r.add_argument("set")
    r.add_argument("--truth", required=True)
    r.add_argument("--vexa", required=True)
    r.add_argument("--work", required=True)
    r.add_argument("--markdown")
    args = p.parse_args()
    make(args) if args.command == "make" else measure(args)


if __name__ == "__main__":
    main()
