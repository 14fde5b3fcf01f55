#!/usr/bin/env bash
# Builds the bitmap fuzz target with clang (libFuzzer, AddressSanitizer, UBSan) in a build
# of its own and runs it for SECONDS (60 unless given). The corpus it grows is kept in the
# build directory between runs; a crash leaves its input there as crash-* and fails.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=${ZELKA_FUZZ_BUILD_DIR:-build-fuzz}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELKA_BUILD_FUZZ=ON -DZELKA_BUILD_TESTS=OFF -DZELKA_BUILD_BENCH=OFF -DZELKA_WERROR=$werror >/dev/null
cmake --build "$build_dir" --target fuzz_bitmap make_bitmap_corpus

work="$build_dir/fuzz"
rm -rf "$work/seeds"
mkdir -p "$work/corpus"
"$work/make_bitmap_corpus" "$work/seeds"
"$work/fuzz_bitmap" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$work/seeds"
