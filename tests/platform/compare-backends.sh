#!/usr/bin/env bash
# Runs the backend probe natively and under Wine and compares the two case by case.
#   compare-backends.sh NATIVE_PROBE WINDOWS_PROBE "WINE_RUNNER..." DIFFERENCES
# DIFFERENCES lists the cases where the two are known to differ, one "name<TAB>reason" a line.
# Fails for a difference that is not listed, and for a listed one that no longer differs.
set -euo pipefail
native_probe=$1 windows_probe=$2 wine_runner=$3 differences=$4

if [ ! -x "$windows_probe" ] && [ ! -f "$windows_probe" ]; then
  echo "no cross build at $windows_probe: nothing to compare with"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/registry"
VEDO_REGISTRY_DIR="$work/registry" "$native_probe" >"$work/native.txt"
# shellcheck disable=SC2086 # the runner is a command and its arguments
$wine_runner "$windows_probe" | tr -d '\r' >"$work/windows.txt"

declare -A native windows expected
while IFS=$'\t' read -r name result; do native[$name]=$result; done <"$work/native.txt"
while IFS=$'\t' read -r name result; do windows[$name]=$result; done <"$work/windows.txt"
while IFS=$'\t' read -r name reason; do
  [ -z "$name" ] || [ "${name:0:1}" = "#" ] || expected[$name]=$reason
done <"$differences"

cases=0 agreed=0 known=0 failed=0
while IFS=$'\t' read -r name _; do
  cases=$((cases + 1))
  if [ -z "${windows[$name]+set}" ]; then
    echo "MISSING under Wine: $name"
    failed=$((failed + 1))
  elif [ "${native[$name]}" = "${windows[$name]}" ]; then
    if [ -n "${expected[$name]+set}" ]; then
      echo "LISTED BUT AGREES: $name = ${native[$name]}"
      failed=$((failed + 1))
    else
      agreed=$((agreed + 1))
    fi
  elif [ -n "${expected[$name]+set}" ]; then
    known=$((known + 1))
    printf 'expected difference: %s (%s)\n   POSIX: %s\n   Wine:  %s\n' \
      "$name" "${expected[$name]}" "${native[$name]}" "${windows[$name]}"
  else
    printf 'DIFFERS: %s\n   POSIX: %s\n   Wine:  %s\n' "$name" "${native[$name]}" "${windows[$name]}"
    failed=$((failed + 1))
  fi
done <"$work/native.txt"

echo "$cases cases: $agreed agree, $known expected differences, $failed failures"
[ "$failed" -eq 0 ]
