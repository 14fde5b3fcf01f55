#!/usr/bin/env bash
# Runs a Windows program under Wine (WINEPREFIX as set), as ctest's emulator for the
# cross-built tests. Wine's output goes to files first: helper processes that Wine starts
# inherit the program's output and would keep a pipe to ctest open after it ends.
set -u
export WINEDEBUG=${WINEDEBUG:--all}
dir=$(mktemp -d)
wine "$@" </dev/null >"$dir/out" 2>"$dir/err"
code=$?
cat "$dir/out"
cat "$dir/err" >&2
rm -rf "$dir"
exit $code
