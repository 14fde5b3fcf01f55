#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) in a build of
# their own and runs them for SECONDS in all (60 unless given): the bitmap target for half
# of it, the picture target (Qt's readers) for the rest. The corpora they grow are kept in
# the build directory between runs; a crash leaves its input there as crash-* and fails.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=${ZELKA_FUZZ_BUILD_DIR:-build-fuzz}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELKA_BUILD_FUZZ=ON -DZELKA_BUILD_TESTS=OFF -DZELKA_BUILD_BENCH=OFF -DZELKA_WERROR=$werror >/dev/null
cmake --build "$build_dir" --target fuzz_bitmap make_bitmap_corpus fuzz_picture make_picture_corpus

work="$build_dir/fuzz"
bitmap_seconds=$(( seconds / 2 ))
picture_seconds=$(( seconds - bitmap_seconds ))
rm -rf "$work/seeds" "$work/picture-seeds"
mkdir -p "$work/corpus" "$work/picture-corpus"
"$work/make_bitmap_corpus" "$work/seeds"
QT_QPA_PLATFORM=offscreen "$work/make_picture_corpus" "$work/picture-seeds"
"$work/fuzz_bitmap" -max_total_time="$bitmap_seconds" -max_len=4096 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$work/seeds"
# Qt's readers allocate on their own: ASan's leak check would blame them for their caches.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.gui.imageio*=false" \
  "$work/fuzz_picture" \
  -max_total_time="$picture_seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/picture-" "$work/picture-corpus" \
  "$work/picture-seeds"
