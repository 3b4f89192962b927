#!/usr/bin/env bash
# VedoTcp.exe under Wine on an X display of its own, against the native dnc-sim on 127.0.0.1,
# configured as on a workstation: the registry's "INI-Fil" names the INI file.
#   EndToEndTest.sh VEDOTCP_EXE DNC_SIM WORK_DIR
# 1. A program-started SEND ends by itself at the done flag with status 0 and leaves its lines
#    in the journal under %LOCALAPPDATA%.
# 2. The operator's start shows the window "Orvi-Vedo fjernstyring"; Escape ends it, status 0.
here=$(dirname "$0")
source "$here/WineSession.sh"
program=$1
DNC_SIM=$2
work=$3
start_session "$work"
printf '[VedoTcp]\r\nVedoIP=127.0.0.1:%s\r\n' "$sim_port" >"$work/Vedo.ini"
"$wine" reg add 'HKCU\Software\Vedo' /v INI-Fil /t REG_SZ /d "$(win_path "$work/Vedo.ini")" /f \
  >/dev/null 2>&1 || fail "reg add"

echo "-- a program-started SEND closes itself at the done flag"
run_windows 120 "$program" SEND 2 P300.NC
[ "$status" = 0 ] || fail "SEND 2 P300.NC ended with status $status"
grep -q "SEND;2;P300.NC" "$work/dnc-sim-data.log" || fail "the simulator saw no SEND"
journal=$(find "$WINEPREFIX/drive_c/users" -path "*/AppData/Local/vedo/journal.tsv" | head -n1)
[ -f "$journal" ] || fail "no journal under %LOCALAPPDATA%"
grep -q $'\tKommando\tSEND\t2\tP300.NC\tOK\t' "$journal" || fail "no command line in the journal"
grep -q $'\tFerdig\tSEND\t2\tP300.NC\t' "$journal" || fail "no end line in the journal"

echo "-- the operator's start shows the window; Escape ends it"
"$wine" "$program" &
client=$!
window=$(find_window 60 "Orvi-Vedo fjernstyring") || true
[ -n "$window" ] || fail "no window \"Orvi-Vedo fjernstyring\" on $DISPLAY"
xdotool windowfocus --sync "$window" key --clearmodifiers Escape
status=0
timeout 30 tail --pid="$client" -f /dev/null || fail "Escape did not end the program"
wait "$client" || status=$?
[ "$status" = 0 ] || fail "ended by Escape with status $status"
echo "passed"
