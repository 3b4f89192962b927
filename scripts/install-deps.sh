#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need; skips what is present.
set -euo pipefail

packages=(g++ cmake make pkg-config libgtest-dev qt6-base-dev qt6-tools-dev qt6-l10n-tools xvfb xauth xdotool clang-format clang-14 libclang-rt-14-dev
          g++-mingw-w64-x86-64 wine64 googletest
          # The Debian packages (cpack needs dpkg-shlibdeps and file) and their check.
          dpkg-dev file lintian
          # The toolkit for Windows (scripts/windows-qt.sh) and its installer.
          ninja-build dpkg-dev nsis)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
