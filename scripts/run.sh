#!/usr/bin/env bash
# Installs what is needed, builds, and starts the utility with its simulated printer.
# Extra arguments go to the utility (e.g. --lang en); the simulated printer is left out
# only when a port is named (--port /dev/ttyUSB0).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo=--demo
for argument in "$@"; do
  case "$argument" in
    --port | --port=* | --demo) demo= ;;
  esac
done
exec build/src/app/zelka-utility ${demo:+"$demo"} "$@"
