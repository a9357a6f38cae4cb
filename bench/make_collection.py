#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
"""Makes a picture collection as users keep them: about FILES pictures of 300 to 1,500 pixels
in about FOLDERS folders of 5 to 40 files, mostly JPEG with PNG, GIF, TIFF, BMP, TGA and PCX
files and a few older types, cut and scaled from the wallpapers and clip art found under
SOURCES (an unpacked Debian package tree). ImageMagick writes the usual types, one process per
folder; make_legacy_pictures.py writes CUT, PIC and WPG files. The same arguments always give
the same collection.

Usage: make_collection.py SOURCES OUTPUT [FILES] [FOLDERS]
"""
import glob
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_legacy_pictures as legacy  # noqa: E402

CONVERT = "/usr/bin/convert"

# Type, share of the files, ImageMagick's output prefix and options (each a list of choices).
TYPES = [
    ("jpg", 62, "", [["-quality", "92"], ["-quality", "85"], ["-quality", "78"]]),
    ("png", 14, "", [[]]),
    ("gif", 6, "", [[]]),
    ("tif", 5, "TIFF:", [["-compress", "LZW"], ["-compress", "None"]]),
    ("bmp", 5, "BMP3:", [["-type", "TrueColor"]]),
    ("tga", 3, "TGA:", [["-compress", "None"], ["-compress", "RLE"]]),
    ("pcx", 3, "PCX:", [["-type", "TrueColor"], ["-type", "Palette"]]),
    ("legacy", 2, None, None),
]
# Clip art goes to the types drawings are kept in; photographs mostly to the others.
CLIP_SHARE = {"png": 0.6, "gif": 0.7, "pcx": 0.4, "legacy": 0.5}


def sources(root):
    photos = sorted(glob.glob(os.path.join(root, "usr/share/backgrounds/*.jpg"))
                    + glob.glob(os.path.join(root, "usr/share/backgrounds/*.png")))
    clips = sorted(glob.glob(os.path.join(root, "usr/share/tuxpaint/starters/*.png"))
                   + glob.glob(os.path.join(root, "usr/share/tuxpaint/stamps/**/*.png"),
                               recursive=True))
    return photos, clips


def make_bases(photos, clips, work):
    """Scales the sources once to at most 1,600 pixels, in ImageMagick's own cache format; keeps
    those of at least 250 pixels each way, with their sizes."""
    bases = {"photo": [], "clip": []}
    for kind, files in (("photo", photos), ("clip", clips)):
        for n, src in enumerate(files):
            base = os.path.join(work, "%s%02d.mpc" % (kind, n))
            size = subprocess.run([CONVERT, src, "-resize", "1600x1600>", "-background", "white",
                                   "-alpha", "remove", "-alpha", "off", "-strip", "-format", "%w %h",
                                   "-write", "info:-", base], check=True, capture_output=True,
                                  text=True).stdout.split()
            width, height = int(size[0]), int(size[1])
            if min(width, height) >= 250:
                bases[kind].append((base, width, height))
    return bases


def plan(rng, files, folders):
    sizes = [rng.randint(5, 40) for _ in range(folders)]
    scale = files / sum(sizes)
    sizes = [max(5, min(40, round(s * scale))) for s in sizes]
    weights = [t[1] for t in TYPES]
    out = []
    for k, size in enumerate(sizes):
        folder = "%d/%s-%02d" % (2004 + k // 12, rng.choice(["holiday", "family", "garden",
                                                              "work", "scans", "misc"]), k % 12)
        items = []
        for n in range(size):
            kind = rng.choices(TYPES, weights)[0]
            name, _, prefix, options = kind
            clip = rng.random() < CLIP_SHARE.get(name, 0.1)
            items.append({
                "type": name, "prefix": prefix,
                "options": rng.choice(options) if options else [],
                "clip": clip,
                "side": rng.randint(300, 900 if clip else 1500),
                "crop": (rng.uniform(0.6, 1.0), rng.uniform(0, 1), rng.uniform(0, 1)),
                "name": ("IMG_%04d" if rng.random() < 0.5 else "picture-%03d") % n,
                "upper": rng.random() < 0.3,
            })
        out.append((folder, items))
    return out


def geometry(crop, width, height):
    share, fx, fy = crop
    w, h = int(width * share), int(height * share)
    return "%dx%d+%d+%d" % (w, h, (width - w) * fx, (height - h) * fy)


def write_folder(rng, folder, items, bases, work):
    os.makedirs(folder, exist_ok=True)
    args = [CONVERT, "-respect-parentheses"]  # each file's options stay with it
    used = {}
    legacy_items = []
    for it in items:
        pool = bases["clip"] if it["clip"] else bases["photo"]
        base, width, height = rng.choice(pool)
        crop = geometry(it["crop"], width, height)
        if base not in used:
            used[base] = "mpr:b%d" % len(used)
            args += [base, "-write", used[base], "+delete"]
        if it["type"] == "legacy":
            it["ppm"] = os.path.join(work, "legacy-%d.ppm" % len(legacy_items))
            legacy_items.append(it)
            side = min(it["side"], 420)  # the legacy writers are plain Python
            args += ["(", used[base], "-crop", crop,
                     "+repage", "-resize", "%dx%d" % (side, side), "-dither", "FloydSteinberg",
                     "-colors", "256", "-write", "PPM:" + it["ppm"], "+delete", ")"]
            continue
        ext = it["type"].upper() if it["upper"] else it["type"]
        out = os.path.join(folder, "%s.%s" % (it["name"], ext))
        args += ["(", used[base], "-crop", crop, "+repage",
                 "-resize", "%dx%d" % (it["side"], it["side"])] + it["options"] + [
                 "-write", it["prefix"] + out, "+delete", ")"]
    args += ["xc:white", "null:"]  # convert wants one picture left at the end
    subprocess.run(args, check=True)
    writers = [("cut", lambda w, h, r, c: legacy.cut(w, h, r)), ("pic", legacy.pic),
               ("wpg", legacy.wpg1), ("wpg", legacy.wpg2)]
    for it in legacy_items:
        width, height, pixels = legacy.read_ppm(it["ppm"])
        rows, colours = legacy.index_picture(width, height, pixels)
        ext, writer = rng.choice(writers)
        with open(os.path.join(folder, "%s-old.%s" % (it["name"], ext)), "wb") as f:
            f.write(writer(width, height, rows, colours))
        os.remove(it["ppm"])


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    root, output = sys.argv[1], sys.argv[2]
    files = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    folders = int(sys.argv[4]) if len(sys.argv) > 4 else 100
    photos, clips = sources(root)
    if not photos or not clips:
        sys.exit("no wallpapers or clip art under " + root)
    rng = random.Random(14)
    with tempfile.TemporaryDirectory() as work:
        bases = make_bases(photos, clips, work)
        for folder, items in plan(rng, files, folders):
            write_folder(rng, os.path.join(output, folder), items, bases, work)


if __name__ == "__main__":
    main()
