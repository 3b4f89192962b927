#!/usr/bin/env bash
# Cross-builds Qt (qtbase: Core, Gui, Widgets, Test) for 64-bit Windows with MinGW-w64 from
# Debian's own source package, with Debian's patch series applied, and installs it into a cache
# folder outside the checkout. A toolkit already in the cache is reused. The last line printed is
# the toolkit's prefix, for -DCMAKE_PREFIX_PATH; it is the only line on standard output, the
# progress goes to standard error.
#
# The source comes through apt-get with a source list, state and cache of this script's own (the
# system's deb entries as deb-src), so the system's apt configuration is left as it is.
# About 30 minutes on 2 idle cores (an hour on busy ones); about 100 MB installed.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) || {
  echo "qt6-base-dev is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
}
upstream=${version%%+*}

# What the program needs of the toolkit and no more; see the README's Windows section.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_pkg_config=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_direct2d1_1=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DINPUT_opengl=no
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_style_windowsvista=ON -DFEATURE_testlib=ON
  # Debian's +dfsg tarball lacks the wintab headers that tablet events need.
  -DFEATURE_tabletevent=OFF
)
toolchain="$here/cmake/toolchains/mingw-w64-x86_64.cmake"
# The cache's name changes with what goes into the toolkit: its version, these options, the
# compiler.
hash=$( (echo "$version"; printf '%s\n' "${options[@]}"; x86_64-w64-mingw32-g++-posix --version) |
  sha256sum | cut -c1-12)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/orvi-vedo"
prefix="$cache/qt-$upstream-mingw-$hash"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work="$cache/work-$hash"
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/parts"

# The system's binary sources, as source entries, in a list of our own.
for file in /etc/apt/sources.list.d/*.sources; do
  [ -f "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" >"$work/apt/parts/$(basename "$file")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$work/apt/sources.list"
else
  : >"$work/apt/sources.list"
fi
apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=$work/apt/parts"
  -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
echo "== fetching qt6-base $version" >&2
apt-get "${apt_options[@]}" update -qq >&2
(cd "$work" && apt-get "${apt_options[@]}" source -qq "qt6-base=$version") >&2
source_dir=$(find "$work" -maxdepth 1 -type d -name "qt6-base-*" | head -n1)
# dpkg-source applied debian/patches on extraction; check that it did, as the build relies on it.
[ -f "$source_dir/.pc/applied-patches" ] || [ ! -f "$source_dir/debian/patches/series" ] || {
  echo "Debian's patch series was not applied in $source_dir" >&2
  exit 1
}

echo "== configuring qtbase for x86_64-w64-mingw32 into $prefix" >&2
cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 || {
  tail -n 40 "$work/configure.log" >&2
  exit 1
}
echo "== building (about 30 minutes on 2 cores)" >&2
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 || {
  tail -n 40 "$work/build.log" >&2
  exit 1
}
cmake --install "$work/build" >"$work/install.log" 2>&1

# The MinGW runtime that the toolkit's DLLs were linked against, beside them.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  found=$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")
  [ -f "$found" ] || found=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 \
    -name "$dll" -path '*posix*' 2>/dev/null | head -n1)
  [ -f "$found" ] || found=$(find /usr/x86_64-w64-mingw32 -name "$dll" | head -n1)
  cp "$found" "$prefix/bin/"
done
# A failed link can leave an empty plugin behind, which Qt then reports as missing.
[ -s "$prefix/plugins/platforms/qwindows.dll" ] || {
  echo "qwindows.dll was not built" >&2
  exit 1
}
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
