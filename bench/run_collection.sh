#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Gather speed on a collection as users keep them: about 2,000 pictures of 300 to 1,500 pixels
# in about 100 folders of 5 to 40 files, of mixed types (JPEG, PNG, GIF, TIFF, BMP, TGA, PCX
# and a few older types). A gather with every signature is timed against decoding the same
# files once on all cores with Qt and the program's own decoders (target <= 1.25x), and its
# processor use is reported (target > 180% on 2 cores). The two alternate, so that both meet
# the same load on a shared machine; the ratio of processor times (user + system) says how
# much more work the gather does where the wall times are disturbed by other jobs.
# The collection is made here by make_collection.py from Debian wallpaper and clip-art
# packages and deleted afterwards, unless COLLECTION names a folder to keep it in (made there
# when the folder is missing, reused when it is there).
# Usage: bench/run_collection.sh [build folder]   (FILES, FOLDERS, RUNS set the sizes)
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
vexa="$build/vexa"
floor="$build/bench/decode_floor"
[ -x "$vexa" ] && [ -x "$floor" ] || { echo "build the project first ($build)" >&2; exit 1; }
files=${FILES:-2000}
folders=${FOLDERS:-100}
runs=${RUNS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
collection=${COLLECTION:-$work/collection}
if [ ! -d "$collection" ]; then
  (cd "$work" && apt-get download -qq lomiri-wallpapers-20.04 ukui-wallpapers tuxpaint-data \
     >/dev/null 2>&1 && for d in *.deb; do dpkg-deb -x "$d" pkg; done) \
    || { echo "the wallpaper and clip-art packages could not be fetched" >&2; exit 1; }
  /usr/bin/python3 "$here/make_collection.py" "$work/pkg" "$collection" "$files" "$folders" \
    2>/dev/null
fi
find "$collection" -type f | sort >"$work/files"
mapfile -t dirs < <(find "$collection" -mindepth 1 -type d -links 2 | sort)
echo "== gather of $(wc -l <"$work/files") pictures in ${#dirs[@]} folders against the decode-only floor"

# A program directory with one list over the collection's folders, every type of it ticked.
home="$work/home"
mkdir -p "$home/data"
printf 'LIST NAME = Collection\r\nNAME\r\n.BMP\r\n.CUT\r\n.GIF\r\n.JPG\r\n.PCX\r\n.PIC\r\n.PNG\r\n.TGA\r\n.TIF\r\n.WPG\r\n' \
  >"$home/VEXA.INI"
{ printf '[DIRECTORIES]\r\n'; for d in "${dirs[@]}"; do printf '[] %s/\r\n' "$d"; done
  printf ' = INCOMING FILE DIRECTORY\r\n \r\n'; } >"$home/data/Collection.lst"

# Wall seconds, user and system seconds of one run: "wall user sys".
measure() {
  /usr/bin/time -o "$work/time" -f '%e %U %S' "$@" >/dev/null 2>&1
  cat "$work/time"
}
gather() {
  rm -f "$home/data/Collection.mdb"*
  VEXA_HOME="$home" measure "$vexa" Collection /GATHER
}
floor_run() { measure "$floor" - <"$work/files"; }

gathers=() floors=()
for ((k = 0; k < runs; k++)); do
  floors+=("$(floor_run)")
  gathers+=("$(gather)")
  echo "  run $((k + 1)): floor ${floors[k]}   gather ${gathers[k]}   (wall user system, s)" \
       "  load $(cut -d' ' -f1 /proc/loadavg)"
done
# The fastest run of each, by wall time.
best_floor=$(printf '%s\n' "${floors[@]}" | sort -g | head -1)
best_gather=$(printf '%s\n' "${gathers[@]}" | sort -g | head -1)
awk -v g="$best_gather" -v f="$best_floor" 'BEGIN {
  split(g, G, " "); split(f, F, " ")
  printf "%-40s %8.2f s   floor %8.2f s   ratio %.2f (target <= 1.25)\n",
         "gather, every signature (best wall)", G[1], F[1], G[1] / F[1]
  printf "%-40s %8.2f s   floor %8.2f s   ratio %.2f\n",
         "processor time, user + system", G[2] + G[3], F[2] + F[3], (G[2] + G[3]) / (F[2] + F[3])
  printf "%-40s %7.0f%%   floor %7.0f%%   (target > 180%%)\n",
         "processor use of the gather", 100 * (G[2] + G[3]) / G[1], 100 * (F[2] + F[3]) / F[1] }'
