#!/usr/bin/env bash
# The installer, silently (/S) into a new Wine prefix, as on a workstation without the program:
#   InstallerTest.sh PACKAGE_DIR DNC_SIM WORK_DIR   (PACKAGE_DIR: where cpack put the installer)
# What it installs and sets, then a program-started SEND with the installed program against
# the native dnc-sim; a second installation keeps a shop's settings; the uninstaller removes
# the program and leaves the settings and the journal.
here=$(dirname "$0")
source "$here/WineSession.sh"
installer=$(find "$1" -maxdepth 1 -name '*.exe' | head -n1)
[ -n "$installer" ] || fail "no installer in $1"
DNC_SIM=$2
work=$3
start_session "$work"

# A 64-bit installer: the 64-bit "Program Files" and the registry's 64-bit view.
install_dir="$WINEPREFIX/drive_c/Program Files/Orvi-Vedo fjernstyring"
bin="$install_dir/bin"
ini_value() {
  "$wine" reg query 'HKLM\Software\Vedo' /v INI-Fil 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *INI-Fil *REG_SZ *//p'
}

echo "-- silent installation"
run_windows 120 "$installer" /S
"$wineserver" -w
[ "$status" = 0 ] || fail "the installer ended with status $status"
for file in VedoTcp.exe vedo-call.exe vedo-journal.exe Vedo.ini Qt6Core.dll Qt6Gui.dll \
  Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
  platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
  [ -s "$bin/$file" ] || fail "not installed: $file"
done
find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name 'Orvi-Vedo fjernstyring.lnk' |
  grep -q . || fail "no Start-menu entry"
[ "$(ini_value)" = 'C:\Program Files\Orvi-Vedo fjernstyring\bin\Vedo.ini' ] ||
  fail "HKLM\\Software\\Vedo INI-Fil is \"$(ini_value)\""

echo "-- the installed program: a program-started SEND"
printf '[VedoTcp]\r\nVedoIP=127.0.0.1:%s\r\n' "$sim_port" >"$bin/Vedo.ini"
run_windows 120 "$bin/VedoTcp.exe" SEND 2 P300.NC
[ "$status" = 0 ] || fail "SEND 2 P300.NC ended with status $status"
grep -q "SEND;2;P300.NC" "$work/dnc-sim-data.log" || fail "the simulator saw no SEND"

echo "-- a second installation keeps the shop's settings"
shop_ini='C:\Vedo\Verksted.ini'
"$wine" reg add 'HKLM\Software\Vedo' /v INI-Fil /t REG_SZ /d "$shop_ini" /f >/dev/null 2>&1
cp "$bin/Vedo.ini" "$work/Vedo.ini.before"
run_windows 120 "$installer" /S
"$wineserver" -w
[ "$status" = 0 ] || fail "the second installation ended with status $status"
[ "$(ini_value)" = "$shop_ini" ] || fail "INI-Fil overwritten with \"$(ini_value)\""
cmp -s "$bin/Vedo.ini" "$work/Vedo.ini.before" || fail "the shop's Vedo.ini was overwritten"

echo "-- silent uninstallation"
run_windows 120 "$install_dir/Uninstall.exe" /S
# The uninstaller runs from a copy of itself, which it starts and leaves.
"$wineserver" -w
[ "$status" = 0 ] || fail "the uninstaller ended with status $status"
for file in VedoTcp.exe vedo-call.exe vedo-journal.exe Qt6Core.dll platforms/qwindows.dll; do
  [ ! -e "$bin/$file" ] || fail "left behind: $file"
done
[ -f "$bin/Vedo.ini" ] || fail "the uninstaller removed Vedo.ini"
[ "$(ini_value)" = "$shop_ini" ] || fail "the uninstaller removed INI-Fil"
find "$WINEPREFIX/drive_c/users" -path "*/AppData/Local/vedo/journal.tsv" | grep -q . ||
  fail "the uninstaller removed the journal"
echo "passed"
