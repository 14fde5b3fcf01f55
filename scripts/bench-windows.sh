#!/usr/bin/env bash
# Benchmarks the Windows programs under Wine beside the Linux ones, on this machine and
# against the same kind of simulated printers (Linux zelka-sim on pseudo-terminals; for
# Wine, registered as COM ports):
#   - the search over 4 silent ports (target: within 1.05 x 4 x 300 ms),
#   - the identification of a printer that answers at once,
#   - the window's largest event-loop gap during a search (bench_ports),
#   - the wall time of `zelka info` as a script runs it (the process included; for Wine,
#     with its server already running, as Windows' own services are).
# Usage: scripts/bench-windows.sh [BUILD_DIR]     (default build-windows/)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath -m "${1:-build-windows}")
LINUX_BUILD=$(realpath -m "${ZELKA_BUILD_DIR:-build}")
WORK="$build_dir/wine-bench"
runs=5

bash scripts/build-windows.sh "$build_dir" >/dev/null
cmake -S . -B "$LINUX_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=${ZELKA_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$LINUX_BUILD" -j "$(nproc)" --target zelka-sim zelka bench_ports >/dev/null

source scripts/windows/wine-env.sh
trap wine_cleanup EXIT
rm -rf "$WORK"
wine_new_prefix
start_sim printer
for i in 1 2 3 4; do start_sim "silent$i" --baud 38400; done
register_com_ports COM3=silent1 COM4=silent2 COM5=silent3 COM6=silent4 COM12=printer
# Kept running between the timed runs; its own output (a dump of its objects when it is
# ended) goes to a file.
"$WINESERVER" -p >"$WORK/wineserver.log" 2>&1

# median_ms COMMAND...: the median wall time of $runs runs, in milliseconds.
median_ms() {
  local times=() start i
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" </dev/null >"$WORK/timed.out" 2>&1
    times+=($((($(date +%s%N) - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

echo "== Linux"
"$LINUX_BUILD/bench/bench_ports" --runs $runs --printer "${SIM_PTY[printer]}" \
  --silent "${SIM_PTY[silent1]}" --silent "${SIM_PTY[silent2]}" \
  --silent "${SIM_PTY[silent3]}" --silent "${SIM_PTY[silent4]}"
echo "zelka info -b 57600 (no search): median $(median_ms "$LINUX_BUILD/src/cli/zelka" -p "${SIM_PTY[printer]}" -b 57600 info) ms"
echo "zelka info (search on one port): median $(median_ms "$LINUX_BUILD/src/cli/zelka" -p "${SIM_PTY[printer]}" info) ms"

echo "== Windows, under Wine"
wine_run bench "$build_dir/bench/bench_ports.exe" --runs $runs --printer COM12 \
  --silent COM3 --silent COM4 --silent COM5 --silent COM6 || true
cat "$WORK/bench.txt" "$WORK/bench.errtxt"
zelka_exe="$build_dir/stage/zelka.exe"
echo "zelka.exe info -b 57600 (no search): median $(median_ms wine "$zelka_exe" -p COM12 -b 57600 info) ms"
echo "zelka.exe info (search on one port): median $(median_ms wine "$zelka_exe" -p COM12 info) ms"
echo "zelka.exe --version (Wine's start-up alone): median $(median_ms wine "$zelka_exe" --version) ms"
