#!/usr/bin/env bash
# Puts the DNC simulator under load on this machine: starts dnc-sim on a free loopback port,
# runs dnc-load against it (bounded in count and time), prints requests per second and the
# 99th-percentile latency, then checks that the simulator logged every request and stops it.
#   scripts/load-sim.sh                      200 clients, 10 000 requests, at most 60 s
#   scripts/load-sim.sh 50 2000 30           clients, requests, seconds
# VEDO_BUILD_DIR chooses the build to use (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."

clients="${1:-200}"
requests="${2:-10000}"
seconds="${3:-60}"
build="${VEDO_BUILD_DIR:-build/release}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target dnc-sim dnc-load >/dev/null

work="$(mktemp -d)"
trap 'kill "$simulator" 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/bin/dnc-sim" --port 0 --data "$work/nc" --log "$work/dnc-sim.log" > "$work/out" &
simulator=$!
for _ in $(seq 100); do
  grep -q "listening" "$work/out" 2>/dev/null && break
  sleep 0.1
done
port="$(sed -n 's/.*listening on .*:\([0-9]*\)$/\1/p' "$work/out")"
[ -n "$port" ] || { echo "dnc-sim did not start" >&2; exit 1; }

status=0
"$build/bin/dnc-load" --server "127.0.0.1:$port" --clients "$clients" --requests "$requests" \
  --max-seconds "$seconds" || status=$?
sleep 1  # finished connection threads are reaped within half a second
threads="$(ls "/proc/$simulator/task" | wc -l)"
kill "$simulator"
wait "$simulator" || true
logged="$(grep -c ' -> ' "$work/dnc-sim.log" || true)"
echo "dnc-sim logged $logged requests; threads a second after the load: $threads"
exit "$status"
