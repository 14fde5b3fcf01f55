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
  xvfb x11-apps imagemagick xdotool
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
