#!/usr/bin/env bash
# Builds and runs every test in both configurations: the normal build and the one with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows build under Wine. Also runs
# each fuzz target briefly and checks the format of the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for config in release sanitize; do
  dir="build/$config"
  options=(-DCMAKE_BUILD_TYPE=Release -DVEDO_WERROR=ON)
  [ "$config" = sanitize ] && options=(-DCMAKE_BUILD_TYPE=Debug -DVEDO_SANITIZE=ON -DVEDO_WERROR=ON)
  echo "== $config =="
  cmake -S . -B "$dir" "${options[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done
# The Windows build, cross-compiled with MinGW-w64 against the toolkit for Windows, which
# scripts/windows-qt.sh builds once per machine into a cache outside the checkout (about 30
# minutes on 2 cores) and then reuses. Its tests run under Wine: the suites in a prefix inside
# build/windows, the client against the native dnc-sim of the release build and its installer
# each in a prefix and on an X display of their own. Then the native backend is compared with
# it case by case.
echo "== windows =="
# (Its progress goes to standard error: a tee to /dev/stderr would reopen a log file that
# standard error is, and cut it short.)
qt_windows=$(scripts/windows-qt.sh)
echo "toolkit for Windows: $qt_windows"
cmake -S . -B build/windows -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEDO_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_PREFIX_PATH="$qt_windows" -DQT_HOST_PATH=/usr \
  -DVEDO_NATIVE_DNC_SIM="$PWD/build/release/bin/dnc-sim" >/dev/null
cmake --build build/windows -j "$jobs"
ctest --test-dir build/windows --output-on-failure -j "$jobs"
ctest --test-dir build/release --output-on-failure -R backend_differential
# The fuzz targets, built with clang, libFuzzer and both sanitizers, about 15 s each from the
# seed corpus in the tree (new inputs go to a scratch folder; the tree's corpus stays as it is).
# Longer runs by hand: build/fuzz/fuzz/fuzz_reply -max_total_time=600 fuzz/corpus/fuzz_reply
echo "== fuzz =="
CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -DVEDO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEDO_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
for target in build/fuzz/fuzz/fuzz_*; do
  name=$(basename "$target")
  scratch="build/fuzz/corpus/$name"
  mkdir -p "$scratch"
  echo "-- $name"
  if ! (cd build/fuzz && "../../$target" -max_total_time=15 -timeout=10 -print_final_stats=1 \
    "corpus/$name" "../../fuzz/corpus/$name" 2>&1 |
    grep -E "^(stat::number_of_executed_units|#[0-9]+ +DONE)|rule broken|ERROR|SUMMARY"); then
    echo "$name failed; the input that broke it is in build/fuzz"
    exit 1
  fi
done

cmake --build build/release --target format-check
