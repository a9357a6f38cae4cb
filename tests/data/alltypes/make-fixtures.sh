#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Remakes the one-file-per-type folder of tst_alltypes: a 120 x 110 source picture of 14
# colours, and what independent writers make of it (netpbm, ImageMagick, Pillow, cwebp,
# avifenc, heif-enc). CUT, PIC,
# WPG and GEM have no writer on Debian: bench/make_legacy_pictures.py writes them from the
# format descriptions. The WMF is LibreOffice Draw's, copied from the decoder fixtures. Run from
# this folder; needs netpbm, imagemagick and python3-pil. The tests only read the results.
#   Both sides reach 100 pixels, the least that gets a pattern signature; the few colours keep
#   the paletted writers at 4 bits a pixel and the files at a few KB.
#   picture.hrz.z: a slow-scan television picture is always 256 x 240 x 3 bytes, so it is kept
#   zlib-compressed with Qt's 4-byte length prefix and unpacked by the test.
set -euo pipefail
cd "$(dirname "$0")"
PY=/usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
rm -f picture.*

# The source: a stepped colour ramp with a black bar and a white square, so that the quadrants
# differ in colour and the pattern has dark and light cells.
"$PY" - "$tmp/source.png" <<'PYEOF'
import sys
from PIL import Image
w, h = 120, 110
img = Image.new("RGB", (w, h))
for y in range(h):
    for x in range(w):
        img.putpixel((x, y), ((x // 30) * 80, (y // 37) * 120, 150))
for y in range(12, 80):
    for x in range(18, 30):
        img.putpixel((x, y), (0, 0, 0))
for y in range(60, 90):
    for x in range(75, 105):
        img.putpixel((x, y), (255, 255, 255))
img.save(sys.argv[1])
PYEOF
convert "$tmp/source.png" "$tmp/colour.ppm"
convert "$tmp/source.png" -colorspace gray -ordered-dither o4x4 -monochrome "$tmp/mono.pbm"

# Bitmap types with a widespread writer.
ppmtobmp < "$tmp/colour.ppm" > picture.bmp 2>/dev/null
convert "$tmp/source.png" -type Palette -compress RLE BMP3:picture.dib
# A two-colour cursor (ImageMagick writes a grey picture at 32 bits a pixel).
convert "$tmp/mono.pbm" -fill '#000080' -opaque black -type Palette CUR:picture.cur
convert "$tmp/source.png" -type Palette ICO:picture.ico
ppmtogif < "$tmp/colour.ppm" > picture.gif 2>/dev/null
pnmtojpeg --quality=90 < "$tmp/colour.ppm" > picture.jpg
pnmtopng -compression 9 < "$tmp/colour.ppm" > picture.png
pnmtotiff -lzw < "$tmp/colour.ppm" > picture.tif 2>/dev/null
pamtotga -rgb < "$tmp/colour.ppm" > picture.tga
ppmtopcx -8bit < "$tmp/colour.ppm" > picture.pcx 2>/dev/null
pnmtorast -rle < "$tmp/colour.ppm" > picture.ras 2>/dev/null
pnmtorle < "$tmp/colour.ppm" > picture.rle
ppmtoilbm < "$tmp/colour.ppm" > picture.iff 2>/dev/null
ppmtoilbm -maxplanes 8 -fixplanes 8 < "$tmp/colour.ppm" > picture.lbm 2>/dev/null
pbmtogem < "$tmp/mono.pbm" > picture.img
pbmtomacp < "$tmp/mono.pbm" > picture.mac
"$PY" -c "import sys; from PIL import Image; Image.open(sys.argv[1]).convert('1').save('picture.msp')" \
  "$tmp/mono.pbm"
convert "$tmp/mono.pbm" picture.art
convert "$tmp/source.png" -sample '256x240!' "$tmp/picture.hrz"
"$PY" -c "import struct, sys, zlib; d = open(sys.argv[1], 'rb').read(); \
open('picture.hrz.z', 'wb').write(struct.pack('>I', len(d)) + zlib.compress(d, 9))" "$tmp/picture.hrz"

# The types without a writer, and the metafile.
mkdir "$tmp/legacy"
"$PY" ../../../bench/make_legacy_pictures.py "$tmp/colour.ppm" "$tmp/legacy"
cp "$tmp/legacy/pal256.cut" picture.cut
cp "$tmp/legacy/pal256.pic" picture.pic
cp "$tmp/legacy/pal256-v1.wpg" picture.wpg
cp "$tmp/legacy/drawing.gem" picture.gem
cp ../imageformats/legacy/shapes.wmf picture.wmf

# Today's photo types. WebP and AVIF without loss; HEVC's lossless mode still rounds colours
# through YCbCr, so the .heic is as near as heif-enc gets and the .heif a lossy one.
cwebp -quiet -lossless -exact "$tmp/source.png" -o picture.webp
avifenc --lossless "$tmp/source.png" picture.avif >/dev/null
heif-enc -L -p chroma=444 --matrix_coefficients=0 -o picture.heic "$tmp/source.png" >/dev/null
heif-enc -q 90 -o picture.heif "$tmp/source.png" >/dev/null
# Macintosh PICT named .PIC, from two writers, beside the PC Paint picture.pic.
ppmtopict < "$tmp/colour.ppm" > pict-netpbm.pic 2>/dev/null
convert "$tmp/source.png" PICT:pict-magick.pic
