#!/usr/bin/env bash
# Measures how the operator's window behaves against a server that keeps it waiting: the time
# from start to a visible window, and from Escape to the program's end, pressed at several
# moments. Two servers: one that accepts and never answers, one whose connection attempts are
# dropped (a full listen queue). Loopback only; everything runs under an Xvfb of its own.
#   scripts/measure-live-window.sh [ROUNDS]
# VEDO_TCP=/path/to/VedoTcp measures another build of the client instead of this tree's.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
scripts/install-deps.sh
command -v python3 >/dev/null || { echo "python3 is needed for the test servers" >&2; exit 1; }

program="${VEDO_TCP:-}"
if [ -z "$program" ]; then
  build=build/release
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" --target VedoTcp >/dev/null
  program="$PWD/$build/bin/VedoTcp"
fi

work=$(mktemp -d)
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -nolisten tcp -screen 0 1024x768x24 &
xvfb=$!
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export VEDO_REGISTRY_DIR="$work/reg"
mkdir -p "$work/reg" "$work/home"
sleep 1

# A loopback server of the given kind; prints its port on the first line.
start_server() {
  python3 -u - "$1" <<'EOF' > "$work/port" &
import socket, sys, time
kind = sys.argv[1]
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(0 if kind == "dropping" else 64)
print(listener.getsockname()[1], flush=True)
held = []
if kind == "dropping":
    # Fill the queue with connections nobody accepts; later attempts are dropped.
    for _ in range(4):
        s = socket.socket(); s.setblocking(False)
        try: s.connect(listener.getsockname())
        except BlockingIOError: pass
        held.append(s)
    while True: time.sleep(1)
while True:
    connection, _ = listener.accept()
    held.append(connection)  # read nothing, answer nothing
EOF
  server=$!
  while [ ! -s "$work/port" ]; do sleep 0.05; done
}

now() { date +%s.%N; }
elapsed() { echo "$1 $2" | awk '{ printf "%.2f", $2 - $1 }'; }

printf '%-10s %-6s %-18s %-22s\n' server round "window visible (s)" "Escape to exit (s)"
for kind in silent dropping; do
  start_server "$kind"
  port=$(head -1 "$work/port")
  printf '[VedoTcp]\r\nVedoIP=127.0.0.1:%s\r\n' "$port" > "$work/Vedo.ini"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n"INI-Fil"="%s"\r\n' \
    "$work/Vedo.ini" > "$work/reg/HKEY_CURRENT_USER.reg"
  for round in $(seq 1 "$rounds"); do
    start=$(now)
    "$program" 1 >/dev/null 2>&1 &
    client=$!
    window=""
    until window=$(xdotool search --onlyvisible --name '^Orvi-Vedo fjernstyring$' 2>/dev/null | head -1) &&
      [ -n "$window" ]; do
      sleep 0.02
    done
    visible=$(elapsed "$start" "$(now)")
    # Escape at a different moment of the start-up's waits each round.
    sleep "$(echo "$round" | awk '{ print 0.7 * $1 }')"
    pressed=$(now)
    xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
    while kill -0 "$client" 2>/dev/null; do sleep 0.01; done
    printf '%-10s %-6s %-18s %-22s\n' "$kind" "$round" "$visible" "$(elapsed "$pressed" "$(now)")"
  done
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  server=""
  rm -f "$work/port"
done
