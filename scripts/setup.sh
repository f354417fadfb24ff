#!/usr/bin/env bash
# Installs what Corvana needs to build and test on Debian 12, then configures and builds one
# build tree: every target, or only those named with --target.
# Usage: scripts/setup.sh [--target NAME]... BUILD_DIR [cmake options...]
# Fast when nothing changed: packages are checked before apt runs, and Ninja rebuilds only
# what is out of date.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libsqlite3-dev fonts-liberation xvfb xauth x11-utils xdotool
          libxcb1-dev clang-format python3 python3-phonenumbers clang libclang-rt-14-dev lld sqlite3 time file
          dpkg-dev groff-base lintian desktop-file-utils appstream tzdata faketime dbus dbus-x11
          at-spi2-core python3-pyatspi gir1.2-atspi-2.0 libgeographiclib-dev openbox)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

targets=()
while [ "${1:-}" = --target ]; do
    targets+=(--target "$2")
    shift 2
done
build_dir=${1:-build}
shift || true
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja "$@"
fi
cmake --build "$build_dir" "${targets[@]}"
