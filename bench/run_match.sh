#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Matching speed and memory, each against its target:
#   1. NAME, SIZE, CHECKSUM and AVGRGB forward walks over ROWS catalogue rows (default
#      1,000,000), against SQLite reading the same browse query to its end (target <= 3x);
#   2. the PATTERN pre-match cycle, soft matching, tolerance 5, over 100,000 and BIG (default
#      1,000,000) rows of patterns of real photographs (targets < 30 s and < 5 min), and its
#      peak memory at BIG rows (target < 500 MB).
# The patterns come from random crops, turns and scales of the photographs of Debian
# wallpaper and background packages, fetched here and deleted afterwards.
# Usage: bench/run_match.sh [build folder]   (ROWS, BIG set the sizes)
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
build=${1:-$here/../build}
bench="$build/bench/match_bench"
[ -x "$bench" ] || { echo "build the project first ($build)" >&2; exit 1; }
rows=${ROWS:-1000000}
big=${BIG:-1000000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== 1. forward walks over $rows rows against SQLite reading the browse query"
"$bench" make "$work/walk.mdb" "$rows" 2>/dev/null
for mode in NAME SIZE CHECKSUM AVGRGB; do
  ours="" ref=""
  for k in 1 2 3; do
    read -r o r pairs < <("$bench" walk "$work/walk.mdb" "$mode" 2>/dev/null)
    ours=$(printf '%s\n' "$o" $ours | sort -g | head -1)
    ref=$(printf '%s\n' "$r" $ref | sort -g | head -1)
  done
  report "$mode walk ($pairs pairs)" "$ours" "$ref" 3
done
rm -f "$work"/walk.mdb*

echo "== 2. PATTERN pre-match cycle, soft, tolerance 5"
(cd "$work" && apt-get download -qq lomiri-wallpapers-20.04 lomiri-wallpapers-16.04 \
     mate-backgrounds gnome-backgrounds >/dev/null 2>&1 \
   && for d in *.deb; do dpkg-deb -x "$d" pkg; done)
mapfile -t photos < <(find "$work/pkg" -name '*.jpg' -o -name '*.png')
[ ${#photos[@]} -gt 0 ] || { echo "the wallpaper packages could not be fetched" >&2; exit 1; }
"$bench" patterns "$big" "${photos[@]}" > "$work/patterns.txt" 2>/dev/null
for n in 100000 "$big"; do
  head -n "$n" "$work/patterns.txt" > "$work/some.txt"
  "$bench" make "$work/p$n.mdb" "$n" "$work/some.txt" 2>/dev/null
  /usr/bin/time -o "$work/peak" -f '%M' "$bench" prematch "$work/p$n.mdb" > "$work/out" 2>/dev/null
  read -r ms pairs marked < "$work/out"
  awk -v n="$n" -v ms="$ms" -v p="$pairs" -v m="$marked" -v kb="$(tail -n 1 "$work/peak")" \
      -v target="$([ "$n" -le 100000 ] && echo 30 || echo 300)" 'BEGIN {
    printf "%-40s %8.1f s    %d pairs, %d rows marked   peak %.1f MB   (target < %d s)\n",
           "pre-match over " n " rows", ms / 1000, p, m, kb / 1024, target }'
  rm -f "$work"/p$n.mdb*
done
echo "   (peak memory target at $big rows: < 500 MB)"
