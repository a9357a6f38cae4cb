#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# The Debian package as CPack makes it, unpacked into a temporary root with dpkg -x: exactly the
# expected files, dependencies naming the libraries the program links, a desktop entry and an
# AppStream file that pass their validators, a man page covering every option of --help, and a
# packaged program that starts. Usage: check-package.sh BUILD_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$1" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail cpack; }
deb=$(find "$work/out" -maxdepth 1 -name 'vexa_*_*.deb' | head -n1)
dpkg -x "$deb" "$work/root"
share=usr/share
printf '%s\n' usr/bin/vexa $share/applications/vexa.desktop \
  $share/metainfo/org.vexa.Vexa.metainfo.xml $share/icons/hicolor/scalable/apps/vexa.svg \
  $share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/vexa.png \
  $share/man/man1/vexa.1 $share/vexa/{vexa.html,vexa.mdb} \
  $share/vexa/sounds/{found-falling,found-rising}.wav $share/vexa/screenshots/{main.png,review.jpg} \
  $share/doc/vexa/{README.md,copyright} | sort >"$work/expected"
(cd "$work/root" && find . -type f | sed 's|^\./||' | sort) | diff -u "$work/expected" - \
  || fail "the package's files are not the expected layout"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libqt6sql6 libqt6multimedia6 libqt6sql6-sqlite qt6-qpa-plugins \
           qt6-image-formats-plugins libheif1 libavif15; do
  tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ |].*//' | grep -qx -- "$lib" \
    || fail "Depends lacks $lib: $depends"
done

desktop-file-validate "$work/root/$share/applications/vexa.desktop"
appstreamcli validate --no-net "$work/root/$share/metainfo/org.vexa.Vexa.metainfo.xml" >/dev/null \
  || fail "appstreamcli validate"
vexa=$work/root/usr/bin/vexa
"$vexa" --version | grep -q '^Vexa! ' || fail "the packaged program does not start"
for option in $("$vexa" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/root/$share/man/man1/vexa.1" \
    || fail "the man page does not describe $option"
done
echo "package $(basename "$deb"): layout, dependencies, validators and man page checked"
