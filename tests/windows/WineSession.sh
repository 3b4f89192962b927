# Shared by the tests under Wine (sourced): an X display, a Wine prefix and the simulator of
# their own, all ended when the test ends, whatever its outcome.
#   start_session WORK_DIR (a new WORK_DIR with all three in it, the prefix in WORK_DIR/wine)
#   start_display; make_prefix DIR; start_simulator DATA_DIR; win_path UNIX_PATH
#   run_windows SECONDS PROGRAM ARGUMENTS...  (sets status: the program's, 124 on time-out)
set -euo pipefail

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
sim_pid=
xvfb_pid=

finish() {
  local status=$?
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
  if [ -n "${WINEPREFIX:-}" ]; then "$wineserver" -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  exit "$status"
}
trap finish EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

# A display of the test's own, before anything of Wine: a prefix first started without a
# display gives every later program of it no window at all.
start_display() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number
  read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

make_prefix() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" -w
}

# The Windows form of a Unix path, through Wine's drive Z:.
win_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

# dnc-sim on a free loopback port, ten times as fast as the real line; sets sim_port.
start_simulator() {
  local data=$1 ports
  ports=$(mktemp)
  "$DNC_SIM" --port 0 --speed 10 --data "$data" --log "$data.log" >"$ports" &
  sim_pid=$!
  wait_for 20 test -s "$ports" || fail "dnc-sim did not start"
  sim_port=$(head -n1 "$ports" | sed "s/.*://")
  rm -f "$ports"
}

start_session() {
  rm -rf "$1"
  mkdir -p "$1"
  start_display
  make_prefix "$1/wine"
  start_simulator "$1/dnc-sim-data"
}

run_windows() {
  local seconds=$1
  shift
  status=0
  timeout "$seconds" "$wine" "$@" </dev/null || status=$?
}

# The visible window with exactly this title, waited for up to $1 seconds. Asked again and
# again rather than with --sync: a search ends with an X error when a window that Wine makes
# and unmakes at a program's start goes while it is looked at.
find_window() {
  local end=$((SECONDS + $1)) id
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -n1) || true
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}
