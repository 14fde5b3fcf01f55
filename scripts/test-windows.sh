#!/usr/bin/env bash
# Tests the Windows programs under Wine, in a fresh Wine prefix of their own:
#   - the unit tests that need no simulated printer, cross-built, run by ctest under Wine;
#   - zelka.exe against simulated printers (the Linux zelka-sim on pseudo-terminals,
#     registered as Wine's COM ports): the port list, the search with and without --port,
#     identification, every service action, printing, the logo and a firmware update, each
#     sending the same frames as the Linux zelka (compared with its --trace); busy, absent
#     and vanishing ports; the remote service answering a TCP client; Ctrl-C;
#   - the window under Xvfb on Windows' own platform plugin: its search finds the simulated
#     printer on its COM port and identifies it; docs/main-window-windows.png is taken then;
#   - the installer and the portable zip (scripts/windows/test-installer.sh).
#
# Usage: scripts/test-windows.sh [BUILD_DIR]     (default build-windows/)
# Builds first (scripts/build-windows.sh, and the Linux simulator in build/ or
# $ZELKA_BUILD_DIR). Logs are in BUILD_DIR/wine-test/; the prefix is removed after a
# passing run. Ends with "windows tests passed" or the list of what failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=$(realpath -m "${1:-build-windows}")
LINUX_BUILD=$(realpath -m "${ZELKA_BUILD_DIR:-build}")
WORK="$build_dir/wine-test"

bash scripts/install-deps.sh
bash scripts/build-windows.sh "$build_dir"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$LINUX_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=${ZELKA_BUILD_TYPE:-RelWithDebInfo} \
  -DZELKA_WERROR=$werror >/dev/null
cmake --build "$LINUX_BUILD" -j "$(nproc)" --target zelka-sim zelka

source scripts/windows/wine-env.sh
trap wine_cleanup EXIT
rm -rf "$WORK"
mkdir -p "$WORK"
zelka_exe="$build_dir/stage/zelka.exe"
utility_exe="$build_dir/stage/zelka-utility.exe"
holder_exe="$build_dir/tests/link/zelka-port-holder.exe"
zelka_linux="$LINUX_BUILD/src/cli/zelka"

failures=()
pass() { echo "ok   $1"; }
fail() {
  echo "FAIL $1" >&2
  failures+=("$1")
}
# check NAME COMMAND...: the command's success is the check's.
check() {
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
contains() { grep -q -- "$2" "$WORK/$1"; }

echo "== a fresh Wine prefix"
wine_new_prefix

echo "== unit tests under Wine"
# ctest's summary stays in its log: the Linux suite's is the one CI reads.
if (cd "$build_dir" && ctest --output-on-failure -j 2 >"$WORK/ctest.log" 2>&1); then
  pass "unit tests under Wine: $(grep -c ' Passed ' "$WORK/ctest.log") test programs"
else
  cat "$WORK/ctest.log"
  fail "unit tests"
fi

source scripts/windows/test-com-ports.sh
source scripts/windows/test-remote.sh
source scripts/windows/test-window.sh
wine_cleanup

echo "== the installer and the portable zip"
# In a prefix of its own, as a technician's PC would be.
if bash scripts/windows/test-installer.sh "$build_dir" >"$WORK/installer.log" 2>&1; then
  pass "installer: silent install, the programs, the shortcut, silent uninstall; the zip"
else
  tail -20 "$WORK/installer.log" >&2
  fail "installer"
fi

echo
if [ ${#failures[@]} -gt 0 ]; then
  echo "windows tests failed: ${#failures[@]} (logs in $WORK)" >&2
  printf '  %s\n' "${failures[@]}" >&2
  exit 1
fi
wine_cleanup
trap - EXIT
rm -rf "$WINEPREFIX"
echo "windows tests passed"
