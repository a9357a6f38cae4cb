#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Checks the signatures of real photographs against signatures_reference.py, a separate plain
# computation from the same rules: both read the same decoded pixels (signature_dump writes
# them out), and every value and pattern distance must agree. The pictures are made here from
# a Debian wallpaper package (resized, framed, letterboxed, turned, one too small, one of 24
# megapixels) and deleted afterwards.
# Usage: bench/run_signatures_check.sh [folder of the benchmark programs]
set -euo pipefail
here=$(dirname "$0")
source "$here/common.sh"
bin=$(bench_bin_dir "${1:-}")
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download -qq lomiri-wallpapers-20.04 >/dev/null 2>&1 \
   && dpkg-deb -x lomiri-wallpapers-20.04_*.deb pkg)
src="$work/pkg/usr/share/backgrounds"
[ -f "$src/Kleiber_by_Lukas_Baubkus.jpg" ] \
  || { echo "the wallpaper package could not be fetched" >&2; exit 1; }
mkdir "$work/in" "$work/ppm"
in="$work/in"
convert "$src/Kleiber_by_Lukas_Baubkus.jpg" -resize '1201x677!' -quality 90 "$in/a-odd.jpg"
convert "$src/Kleiber_by_Lukas_Baubkus.jpg" -resize '1201x677!' -rotate 90 "$in/b-turned.png"
convert "$src/Kleiber_by_Lukas_Baubkus.jpg" -resize '1201x677!' -flop "$in/c-mirrored.png"
convert "$src/Fossa_by_Jasper_Roks.jpg" -resize '919x483!' -bordercolor black -border 40 \
  "$in/d-framed.png"
convert "$src/Painting-Colors_by__herobrine7gamer.jpg" -resize '1000x560!' -bordercolor black \
  -border 0x70 "$in/e-letterbox.png"
convert "$src/Infinite-Sea_by_Aury88.jpg" -resize '640x640!' -quality 85 "$in/f-square.jpg"
convert "$src/Fossa_by_Jasper_Roks.jpg" -resize '99x500!' "$in/g-small.png"
cp "$src/Painting-Colors_by__herobrine7gamer.jpg" "$in/h-24mp.jpg"

files=("$in"/*)
"$bin/signature_dump" "$work/ppm" "${files[@]}" > "$work/program.txt"
ppms=()
for f in "${files[@]}"; do
  b=$(basename "$f"); ppms+=("$work/ppm/${b%.*}.ppm")
done
python3 "$here/signatures_reference.py" "${ppms[@]}" > "$work/reference.txt"

cut -f1-9 "$work/program.txt" | grep -v '^distance' | column -t -s $'\t' | cut -c1-160
grep '^distance' "$work/program.txt" \
  | awk '{ printf "%s-%s hard %s soft %s; ", $2, $3, $4, $5 } END { print "" }'
if diff "$work/program.txt" "$work/reference.txt"; then
  echo "signatures agree with the reference on ${#files[@]} pictures"
else
  echo "signatures differ from the reference" >&2
  exit 1
fi
