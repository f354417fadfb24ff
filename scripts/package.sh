#!/usr/bin/env bash
# Builds the Debian package of Corvana: a release build in its own tree (build-deb unless given),
# with Debian's compiler and linker hardening flags, packed by CPack. The last line printed is
# the package's path. Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-deb}

# The flags reach CMake through the environment when the tree is first configured.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
scripts/setup.sh "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCORVANA_BENCH=OFF

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! (cd "$build_dir" && cpack -G DEB) >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log")
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    cat "$log" >&2
    echo "package.sh: CPack named no package" >&2
    exit 1
fi
echo "$deb"
