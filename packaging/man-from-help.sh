#!/bin/sh
# Writes the help2man include file of zelka's manual page made from its own help
# (man-from-help.awk): the commands are those "zelka --help" lists, each with its
# "zelka COMMAND --help", so a command added to the program is in the page without an
# edit here.
#   man-from-help.sh ZELKA OUTPUT
set -eu
zelka=$1
output=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$zelka" --help >"$work/0"
# The command words of each line of the list: "  set cut-line N    Set the ..." gives
# "set cut-line".
awk '/^Commands:/ { on = 1; next }
     on && /^$/ { exit }
     on { sub(/^ +/, ""); sub(/  .*/, ""); words = ""
          n = split($0, w, " ")
          for (i = 1; i <= n && w[i] ~ /^[a-z][a-z0-9-]*$/; i++) words = words " " w[i]
          print substr(words, 2) }' "$work/0" >"$work/commands"
[ -s "$work/commands" ] || { echo "man-from-help.sh: no commands in $zelka --help" >&2; exit 1; }
i=0
files=
while read -r command; do
  i=$((i + 1))
  # shellcheck disable=SC2086  # the command's words are separate arguments
  "$zelka" $command --help >"$work/$i"
  files="$files $work/$i"
done <"$work/commands"
# shellcheck disable=SC2086
awk -f "$(dirname "$0")/man-from-help.awk" "$work/0" $files >"$output"
