#!/usr/bin/env bash
# Builds the Debian package of Corvana, packed by CPack, with Debian's compiler and linker
# hardening flags. Without an argument it makes a release build in its own tree, build-deb; given
# the tree of a normal build (as scripts/test.sh gives `build`), it packs that one, adding the
# flags first if the tree was configured without them. The last line printed is the package's
# path. Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-deb}

cache=$build_dir/CMakeCache.txt
if [ -f "$cache" ]; then
    # A package holds the window and plain programs: no tree without Qt, no instrumented one.
    for setting in CORVANA_GUI:BOOL=OFF CORVANA_SANITIZE:BOOL=ON CORVANA_FUZZ:BOOL=ON; do
        if grep -q "^$setting\$" "$cache"; then
            echo "package.sh: $build_dir is configured with ${setting%%:*}=${setting#*=}" >&2
            exit 1
        fi
    done
    if ! grep -q '^CORVANA_DEBIAN_FLAGS:BOOL=ON$' "$cache"; then
        cmake -S . -B "$build_dir" -DCORVANA_DEBIAN_FLAGS=ON >/dev/null
    fi
fi
scripts/setup.sh "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCORVANA_BENCH=OFF \
    -DCORVANA_DEBIAN_FLAGS=ON

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
