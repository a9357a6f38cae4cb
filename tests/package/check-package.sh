#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# The Debian package as CPack makes it, unpacked into a temporary root with dpkg -x: every
# file lands where a desktop looks for it, nothing lands elsewhere, the dependencies name the
# libraries the program links, the desktop entry and the AppStream file pass their validators,
# the man page covers every option of --help, and the packaged program starts.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  fail "cpack did not make the package"
fi
deb=$(find "$work/out" -maxdepth 1 -name 'vexa_*_*.deb' | head -n1)
[ -n "$deb" ] || fail "no vexa_*.deb made"
dpkg -x "$deb" "$work/root"

expected=(
  usr/bin/vexa
  usr/share/applications/vexa.desktop
  usr/share/metainfo/org.vexa.Vexa.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/vexa.svg
  usr/share/man/man1/vexa.1
  usr/share/vexa/vexa.html
  usr/share/vexa/vexa.mdb
  usr/share/vexa/sounds/found-falling.wav
  usr/share/vexa/sounds/found-rising.wav
  usr/share/vexa/screenshots/main.png
  usr/share/vexa/screenshots/review.jpg
  usr/share/doc/vexa/README.md
  usr/share/doc/vexa/copyright
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/vexa.png")
done
(cd "$work/root" && find . -type f | sed 's|^\./||' | sort) >"$work/files"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
if ! diff -u "$work/expected" "$work/files"; then
  fail "the package's files are not the expected layout"
fi
for size in 16 22 24 32 48 64 128 256; do
  got=$(file -b "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/vexa.png")
  [[ $got == *"PNG image data, $size x $size"* ]] || fail "icon ${size}x${size} is $got"
done

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ |].*//' | sort -u)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6sql6 libqt6multimedia6 libqt6sql6-sqlite \
           qt6-qpa-plugins qt6-image-formats-plugins libheif1 libavif15; do
  grep -qx -- "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
done

desktop-file-validate "$work/root/usr/share/applications/vexa.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.vexa.Vexa.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }

vexa=$work/root/usr/bin/vexa
"$vexa" --version | grep -q '^Vexa! ' || fail "the packaged program does not start"
# The man page is written from --help: every option there must be in it.
for option in $("$vexa" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/root/usr/share/man/man1/vexa.1" \
    || fail "the man page does not describe $option"
done
echo "package $(basename "$deb"): $(wc -l <"$work/files") files, all checks passed"
