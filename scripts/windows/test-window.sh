# Sourced by scripts/test-windows.sh: zelka-utility.exe under Xvfb on Windows' own
# platform plugin. Its language follows the user's display language; its search button
# finds the simulated printer on COM12 and identifies it. Then the picture is taken
# ($WORK/main-window-windows.png; with ZELKA_UPDATE_SCREENSHOT=1 also
# docs/main-window-windows.png).

echo "== zelka-utility.exe under Xvfb"

# The visible X window whose title starts with TITLE, within a minute. (Titles are
# compared here: xdotool's own patterns miss Cyrillic.)
find_window() {
  local title=$1 tries=300 id
  while [ $tries -gt 0 ]; do
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
      if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$title"* ]]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
    tries=$((tries - 1))
  done
  return 1
}

# start_window NAME LOCALE: the window under that locale; its pid in window_pid.
start_window() {
  LC_ALL=$2 wine "$utility_exe" --tcp-port 0 --listen 127.0.0.1 \
    </dev/null >"$WORK/$1.out" 2>"$WORK/$1.err" &
  window_pid=$!
  BACKGROUND_PIDS+=($window_pid)
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$WORK/xvfb.display" \
  >"$WORK/xvfb.log" 2>&1 &
BACKGROUND_PIDS+=($!)
if ! wait_for "$WORK/xvfb.display" '^[0-9]' 30; then
  fail "Xvfb did not start"
  return 0
fi
export DISPLAY=":$(head -n1 "$WORK/xvfb.display")"
# Wine's desktop process keeps the display it was started with: the console programs
# before ran without one, and windows made on that desktop would never show.
"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -w

start_window window-en C.UTF-8
check "an English display language shows the window in English" \
  eval 'find_window "Zelka Printer Utility (Version 1.10)" >/dev/null'
kill "$window_pid" 2>/dev/null || true
wait_exit "$window_pid" 30 || true

start_window window-ru ru_RU.UTF-8
if main_window=$(find_window "Утилита для Принтера Zelka"); then
  pass "a Russian display language shows the window in Russian"
  logged=$(wc -l <"$WORK/printer.log")
  # "Автоматический поиск устройства" (Button7) at 8,8, 193 x 41.
  xdotool mousemove --window "$main_window" 104 28 click 1
  # The search names the port in a message box; OK lets the identification run.
  if found_box=$(find_window "zelka-utility"); then
    import -window "$found_box" "$WORK/found-message.png" 2>/dev/null || true
    xdotool key --window "$found_box" Return
  fi
  # The identification's last query is the build date (GS I @ 0x63).
  identified=false
  for _ in $(seq 1200); do
    if tail -n +"$((logged + 1))" "$WORK/printer.log" | grep -q '1d 49 40 63'; then
      identified=true
      break
    fi
    sleep 0.1
  done
  check "the window's search finds the printer on COM12 and identifies it" \
    eval '$identified && tail -n +"$((logged + 1))" "$WORK/printer.log" | grep -q "^GS r  1d 72 31  @57600"'
  # The labels are filled from queued results; give the window a moment to paint them.
  sleep 2
  if import -window "$main_window" "$WORK/main-window-windows.png"; then
    pass "screenshot $WORK/main-window-windows.png"
    if [ "${ZELKA_UPDATE_SCREENSHOT:-}" = 1 ]; then
      cp "$WORK/main-window-windows.png" "$root/docs/main-window-windows.png"
    fi
  else
    fail "screenshot of the window"
  fi
else
  fail "the window did not show under Xvfb: $(tr -d '\r' <"$WORK/window-ru.err" | head -3)"
fi
kill "$window_pid" 2>/dev/null || true
wait_exit "$window_pid" 30 || true
unset DISPLAY
