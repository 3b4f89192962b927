#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made on first use, once, even when several tests start at the same time.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$prefix"
  flock "$prefix/.lock" sh -c \
    '[ -f "$WINEPREFIX/.ready" ] || { "$1" wineboot --init && touch "$WINEPREFIX/.ready"; }' \
    sh "$wine"
fi
exec "$wine" "$@"
