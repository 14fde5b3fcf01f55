#!/usr/bin/env bash
# Installs what is needed, builds, and starts the utility with its simulated printer.
# Extra arguments go to the utility (e.g. --port /dev/ttyUSB0 instead of the demo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ "$#" -eq 0 ]; then set -- --demo; fi
exec build/src/app/zelka-utility "$@"
