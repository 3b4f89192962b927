#!/usr/bin/env bash
# Makes the Debian packages of a build with cpack, into a folder of its own, and checks them:
# lintian must report no error (E:) and no warning (W:), each package must hold exactly its
# programs, and the desktop entry must start the client without arguments (a file dropped on
# the launcher would otherwise become the machine).
# usage: lintian.sh CPACK CPACK-CONFIG OUTPUT-FOLDER
set -euo pipefail
cpack=$1
config=$2
out=$3

rm -rf "$out"
mkdir -p "$out"
if ! "$cpack" -G DEB --config "$config" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi

failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# The programs in /usr/bin of each package, and nothing else there.
declare -A programs=(
  [orvi-vedo]="VedoTcp vedo-call vedo-journal"
  [orvi-vedo-sim]="dnc-load dnc-sim"
)
for package in "${!programs[@]}"; do
  deb=$(find "$out" -maxdepth 1 -name "${package}_*.deb")
  if [ -z "$deb" ]; then
    fail "no package $package"
    continue
  fi
  found=$(dpkg-deb --contents "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ { sub(".*/", "", $6); print $6 }' |
    LC_ALL=C sort | xargs)
  [ "$found" = "${programs[$package]}" ] ||
    fail "$package holds in /usr/bin: '$found', expected '${programs[$package]}'"
done
# An install() without a component would make a package of its own.
unexpected=$(find "$out" -maxdepth 1 -name '*.deb' | grep -v -E '/orvi-vedo(-sim)?_[^/]*\.deb$' || true)
[ -z "$unexpected" ] || fail "packages of no component: $unexpected"

client=$(find "$out" -maxdepth 1 -name 'orvi-vedo_*.deb')
if [ -n "$client" ]; then
  if dpkg-deb --fsys-tarfile "$client" |
    tar -xOf - ./usr/share/applications/orvi-vedo-fjernstyring.desktop >"$out/entry.desktop"; then
    exec_line=$(grep '^Exec=' "$out/entry.desktop" || true)
    [ "$exec_line" = "Exec=VedoTcp" ] || fail "the desktop entry says '$exec_line'"
  else
    fail "orvi-vedo holds no desktop entry"
  fi
fi

# Every tag shown, with its level; an error or a warning fails, as does lintian's own failure.
if ! lintian --fail-on error,warning --tag-display-limit 0 -I "$out"/*.deb >"$out/lintian.log" 2>&1; then
  fail "lintian reports errors or warnings, or could not run"
fi
cat "$out/lintian.log"
exit $failed
