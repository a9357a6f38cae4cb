#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# What each comparison mode finds: builds a set of photographs with copies of known kinds
# (resized, recompressed, turned, mirrored, framed, letterboxed, cropped, converted) and
# unrelated pictures, runs `vexa --report` over it for every mode and option, and prints the
# precision of the pairs reported and, per kind of copy, the share of copies found.
# The photographs come from two Debian wallpaper packages and are deleted afterwards.
# Usage: bench/run_quality.sh [build folder] [Markdown file, default: build/quality.md]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
vexa="$build/vexa"
[ -x "$vexa" ] || { echo "build the project first ($build)" >&2; exit 1; }
build=$(cd "$build" && pwd)
vexa="$build/vexa"
markdown=${2:-$build/quality.md}
for tool in convert identify python3 apt-get dpkg-deb; do
  command -v "$tool" >/dev/null \
    || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
packages=(lomiri-wallpapers-16.04 mate-backgrounds)
echo "== fetching ${packages[*]}"
for p in "${packages[@]}"; do
  if ! (cd "$work" && apt-get download -qq "$p" >/dev/null 2>&1 \
        && dpkg-deb -x "$p"_*.deb "pkg-$p"); then
    echo "the wallpaper package $p could not be fetched (apt-get download $p)" >&2
    exit 1
  fi
done

echo "== making the evaluation set"
# umang is a colour gradient, not a photograph; the MATE folders other than nature hold
# drawings.
python3 "$here/quality.py" make --out "$work/set" --truth "$work/truth.csv" \
  --skip umang_by_Abhishek_Mudgal.jpg \
  "$work/pkg-lomiri-wallpapers-16.04/usr/share/backgrounds" \
  "$work/pkg-mate-backgrounds/usr/share/backgrounds/mate/nature"

echo "== vexa --report per mode and option"
mkdir -p "$work/run"
python3 "$here/quality.py" measure "$work/set" --truth "$work/truth.csv" --vexa "$vexa" \
  --work "$work/run" --markdown "$markdown"
