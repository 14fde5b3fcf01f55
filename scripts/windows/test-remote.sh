# Sourced by scripts/test-windows.sh: zelka.exe serve on Winsock, answered over TCP, and
# its end on Ctrl-C (Wine hands a SIGINT to the console's control handler).

echo "== zelka.exe serve"

# read_records FD COUNT: COUNT lines from the connection on FD, CRs taken off, one a line.
read_records() {
  local fd=$1 count=$2 line i
  for ((i = 0; i < count; i++)); do
    IFS= read -r -t 60 -u "$fd" line || return 1
    printf '%s\n' "${line%$'\r'}"
  done
}

# The search goes over every registered port; the printer answers on COM12.
wine "$zelka_exe" serve --tcp-port 0 --listen 127.0.0.1 \
  </dev/null >"$WORK/serve.out" 2>"$WORK/serve.err" &
serve_pid=$!
BACKGROUND_PIDS+=($serve_pid)
if wait_for "$WORK/serve.out" 'Remote service listening on port' 120; then
  tcp_port=$(tr -d '\r' <"$WORK/serve.out" | grep -o 'listening on port [0-9]*' | grep -o '[0-9]*$')
  if exec {client}<>"/dev/tcp/127.0.0.1/$tcp_port"; then
    read_records "$client" 1 >"$WORK/serve-greeting.txt" || true
    check "serve: a client is greeted with SVE0000" grep -qx 'SVE0000' "$WORK/serve-greeting.txt"
    printf 'SVEC000\n' >&"$client"
    read_records "$client" 10 >"$WORK/serve-records.txt" || true
    check "serve: SVEC000 finds the printer and answers the ten records" \
      eval 'grep -qx "SVE0001EPrinter Zelka *" "$WORK/serve-records.txt" &&
            grep -qx "SVE0002EZK00012345" "$WORK/serve-records.txt" &&
            [ "$(grep -c "^SVE00[01][0-9][ED]" "$WORK/serve-records.txt")" -eq 10 ]'
    printf 'SVEC004\n' >&"$client"
    check "serve: SVEC004 feeds a line on the printer it found" wait_for "$WORK/printer.log" '^LF ' 60
    exec {client}>&-
  else
    fail "serve: no connection to port $tcp_port"
  fi
  # A web page's request is closed unserved.
  if exec {web}<>"/dev/tcp/127.0.0.1/$tcp_port"; then
    printf 'GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n' >&"$web"
    read_records "$web" 1 >/dev/null || true
    check "serve: an HTTP request is closed unanswered" eval '! read_records "$web" 1 >/dev/null'
    exec {web}>&-
  fi
  kill -INT "$serve_pid"
  code=0
  wait_exit "$serve_pid" 60 || code=$?
  check "serve: Ctrl-C ends it with exit code 0 (exit $code)" [ $code -eq 0 ]
else
  fail "serve did not start: $(tr -d '\r' <"$WORK/serve.err" | head -3)"
fi
