#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made on first use, once, even when several tests start at the same time.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine keeps the QT_* variables of the Unix side from Windows programs (they are meant for the
# Linux toolkit) and hands on WINEQT_* as QT_* instead: so QT_QPA_PLATFORM=offscreen of a test
# reaches the toolkit for Windows.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE$name=\"\$$name\""
done
wine=/usr/lib/wine/wine64
if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$prefix"
  flock "$prefix/.lock" sh -c \
    '[ -f "$WINEPREFIX/.ready" ] || { "$1" wineboot --init && touch "$WINEPREFIX/.ready"; }' \
    sh "$wine"
fi
exec "$wine" "$@"
