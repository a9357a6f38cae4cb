#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Colour and pattern signatures of a 24-megapixel photograph against Qt decoding the same JPEG,
# both timed by bench_signatures in one run. The photograph is made here from a Debian
# wallpaper package and deleted afterwards; without it the program paints a picture itself.
# Usage: bench/run_signatures.sh [folder of the benchmark programs]
set -euo pipefail
source "$(dirname "$0")/common.sh"
bin=$(bench_bin_dir "${1:-}")
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source_photo=$(wallpaper_photo "$work")
photo="$work/photo-6000x4000.jpg"
convert "$source_photo" -resize '6000x4000!' -quality 92 "$photo"

VEXA_BENCH_JPEG="$photo" "$bin/bench_signatures" --benchmark_repetitions=7 \
  --benchmark_report_aggregates_only=true 2>/dev/null \
  | grep -E '^picture|_median|^signatures'
