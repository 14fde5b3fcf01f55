#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite; where Wine and Qt for
# MinGW are present (ZELKA_QT_MINGW or ../shared/toolchains/), also the Windows programs'
# tests under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
root=$PWD
# The Windows tests first, so that ctest's summary below stays the closing line.
if command -v wine >/dev/null && windows_qt=$(bash scripts/windows/find-qt-mingw.sh build-windows 2>/dev/null); then
  ZELKA_QT_MINGW=$windows_qt bash scripts/test-windows.sh build-windows
fi
cd "${ZELKA_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" "$@"
if [ "${CI:-}" = "true" ]; then
  # A minute of fuzzing the bitmap reading. Its log is shown only when it fails, so that
  # ctest's summary above stays the closing line of a passing run.
  fuzz_log="$root/build-fuzz/fuzz.log"
  mkdir -p "$root/build-fuzz"
  if ! ZELKA_FUZZ_BUILD_DIR="$root/build-fuzz" bash "$root/scripts/fuzz.sh" 60 >"$fuzz_log" 2>&1; then
    cat "$fuzz_log"
    echo "fuzzing failed; the input is in build-fuzz/fuzz/ (crash-*, leak-*, timeout-*)" >&2
    exit 1
  fi
fi
