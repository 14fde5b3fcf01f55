#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need, from Debian's packages
# only: MinGW-w64 with posix threads, the host's Qt tools of the same version (moc, rcc,
# lrelease and their CMake files), Google Test's sources, Wine, NSIS, zip, and Xvfb for the
# window. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build xz-utils
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  googletest
  wine wine64
  nsis zip unzip dpkg-dev
  xvfb x11-apps imagemagick
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
