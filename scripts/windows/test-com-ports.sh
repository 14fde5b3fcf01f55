# Sourced by scripts/test-windows.sh: zelka.exe over Wine's COM ports, each simulated
# printer on a pseudo-terminal. The Linux zelka talks to a twin of the printer, so that
# both programs' frames can be compared byte for byte.

echo "== zelka.exe over COM ports"
start_sim printer
start_sim twin
# At 9600, after the printer: a search at 57600 finds the printer first.
start_sim vanishing --baud 9600
# At 38400 the printer hears every rate of the search as noise: silent ports.
for i in 1 2 3; do start_sim "silent$i" --baud 38400; done
# Wine keeps no program from opening a device another one holds (and root opens any pty),
# but it does for files: a file stands in for the port that another program holds.
: >"$WORK/held-port"
SIM_PTY[held]="$WORK/held-port"
register_com_ports COM3=silent1 COM4=silent2 COM5=silent3 COM6=vanishing COM7=held COM12=printer

# --- the port list --------------------------------------------------------------------
wine_run serialcomm reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' || true
registered=$(grep -o 'REG_SZ *COM[0-9]*' "$WORK/serialcomm.txt" | awk '{print $2}' | tr '\n' ' ')
wine_run ports "$zelka_exe" ports || true
listed=$(awk '{print $1}' "$WORK/ports.txt" | tr '\n' ' ')
check "ports: the registry's ports in its order ($registered)" [ "$listed" = "$registered" ]
check "ports: COM12 (\\\\.\\COM12 and above) opens" grep -q '^COM12  ok' "$WORK/ports.txt"

wine "$holder_exe" COM7 </dev/null >"$WORK/holder.out" 2>"$WORK/holder.err" &
holder_pid=$!
BACKGROUND_PIDS+=($holder_pid)
if wait_for "$WORK/holder.out" '^held COM7' 60; then
  wine_run ports-json "$zelka_exe" ports --json || true
  check "ports --json: a port another program holds is busy" \
    grep -q '"access":"busy","description":"[^"]*","name":"COM7"' "$WORK/ports-json.txt"
  check "ports --json: the printer's port is ok" \
    grep -q '"access":"ok","description":"[^"]*","name":"COM12"' "$WORK/ports-json.txt"
  code=0
  wine_run busy "$zelka_exe" -p COM7 -b 57600 paper || code=$?
  check "a busy port ends the command with exit code 5 and says so" \
    eval '[ $code -eq 5 ] && contains busy.errtxt "busy"'
  code=0
  wine_run busy-search "$zelka_exe" detect -p COM7 -p COM3 || code=$?
  check "a search that finds nothing names the busy port" \
    eval '[ $code -eq 3 ] && contains busy-search.errtxt "cannot open COM7: the port is busy"'
else
  fail "zelka-port-holder could not hold COM7: $(cat "$WORK/holder.err")"
fi
kill "$holder_pid" 2>/dev/null || true

# --- the search -------------------------------------------------------------------------
code=0
wine_run detect-all "$zelka_exe" detect || code=$?
check "detect without --port finds the printer on COM12" \
  eval '[ $code -eq 0 ] && contains detect-all.txt "Printer found on COM12 at 57600 baud"'
for spelling in 'com12' '\\.\COM12'; do
  code=0
  wine_run detect-one "$zelka_exe" detect -p COM3 -p "$spelling" || code=$?
  check "detect -p COM3 -p $spelling finds the printer" \
    eval '[ $code -eq 0 ] && contains detect-one.txt "Printer found on"'
done
code=0
wine_run detect-silent "$zelka_exe" detect -p COM3 -p COM4 -p COM5 || code=$?
check "a search over silent ports finds nothing (exit code 3)" [ $code -eq 3 ]
code=0
wine_run absent "$zelka_exe" -p COM13 paper || code=$?
check "a port that does not exist ends with exit code 6" \
  eval '[ $code -eq 6 ] && contains absent.errtxt "no such port"'

# --- the same frames as on Linux ----------------------------------------------------------
files="$WORK/файлы"
mkdir -p "$files"
printf 'Проверка печати\nZelka 80 мм\n' >"$files/текст чека.txt"
convert -size 240x60 xc:white -fill black -draw 'rectangle 10,10 230,50' -draw 'circle 40,30 40,50' \
  "$files/картинка.png"
convert -size 200x48 gradient:white-black -monochrome BMP3:"$files/логотип.bmp"
head -c 599 /dev/zero | tr '\0' '\245' >"$files/прошивка.bin"
printf '\003' >>"$files/прошивка.bin"

# Frames and replies of a --trace, without the time and the port's name.
frames() { grep -E '^[0-9:.]+ (send|recv) ' "$1" | sed -E 's/^[0-9:.]+ (send|recv) [^ ]+ /\1 /'; }

# same_frames NAME BAUD ARGS...: the command on the Linux twin and on COM12; the frames,
# the output (with the port's name as PORT) and the exit code must be the same.
same_frames() {
  local name=$1 baud=$2
  shift 2
  local args=() arg
  for arg in "$@"; do
    if [[ $arg == "$files"/* ]]; then args+=("$(windows_path "$arg")"); else args+=("$arg"); fi
  done
  local linux_code=0 windows_code=0
  timeout -k 10 180 "$zelka_linux" --trace -p "${SIM_PTY[twin]}" -b "$baud" "$@" \
    </dev/null >"$WORK/$name.linux.txt" 2>"$WORK/$name.linux.err" || linux_code=$?
  wine_run "$name" "$zelka_exe" --trace -p COM12 -b "$baud" "${args[@]}" || windows_code=$?
  frames "$WORK/$name.linux.err" >"$WORK/$name.linux.frames"
  frames "$WORK/$name.errtxt" >"$WORK/$name.frames"
  sed "s|${SIM_PTY[twin]}|PORT|g" "$WORK/$name.linux.txt" >"$WORK/$name.linux.out-norm"
  sed "s|COM12|PORT|g" "$WORK/$name.txt" >"$WORK/$name.out-norm"
  if [ $linux_code -eq $windows_code ] && [ -s "$WORK/$name.frames" ] &&
     cmp -s "$WORK/$name.linux.frames" "$WORK/$name.frames" &&
     cmp -s "$WORK/$name.linux.out-norm" "$WORK/$name.out-norm"; then
    pass "zelka $* : $(wc -l <"$WORK/$name.frames") frames as on Linux (exit $windows_code)"
  else
    fail "zelka $* : Linux exit $linux_code, Windows exit $windows_code"
    diff "$WORK/$name.linux.frames" "$WORK/$name.frames" | head -20 >&2 || true
    diff "$WORK/$name.linux.out-norm" "$WORK/$name.out-norm" | head -20 >&2 || true
    head -5 "$WORK/$name.errtxt" >&2
  fi
}

same_frames info 57600 info --json
same_frames feed 57600 feed
same_frames cut 57600 cut
same_frames beep 57600 beep
same_frames selftest 57600 selftest
same_frames paper 57600 paper
same_frames drawer-open 57600 drawer open
same_frames drawer-status 57600 drawer status
same_frames cut-line 57600 set cut-line 10
same_frames density 57600 set density 60
same_frames codepage 57600 set codepage 866
same_frames paper-width 57600 set paper-width 80
same_frames print-test 57600 print test
same_frames print-test-57 57600 print test --paper 57
same_frames print-qr 57600 print qr
same_frames print-text 57600 print text "$files/текст чека.txt"
same_frames print-picture 57600 print picture "$files/картинка.png"
same_frames logo-load 57600 logo load "$files/логотип.bmp"
same_frames logo-print 57600 logo print
same_frames logo-erase 57600 logo erase
same_frames firmware-check 57600 firmware check "$files/прошивка.bin"
same_frames firmware-update 57600 firmware update "$files/прошивка.bin"
same_frames baud-up 57600 set baud 115200
same_frames paper-115200 115200 paper
same_frames baud-back 115200 set baud 57600

# --- a port that vanishes in the middle of a job ------------------------------------------
wine "$zelka_exe" -p COM6 -b 9600 firmware update "$(windows_path "$files/прошивка.bin")" \
  </dev/null >"$WORK/vanish.out" 2>"$WORK/vanish.err" &
vanish_pid=$!
BACKGROUND_PIDS+=($vanish_pid)
if wait_for "$WORK/vanishing.log" '^BL 01 ' 120; then
  stop_sim vanishing
  code=0
  # Generous: the job ends at its next read or write, in seconds.
  wait_exit "$vanish_pid" 120 || code=$?
  check "a port that vanished mid-update ends the command with its reason (exit $code)" \
    eval '[ $code -ne 0 ] && [ $code -ne 124 ] && [ -s "$WORK/vanish.err" ]'
else
  fail "the update on COM6 never reached the bootloader's erase"
fi
