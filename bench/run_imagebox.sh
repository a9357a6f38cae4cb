#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Loading a 24-megapixel JPEG and reading its pixels, against decoding the same file with
# djpeg into /dev/shm. The photograph is made here from a Debian wallpaper package and deleted
# afterwards. Usage: bench/run_imagebox.sh [folder of the benchmark programs]
set -euo pipefail
source "$(dirname "$0")/common.sh"
bin=$(bench_bin_dir "${1:-}")
runs=5

if ! command -v djpeg >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libjpeg-turbo-progs >/dev/null
fi
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

work=$(mktemp -d)
out=/dev/shm/vexa-bench-$$.ppm
trap 'rm -rf "$work" "$out"' EXIT
source_photo=$(wallpaper_photo "$work")
export VEXA_BENCH_JPEG="$work/photo-6000x4000.jpg"
convert "$source_photo" -resize '6000x4000!' -quality 92 "$VEXA_BENCH_JPEG"
echo "photograph: $(identify -format '%wx%h, %b' "$VEXA_BENCH_JPEG")"

read -r ours ref < <(best_of_alternating $runs "$bin/bench_imagebox" BM_LoadAndReadPixels \
                       djpeg -outfile "$out" "$VEXA_BENCH_JPEG")
report "load + ReadPixels, 24 MP JPEG (best of $runs)" "$ours" "$ref" 1.3
composite_ms=$(bench_ms "$bin/bench_imagebox" BM_CompositeTransparency)
echo "compositing 24 MP of translucent pixels: $composite_ms ms"
