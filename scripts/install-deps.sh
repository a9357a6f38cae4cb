#!/usr/bin/env bash
# Installs the Debian 12 packages Vexa! needs to build, run and test. Safe to run again:
# only missing packages are fetched.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6sql6-sqlite libjpeg-dev
  qt6-image-formats-plugins qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xdg-utils trash-cli
  netpbm imagemagick python3-pil
  libheif-dev libavif-dev libheif-examples libavif-bin webp
  desktop-file-utils appstream dpkg-dev file
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
