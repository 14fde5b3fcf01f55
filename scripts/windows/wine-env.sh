# Sourced by scripts/test-windows.sh and scripts/bench-windows.sh: a Wine prefix of their
# own, simulated printers on pseudo-terminals registered as Wine's COM ports, Windows
# programs run with their output in files, and the clean-up.
#
# The caller sets WORK (a folder for the prefix and the logs) and LINUX_BUILD (a Linux
# build with sim/zelka-sim), and calls wine_cleanup on exit.

export WINEDEBUG=-all
export WINEARCH=win64
# No installers of Wine's Mono and Gecko: nothing here needs them, and they would ask. No
# winemenubuilder, which would copy the prefix's menus into this machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine takes its file names and arguments in the locale's character set.
export LC_ALL=C.UTF-8
unset DISPLAY
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

declare -A SIM_PID=()   # simulator name -> process id
declare -A SIM_PTY=()   # simulator name -> its pseudo-terminal
BACKGROUND_PIDS=()      # other processes to end on clean-up

# A new prefix in $WORK/prefix (about 20 s and 700 MB); Wine's output goes to files.
wine_new_prefix() {
  export WINEPREFIX="$WORK/prefix"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WORK"
  wine wineboot -i </dev/null >"$WORK/wineboot.out" 2>&1
  "$WINESERVER" -w
}

# wine_run NAME PROGRAM ARGS...: runs a Windows program, at most 3 minutes; its output in
# $WORK/NAME.out and .err (as written, CR LF), and in .txt/.errtxt without the CRs.
# Returns the program's exit code (124 when it had to be stopped).
wine_run() {
  local name=$1
  shift
  local code=0
  timeout -k 10 180 wine "$@" </dev/null >"$WORK/$name.out" 2>"$WORK/$name.err" || code=$?
  tr -d '\r' <"$WORK/$name.out" >"$WORK/$name.txt"
  tr -d '\r' <"$WORK/$name.err" >"$WORK/$name.errtxt"
  return $code
}

# wait_for FILE PATTERN [SECONDS]: until FILE has a line matching PATTERN (default 60 s).
wait_for() {
  local file=$1 pattern=$2 seconds=${3:-60}
  local tries=$((seconds * 10))
  while [ $tries -gt 0 ]; do
    if [ -f "$file" ] && tr -d '\r' <"$file" | grep -q -- "$pattern"; then return 0; fi
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# wait_exit PID [SECONDS]: the process's exit code once it has ended (default: within 120 s);
# 124 when it runs on, and then it is ended.
wait_exit() {
  local pid=$1 tries=$((${2:-120} * 10))
  while kill -0 "$pid" 2>/dev/null && [ $tries -gt 0 ]; do
    sleep 0.1
    tries=$((tries - 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 124
  fi
  wait "$pid"
}

# start_sim NAME [zelka-sim options]: a simulated printer; its pty in SIM_PTY[NAME], every
# command it receives in $WORK/NAME.log.
start_sim() {
  local name=$1
  shift
  "$LINUX_BUILD/sim/zelka-sim" --log "$@" >"$WORK/$name.log" 2>"$WORK/$name.simerr" &
  SIM_PID[$name]=$!
  wait_for "$WORK/$name.log" '^/dev/' 30 || { echo "zelka-sim $name did not start" >&2; return 1; }
  SIM_PTY[$name]=$(head -n1 "$WORK/$name.log")
}

stop_sim() {
  local name=$1
  kill "${SIM_PID[$name]}" 2>/dev/null || true
  wait "${SIM_PID[$name]}" 2>/dev/null || true
  unset "SIM_PID[$name]"
}

# register_com_ports COMn=NAME...: makes each simulator's pty a COM port of the prefix.
# Wine creates the ports when its server starts again.
register_com_ports() {
  local pair
  for pair in "$@"; do
    wine reg add 'HKLM\Software\Wine\Ports' /v "${pair%%=*}" /d "${SIM_PTY[${pair#*=}]}" /f \
      </dev/null >>"$WORK/reg.out" 2>&1
  done
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w
}

# A Windows path for a file of this machine (Wine's drive Z: is the root).
windows_path() {
  local path=$1
  echo "Z:${path//\//\\}"
}

wine_cleanup() {
  local pid
  for pid in "${BACKGROUND_PIDS[@]}" "${SIM_PID[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${BACKGROUND_PIDS[@]}" "${SIM_PID[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "${WINEPREFIX:-}" ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
}
