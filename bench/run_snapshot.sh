#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Snapshot review speed against a reference timed in the same run: the time from Next to the
# last of 28 thumbnails of 12-megapixel JPEG photographs on screen, against decoding those 28
# files once with Qt on all cores (target <= 1.5x); and the time to the first thumbnail
# (target: below a tenth of the reference). The photographs are made here from a Debian
# wallpaper package and deleted afterwards.
# Usage: bench/run_snapshot.sh [build folder]   (GROUP_COUNT: groups of 28, one Next each after the first)
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
build=${1:-$here/../build}
floor="$build/bench/decode_floor"
snapshot="$build/bench/bench_snapshot"
[ -x "$snapshot" ] && [ -x "$floor" ] || { echo "build the project first ($build)" >&2; exit 1; }
groups=${GROUP_COUNT:-6}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source_photo=$(wallpaper_photo "$work")

# 28 distinct 4000 x 3000 photographs; each folder holds its photograph under every group's name.
mkdir -p "$work/photos"
for ((i = 0; i < 28; i++)); do
  convert "$source_photo" -resize 4300x4300 -crop "4000x3000+$((i * 7))+$((i * 5))" +repage \
    -quality $((80 + i % 15)) "$work/photos/photo$(printf %02d $i).jpg"
  mkdir -p "$work/tree/d$(printf %02d $i)"
  for ((g = 0; g < groups; g++)); do
    ln "$work/photos/photo$(printf %02d $i).jpg" "$work/tree/d$(printf %02d $i)/g$g.jpg"
  done
done

echo "== Next to the last of 28 thumbnails (12 MP JPEG) against decoding the 28 files on all cores"
# Ours and the reference in turn, so that both meet the same load on a shared machine.
last_best="" first_best="" floor_best="" pause_worst=0
for k in 1 2 3; do
  f=$("$floor" "$work"/photos/*.jpg)
  read -r last first pause < <("$snapshot" "$work/tree" "$groups" 2>/dev/null)
  echo "  round $k: reference $f ms; thumbnails: first $first ms, last $last ms; longest pause of the window $pause ms"
  floor_best=$(printf '%s\n' $f $floor_best | sort -g | head -1)
  last_best=$(printf '%s\n' $last $last_best | sort -g | head -1)
  first_best=$(printf '%s\n' $first $first_best | sort -g | head -1)
  pause_worst=$(printf '%s\n' $pause $pause_worst | sort -g | tail -1)
done
report "Next to the last of 28 thumbnails" "$last_best" "$floor_best" 1.5
report "Next to the first thumbnail" "$first_best" "$floor_best" 0.1
echo "longest pause of the window while thumbnails load: $pause_worst ms (median per round, worst round)"
