#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Remakes the bitmap fixtures of tst_rasterformats: small source pictures (PNG) and the files
# independent writers make of them (netpbm, ImageMagick, Pillow). Run from this folder; needs
# the packages netpbm, imagemagick and python3-pil. The tests only read the results.
set -euo pipefail
cd "$(dirname "$0")"
PY=/usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Sources: runs long and short, bytes that the run-length codes must escape (0xc0 and up,
# 0x80), odd widths that leave padding at the line ends.
"$PY" - <<'PYEOF'
import random
from PIL import Image
random.seed(5)

def save(img, name):
    img.save(name, optimize=True)

w, h = 70, 23
img = Image.new("RGB", (w, h))
for y in range(h):
    for x in range(w):
        if y < 8:
            img.putpixel((x, y), (200, 128 + (x // 20) * 20, 0xc0 + y))
        elif x < 35:
            img.putpixel((x, y), (x * 7 % 256, y * 11 % 256, 0x80 if x % 3 else 0xff))
        else:
            img.putpixel((x, y), tuple(random.randrange(256) for _ in range(3)))
save(img, "colour.png")

def paletted(w, h, count, name, seed):
    rnd = random.Random(seed)
    colours = [tuple(rnd.randrange(256) for _ in range(3)) for _ in range(count)]
    colours = list(dict.fromkeys(colours))
    img = Image.new("RGB", (w, h))
    for y in range(h):
        for x in range(w):
            if y < h // 3:
                c = colours[(x // 9) % len(colours)]
            else:
                c = colours[rnd.randrange(len(colours))]
            img.putpixel((x, y), c)
    save(img, name)

paletted(29, 11, 4, "pal4.png", 1)
paletted(37, 13, 8, "pal8.png", 2)
paletted(41, 19, 16, "pal16.png", 3)
paletted(53, 27, 200, "pal256.png", 4)

img = Image.new("1", (75, 33), 1)
for y in range(33):
    for x in range(75):
        if (x // 5 + y // 4) % 3 == 0 or (x > 50 and random.random() < 0.4):
            img.putpixel((x, y), 0)
save(img, "mono.png")

img = Image.new("L", (45, 20))
for y in range(20):
    for x in range(45):
        img.putpixel((x, y), (x * 5 + y) % 256 if y < 12 else random.randrange(256))
save(img, "grey.png")
PYEOF

pnm() { convert "$1" "$tmp/$2"; }
pnm colour.png colour.ppm
pnm pal4.png pal4.ppm
pnm pal8.png pal8.ppm
pnm pal16.png pal16.ppm
pnm pal256.png pal256.ppm
pnm grey.png grey.pgm
convert mono.png -monochrome "$tmp/mono.pbm"

# PCX (netpbm and Pillow).
ppmtopcx -24bit < "$tmp/colour.ppm" > colour-24bit.pcx
ppmtopcx -8bit < "$tmp/pal256.ppm" > pal256-8bit.pcx
ppmtopcx -planes=4 < "$tmp/pal16.ppm" > pal16-4planes.pcx
ppmtopcx -packed < "$tmp/pal16.ppm" > pal16-4bit.pcx
ppmtopcx -planes=3 < "$tmp/pal8.ppm" > pal8-3planes.pcx
ppmtopcx -packed < "$tmp/pal4.ppm" > pal4-2bit.pcx
ppmtopcx -planes=2 < "$tmp/pal4.ppm" > pal4-2planes.pcx
"$PY" -c "from PIL import Image; Image.open('mono.png').convert('1').save('mono-pil.pcx')"
"$PY" -c "from PIL import Image; Image.open('grey.png').save('grey-pil.pcx')"
convert colour.png PCX:colour-im.pcx

# Sun raster (netpbm and ImageMagick).
pnmtorast -standard < "$tmp/colour.ppm" > colour-24bit.ras
pnmtorast -rle < "$tmp/pal256.ppm" > pal256-8bit-rle.ras
pnmtorast -standard < "$tmp/grey.pgm" > grey-8bit.ras
# pnmtorast drops the last byte's pixels of a 1-bit line whose width is not a multiple of 8:
# a 72-pixel copy still leaves lines that need padding to 16 bits.
pamcut -width 72 "$tmp/mono.pbm" > "$tmp/mono72.pbm"
convert "$tmp/mono72.pbm" mono72.png
pnmtorast -rle < "$tmp/mono72.pbm" > mono72-1bit-rle.ras
pnmtorast -standard < "$tmp/mono72.pbm" > mono72-1bit.ras
convert pal16.png -type Palette SUN:pal16-im.ras
convert colour.png SUN:colour-im.ras

# MacPaint, GEM bit image (netpbm).
pbmtomacp < "$tmp/mono.pbm" > mono.mac
pbmtogem < "$tmp/mono.pbm" > mono.img

# Microsoft Paint 1 (Pillow).
"$PY" -c "from PIL import Image; Image.open('mono.png').convert('1').save('mono.msp')"

# IFF ILBM (netpbm).
ppmtoilbm < "$tmp/pal16.ppm" > pal16.iff
ppmtoilbm -cmethod none < "$tmp/pal8.ppm" > pal8-plain.iff
ppmtoilbm -maxplanes 8 < "$tmp/pal256.ppm" > pal256.lbm
ppmtoilbm -24force < "$tmp/colour.ppm" > colour-24bit.iff
ppmtoilbm -ham6 < "$tmp/colour.ppm" > colour-ham6.iff
ppmtoilbm -ham8 < "$tmp/colour.ppm" > colour-ham8.iff
# HAM is lossy: the reference is netpbm's own reading of the file (which rounds the changed
# levels its own way, so the test allows a few levels).
ilbmtoppm colour-ham6.iff | convert - colour-ham6.png
ilbmtoppm colour-ham8.iff | convert - colour-ham8.png

# Utah RLE (netpbm).
pnmtorle < "$tmp/colour.ppm" > colour.rle
pnmtorle < "$tmp/grey.pgm" > grey.rle
pnmtorle -alpha < "$tmp/pal16.ppm" > pal16-alpha.rle
