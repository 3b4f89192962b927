#!/usr/bin/env bash
# Builds and runs every test in both configurations: the normal build and the one with
# AddressSanitizer and UndefinedBehaviorSanitizer. Also checks the format of the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for config in release sanitize; do
  dir="build/$config"
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ "$config" = sanitize ] && options=(-DCMAKE_BUILD_TYPE=Debug -DVEDO_SANITIZE=ON)
  echo "== $config =="
  cmake -S . -B "$dir" "${options[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done
cmake --build build/release --target format-check
