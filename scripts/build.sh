#!/usr/bin/env bash
# Configures and builds into build/ (or $ZELKA_BUILD_DIR). Warnings are errors under CI.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${ZELKA_BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${ZELKA_BUILD_TYPE:-RelWithDebInfo} \
  -DZELKA_WERROR=$werror "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
