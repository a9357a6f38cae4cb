#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Renders the icon's PNG sizes from vexa.svg. The PNGs are committed, so building needs no SVG
# renderer; this needs rsvg-convert (Debian: librsvg2-bin). Run from this folder.
set -euo pipefail
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vexa.svg -o "vexa-$size.png"
done
