#!/usr/bin/env bash
# Prints the Qt for MinGW tree to build with: ZELKA_QT_MINGW (an unpacked tree or its
# .tar.xz), else the ready-built archive in ../shared/toolchains/ beside the clone. An
# archive is unpacked once into BUILD_DIR/qt/.
# Usage: scripts/windows/find-qt-mingw.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$1
archive_name=qt6.4.2-mingw-w64-x86_64-static.tar.xz
source=${ZELKA_QT_MINGW:-}
if [ -z "$source" ]; then
  for candidate in "../shared/toolchains/$archive_name" "/work/shared/toolchains/$archive_name"; do
    if [ -f "$candidate" ]; then source=$candidate; break; fi
  done
fi
if [ -z "$source" ]; then
  echo "No Qt for MinGW: set ZELKA_QT_MINGW to its tree or to $archive_name" \
       "(scripts/build-qt-mingw.sh PREFIX makes one from Debian's sources)" >&2
  exit 1
fi
toolchain=lib/cmake/Qt6/qt.toolchain.cmake
if [ -d "$source" ]; then
  [ -f "$source/$toolchain" ] || { echo "$source holds no Qt for MinGW ($toolchain)" >&2; exit 1; }
  realpath "$source"
  exit 0
fi
[ -f "$source" ] || { echo "ZELKA_QT_MINGW: no such file or folder: $source" >&2; exit 1; }
source=$(realpath "$source")
unpacked="$build_dir/qt"
stamp="$unpacked/.from"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$source $(stat -c %s.%Y "$source")" ]; then
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  tar -C "$unpacked" -xJf "$source"
  echo "$source $(stat -c %s.%Y "$source")" >"$stamp"
fi
tree=$(dirname "$(find "$unpacked" -maxdepth 5 -path "*/$toolchain" | head -n1)")
[ -n "$tree" ] && [ "$tree" != . ] || { echo "$source holds no Qt for MinGW ($toolchain)" >&2; exit 1; }
realpath "$tree/../../.."
