#!/usr/bin/env bash
# Takes docs/main-window.png: the main window under Xvfb after a search against the
# simulated printer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x700x24 -dpi 96" \
  build/tools/zelka-screenshot docs/main-window.png
