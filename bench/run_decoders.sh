#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Decoding every picture type of our own against Qt decoding a PNG of the same pixels, measured
# in the same run (target: within 2x). The pictures are made here, in a temporary folder, from
# a 1024 x 768 plasma picture by independent writers (netpbm, ImageMagick, Pillow).
# Usage: bench/run_decoders.sh [folder of the benchmark programs]
set -euo pipefail
source "$(dirname "$0")/common.sh"

# Best real time in milliseconds over the repetitions of one benchmark, from the CSV output
# of the whole run on stdin (aggregate rows are skipped by the exact name match).
csv_best_ms() {
  awk -F, -v n="$1" '$1 == "\"" n "\"" || $1 == "\"" n "/real_time\"" {
    if (best == "" || $3 < best) best = $3 } END { print best }'
}
bin=$(bench_bin_dir "${1:-}")
runs=7

for tool in convert ppmtopcx pnmtorast pbmtomacp pbmtogem ppmtoilbm pnmtorle; do
  command -v $tool >/dev/null || { echo "$tool is needed (netpbm, imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src="$work/src"
pics="$work/pics"
mkdir "$src" "$pics"

# The sources: a smooth colour picture, its 256- and 16-colour versions and a dithered
# black-and-white one (MacPaint pages are 576 x 720).
convert -seed 7 -size 1024x768 plasma:fractal -blur 0x1 "$src/colour.ppm"
convert "$src/colour.ppm" -dither FloydSteinberg -colors 256 "$src/pal256.ppm"
convert "$src/colour.ppm" -dither FloydSteinberg -colors 16 "$src/pal16.ppm"
convert "$src/colour.ppm" -colorspace gray -ordered-dither o4x4 -monochrome "$src/mono.pbm"
convert "$src/colour.ppm" -resize '576x720!' -colorspace gray -ordered-dither o4x4 \
  -monochrome "$src/page.pbm"

# Bitmap types.
ppmtopcx -24bit <"$src/colour.ppm" >"$pics/colour-24bit.pcx" 2>/dev/null
ppmtopcx -8bit <"$src/pal256.ppm" >"$pics/pal256-8bit.pcx" 2>/dev/null
ppmtopcx -planes=4 <"$src/pal16.ppm" >"$pics/pal16-4planes.pcx" 2>/dev/null
pnmtorast -standard <"$src/colour.ppm" >"$pics/colour-24bit.ras" 2>/dev/null
pnmtorast -rle <"$src/pal256.ppm" >"$pics/pal256-rle.ras" 2>/dev/null
pbmtomacp <"$src/page.pbm" >"$pics/page.mac"
pbmtogem <"$src/mono.pbm" >"$pics/mono.img"
if /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
  /usr/bin/python3 -c "from PIL import Image; Image.open('$src/mono.pbm').save('$pics/mono.msp')"
fi
ppmtoilbm -maxplanes 8 <"$src/pal256.ppm" >"$pics/pal256.iff" 2>/dev/null
ppmtoilbm -24force <"$src/colour.ppm" >"$pics/colour-24bit.iff" 2>/dev/null
ppmtoilbm -ham8 <"$src/colour.ppm" >"$pics/colour-ham8.iff" 2>/dev/null
pnmtorle <"$src/colour.ppm" >"$pics/colour.rle"

# Older types: ImageMagick writes ART and HRZ; CUT, PIC, WPG, GEM and WMF have no writer on
# Debian and are written from the format descriptions by make_legacy_pictures.py.
convert "$src/mono.pbm" "$pics/mono.art"
convert "$src/colour.ppm" -resize '256x240!' "$pics/colour.hrz"
/usr/bin/python3 "$(dirname "$0")/make_legacy_pictures.py" "$src/pal256.ppm" "$pics"

csv=$(VEXA_BENCH_DECODERS="$pics" "$bin/bench_decoders" --benchmark_repetitions=$runs \
        --benchmark_format=csv 2>/dev/null)
for f in "$pics"/*; do
  name=$(basename "$f")
  ours=$(csv_best_ms "BM_Decode/$name" <<<"$csv")
  png=$(csv_best_ms "BM_Png/$name" <<<"$csv")
  [ -n "$ours" ] && [ -n "$png" ] || { echo "$name: not measured"; continue; }
  report "decode $name (best of $runs)" "$ours" "$png" 2
done
