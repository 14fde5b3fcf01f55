#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian: zelka-utility.exe and zelka.exe, linked
# statically against Qt for MinGW-w64, then the portable zip and the installer.
#
# Usage: scripts/build-windows.sh [BUILD_DIR]        (default build-windows/)
#
# Qt for MinGW comes from ZELKA_QT_MINGW: an unpacked tree, or the .tar.xz of one
# (unpacked into BUILD_DIR/qt once); without it, ../shared/toolchains/ beside the clone.
# scripts/build-qt-mingw.sh makes the same tree from Debian's sources. Warnings are errors
# under CI. The unit tests are built too (scripts/test-windows.sh runs them under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${1:-build-windows}
bash scripts/install-deps-windows.sh

qt_tree=$(bash scripts/windows/find-qt-mingw.sh "$build_dir")
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# Unit tests run under Wine through this wrapper: it keeps Wine's output off ctest's pipes.
# -O2 rather than the Release default -O3, under which GCC 12 warns falsely (-Wrestrict)
# inside std::string's operator+.
cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt_tree/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/windows/wine-run.sh" \
  -DZELKA_WERROR=$werror -DZELKA_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

# The programs as they are shipped, in BUILD_DIR/stage.
rm -rf "$build_dir/stage"
cmake --install "$build_dir" --prefix "$build_dir/stage" --strip >/dev/null

# --- packages ----------------------------------------------------------------------------
# The portable zip and the NSIS installer, made from BUILD_DIR/stage; their paths printed.
bash scripts/windows/make-packages.sh "$build_dir"

ls -1 "$build_dir"/stage/*.exe
