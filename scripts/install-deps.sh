#!/usr/bin/env bash
# Installs everything the utility, its simulator, its tests and its benchmarks need,
# from Debian's packages only. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libqrencode-dev libzbar-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation2
  xvfb x11-apps imagemagick
  clang libclang-rt-14-dev
  dpkg-dev lintian desktop-file-utils appstream help2man systemd
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
