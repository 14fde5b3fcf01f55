#!/usr/bin/env bash
# Prints the test receipts (80 mm and 57 mm paper) and the QR code on the simulated
# printer, as a user would from the window, and saves the printer's pictures of them as
# docs/receipt-80mm.png, docs/receipt-57mm.png and docs/receipt-qr.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build_dir=${ZELKA_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${ZELKA_BUILD_TYPE:-RelWithDebInfo} \
  -DZELKA_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" --target zelka-render-samples
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build_dir/tests/zelka-render-samples" docs
