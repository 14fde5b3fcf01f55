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

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
