#!/usr/bin/env bash
# Takes docs/main-window.png (Russian) and docs/main-window-en.png (English): the main
# window under Xvfb after a search against the simulated printer.
# Usage: scripts/screenshot.sh [ru|en|all]   (default all)
set -euo pipefail
cd "$(dirname "$0")/.."
which="${1:-all}"
case "$which" in
  ru|en|all) ;;
  *) echo "usage: $0 [ru|en|all]" >&2; exit 2 ;;
esac
bash scripts/install-deps.sh
build_dir=${ZELKA_BUILD_DIR:-build}
bash scripts/build.sh
mkdir -p docs
shoot() {  # LANGUAGE OUTPUT
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x700x24 -dpi 96" \
    "$build_dir/tools/zelka-screenshot" "$2" "$1"
}
if [ "$which" = ru ] || [ "$which" = all ]; then shoot ru docs/main-window.png; fi
if [ "$which" = en ] || [ "$which" = all ]; then shoot en docs/main-window-en.png; fi
