#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Pre-scan speed and memory, each against a reference timed in the same run:
#   1. a gather of JPEG photographs with every signature, against decoding each file once
#      with Qt on all cores (target <= 1.25x);
#   2. a repeated NAME search over 100,000 unchanged catalogued files, against
#      find -printf '%s %T@' over the same tree (target <= 5x);
#   3. peak memory of a gather of 12-megapixel photographs (target < 400 MB).
# The photographs are made here from a Debian wallpaper package and deleted afterwards.
# Usage: bench/run_prescan.sh [build folder]   (PHOTOS, FILES, BIG set the sizes)
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
build=${1:-$here/../build}
vexa="$build/vexa"
floor="$build/bench/decode_floor"
[ -x "$vexa" ] && [ -x "$floor" ] || { echo "build the project first ($build)" >&2; exit 1; }
photos=${PHOTOS:-48}
files=${FILES:-100000}
big=${BIG:-120}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source_photo=$(wallpaper_photo "$work")

# A program directory with one list over the given directories, in the gather's settings.
make_home() { # home list dirs...
  local home=$1 list=$2; shift 2
  mkdir -p "$home/data"
  printf 'LIST NAME = %s\r\nNAME\r\n.JPG\r\n' "$list" > "$home/VEXA.INI"
  { printf '[DIRECTORIES]\r\n'; for d in "$@"; do printf '[] %s/\r\n' "$d"; done
    printf ' = INCOMING FILE DIRECTORY\r\n \r\n'; } > "$home/data/$list.lst"
}
run_vexa() { # home list [/GATHER]
  VEXA_HOME=$1 QT_QPA_PLATFORM=offscreen "$vexa" "$2" ${3:-} 2>/dev/null
}

echo "== 1. gather of $photos photographs (12 MP JPEG) against the decode-only floor"
mkdir -p "$work/photos"
for ((i = 0; i < photos; i++)); do
  # Different crops and qualities, so that every file is a distinct picture.
  convert "$source_photo" -resize 4300x4300 -crop "4000x3000+$((i * 7))+$((i * 5))" +repage \
    -quality $((80 + i % 15)) "$work/photos/photo$(printf %03d $i).jpg"
done
# Ours and the reference in turn, so that both meet the same load on a shared machine.
gather_best="" floor_best=""
for k in 1 2 3; do
  f=$("$floor" "$work"/photos/*.jpg)
  rm -rf "$work/home1"; make_home "$work/home1" Photos "$work/photos"
  g=$(time_ms run_vexa "$work/home1" Photos /GATHER)
  floor_best=$(printf '%s\n' $f $floor_best | sort -g | head -1)
  gather_best=$(printf '%s\n' $g $gather_best | sort -g | head -1)
done
floor_ms=$floor_best
report "gather, every signature ($photos photos)" "$gather_best" "$floor_ms" 1.25

echo "== 2. repeated NAME search over $files unchanged files against find"
tree="$work/tree"
python3 - "$tree" "$files" <<'PY'
import os, sys
root, n = sys.argv[1], int(sys.argv[2])
per = 1000
for d in range((n + per - 1) // per):
    sub = os.path.join(root, "d%03d" % d)
    os.makedirs(sub, exist_ok=True)
    for i in range(min(per, n - d * per)):
        with open(os.path.join(sub, "img%04d.jpg" % i), "wb") as f:
            f.write(b"\xff\xd8\xff")
PY
dirs=("$tree"/d*)
make_home "$work/home2" Tree "${dirs[@]}"
prescan="$build/bench/prescan_run"
# The first search builds the catalogue; the next ones find every file in it unchanged.
VEXA_HOME="$work/home2" "$prescan" Tree
repeat_best="" find_best=""
for k in 1 2 3; do
  f=$(time_ms find "$tree" -type f -printf '%s %T@\n')
  out=$(VEXA_HOME="$work/home2" "$prescan" Tree); echo "  $out"
  find_best=$(printf '%s\n' $f $find_best | sort -g | head -1)
  repeat_best=$(printf '%s\n' "${out%% ms*}" $repeat_best | sort -g | head -1)
done
find_ms=$find_best
report "repeated search, $files unchanged files" "$repeat_best" "$find_ms" 5

echo "== 3. peak memory of a gather of $big photographs (12 MP)"
mkdir -p "$work/big"
for ((i = 0; i < big; i++)); do
  ln "$work/photos/photo$(printf %03d $((i % photos))).jpg" "$work/big/p$(printf %05d $i).jpg"
done
make_home "$work/home3" Big "$work/big"
/usr/bin/time -o "$work/peak" -f '%M' env VEXA_HOME="$work/home3" QT_QPA_PLATFORM=offscreen \
  "$vexa" Big /GATHER >/dev/null 2>/dev/null
peak_kb=$(tail -n 1 "$work/peak")
awk -v kb="$peak_kb" -v n="$big" 'BEGIN {
  printf "%-44s %9.1f MB   (target < 400 MB)\n", "peak memory, gather of " n " photos", kb / 1024 }'
