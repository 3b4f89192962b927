#!/usr/bin/env bash
# Builds everything, starts the DNC simulator in the background and runs the client against
# it; the simulator stops when the client closes. Arguments go to the client, for example
#   scripts/run.sh                      the operator's window for machine 1
#   scripts/run.sh "Fres 3"             machine 3, by name
#   scripts/run.sh SEND 2 P300.NC       as started by another program: send, then close
# Settings are made under build/demo, never in /etc or the home folder. Without a display the
# client runs on an Xvfb display of its own (see the message it prints).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target VedoTcp VedoEdit dnc-sim vedo-call

demo="$PWD/build/demo"
port="${VEDO_DEMO_PORT:-50000}"
mkdir -p "$demo/registry"
printf '[VedoTcp]\r\nVedoIP=127.0.0.1:%s\r\n' "$port" > "$demo/Vedo.ini"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n"INI-Fil"="%s"\r\n' \
  "$demo/Vedo.ini" > "$demo/registry/HKEY_CURRENT_USER.reg"
export VEDO_REGISTRY_DIR="$demo/registry"

"$build/bin/dnc-sim" --port "$port" --data "$demo/nc" --log "$demo/dnc-sim.log" \
  --speed "${VEDO_DEMO_SPEED:-1}" &
simulator=$!
xvfb=""
cleanup() {
  kill "$simulator" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 0.5
kill -0 "$simulator" 2>/dev/null || { echo "dnc-sim could not start on port $port" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb "$DISPLAY" -nolisten tcp -screen 0 1024x768x24 &
  xvfb=$!
  sleep 1
  echo "No display: the client runs on Xvfb $DISPLAY."
  echo "  Look at it:  import -display $DISPLAY -window root shot.png"
  echo "  Drive it:    DISPLAY=$DISPLAY xdotool key Escape"
fi
echo "Simulator log: $demo/dnc-sim.log"
status=0
"$build/bin/VedoTcp" "$@" || status=$?
echo "VedoTcp ended with exit status $status"
exit "$status"
