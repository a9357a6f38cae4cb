#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# A gather of HEIC photographs with every signature against libheif's own tool decoding the
# same files once (heif-convert to .y4m, its cheapest output: no colour conversion, no
# compression), in the same run: elapsed time and peak memory, each within 1.3x.
# The machine is shared: ours and the reference run in turn, three times, and the best of
# each is kept. The photographs (12 megapixels) are made here from a Debian wallpaper package.
# Usage: bench/run_heic.sh [build folder]   (PHOTOS sets how many; default 16)
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
build=${1:-$here/../build}
vexa="$build/vexa"
[ -x "$vexa" ] || { echo "build the project first ($build)" >&2; exit 1; }
command -v heif-convert >/dev/null || { echo "heif-convert is missing: scripts/install-deps.sh" >&2; exit 1; }
photos=${PHOTOS:-16}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source_photo=$(wallpaper_photo "$work")

echo "making $photos HEIC photographs of 4000 x 3000..."
mkdir -p "$work/photos" "$work/out"
for ((i = 0; i < photos; i++)); do
  convert "$source_photo" -resize 4300x4300 -crop "4000x3000+$((i * 7))+$((i * 5))" +repage \
    "$work/crop.png"
  heif-enc -p preset=ultrafast -q $((70 + i % 20)) -o "$work/photos/photo$(printf %03d $i).heic" "$work/crop.png" \
    >/dev/null
done
rm -f "$work/crop.png"

home="$work/home"
make_home() {
  rm -rf "$home"; mkdir -p "$home/data"
  printf 'LIST NAME = Heic\r\nPATTERN\r\n.HEIC\r\n' > "$home/VEXA.INI"
  printf '[DIRECTORIES]\r\n[] %s/\r\n = INCOMING FILE DIRECTORY\r\n \r\n' "$work/photos" \
    > "$home/data/Heic.lst"
}
# Peak resident memory in KB and elapsed milliseconds of one command: "kb ms".
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -o "$work/peak" -f '%M' "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(tail -n 1 "$work/peak") $(( (end - start) / 1000000 ))"
}
reference() { # every file decoded once, one after the other; prints "largest-peak-kb total-ms"
  local peak=0 total=0 kb ms
  for f in "$work"/photos/*.heic; do
    read -r kb ms < <(measure heif-convert --quiet "$f" "$work/out/x.y4m")
    (( kb > peak )) && peak=$kb
    total=$((total + ms))
  done
  echo "$peak $total"
}

best_ref_ms="" best_ours_ms="" ref_kb="" ours_kb=""
for round in 1 2 3; do
  read -r rkb rms < <(reference)
  make_home
  read -r okb oms < <(measure env VEXA_HOME="$home" "$vexa" Heic /GATHER)
  echo "  round $round: heif-convert ${rms} ms, ${rkb} KB   gather ${oms} ms, ${okb} KB"
  best_ref_ms=$(printf '%s\n' "$rms" $best_ref_ms | sort -g | head -1)
  best_ours_ms=$(printf '%s\n' "$oms" $best_ours_ms | sort -g | head -1)
  ref_kb=$(printf '%s\n' "$rkb" $ref_kb | sort -g | head -1)
  ours_kb=$(printf '%s\n' "$okb" $ours_kb | sort -g | head -1)
done
rows=$(sqlite3 "$home/data/Heic.mdb" "SELECT COUNT(*) FROM FILES WHERE length(PXLRAY) = 100" \
         2>/dev/null || echo "?")
echo "rows with a pattern signature after the gather: $rows of $photos"
report "gather of $photos HEIC photographs" "$best_ours_ms" "$best_ref_ms" 1.3
awk -v ours="$ours_kb" -v ref="$ref_kb" 'BEGIN {
  printf "%-40s %8.1f MB   reference %8.1f MB   ratio %.2f (target <= 1.3)\n",
         "peak memory", ours / 1024, ref / 1024, ours / ref }'
