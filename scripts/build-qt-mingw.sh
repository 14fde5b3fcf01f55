#!/usr/bin/env bash
# Builds Qt 6 for Windows (MinGW-w64, static) from Debian's own qt6-base source package:
# the tree that scripts/build-windows.sh takes as ZELKA_QT_MINGW. About 64 CPU minutes.
#
# Usage: scripts/build-qt-mingw.sh PREFIX [WORK_DIR]     (WORK_DIR default build-qt-mingw/)
#
# Needs Debian's source archive: when apt has no deb-src line for it, one is added for the
# release this machine runs (/etc/apt/sources.list.d/zelka-deb-src.list).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
[ $# -ge 1 ] || { echo "usage: $0 PREFIX [WORK_DIR]" >&2; exit 2; }
prefix=$(realpath -m "$1")
work=$(realpath -m "${2:-build-qt-mingw}")
qt_version=6.4.2

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
bash scripts/install-deps-windows.sh
# What Debian builds qt6-base with, and dpkg-dev for apt-get source.
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  dpkg-dev perl python3 patch >/dev/null

if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  . /etc/os-release
  echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME main" |
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/zelka-deb-src.list >/dev/null
  "${sudo_cmd[@]}" apt-get update >/dev/null
fi

mkdir -p "$work"
cd "$work"
source_dir=$(find . -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
if [ -z "$source_dir" ]; then
  apt-get source qt6-base="$qt_version*" >apt-source.log 2>&1 || { cat apt-source.log >&2; exit 1; }
  source_dir=$(find . -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
  # With Direct2D off, the platform plugin still refers to the DirectWrite font database
  # that only a Direct2D build has: every widgets program would fail to link.
  patch -d "$source_dir" -p1 <"$root/packaging/windows/qtbase-6.4.2-directwrite3-needs-direct2d.patch"
fi
cd "$source_dir"
# The compilers' toolchain file sits at the top of the tree, where Qt's own toolchain file
# finds it again relative to itself (the tree can be moved).
mkdir -p "$prefix"
cp "$root/scripts/windows/mingw-w64-x86_64.cmake" "$prefix/"

# -no-feature-tabletevent: Debian's cleaned source has no src/3rdparty/wintab.
# No SSL: the programs speak plain TCP only.
./configure -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
  -release -static -static-runtime -opensource -confirm-license \
  -nomake tests -nomake examples \
  -no-opengl -no-dbus -no-icu -no-zstd -no-openssl -schannel \
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype \
  -no-feature-sql -no-feature-testlib -no-feature-concurrent -no-feature-xml \
  -no-feature-printsupport -no-feature-tabletevent \
  -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
     -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake -DFEATURE_direct2d=OFF -DFEATURE_tuiotouch=OFF -DINPUT_schannel=no \
      -DFEATURE_schannel=OFF -DFEATURE_ssl=OFF .
cmake --build . --parallel "$(nproc)"
cmake --install .
echo "$prefix"
