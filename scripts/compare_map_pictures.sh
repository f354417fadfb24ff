#!/usr/bin/env bash
# Draws the map of a fixed set of lists (tests/map/map_pictures.cpp) with this tree and with an
# earlier commit, both on this tree's data files, and compares the pictures pixel for pixel:
# a change meant to leave the map as it was must leave every picture the same.
#
#   scripts/compare_map_pictures.sh COMMIT [BUILD_DIR]
#
# BUILD_DIR (build unless given) is this tree's configured build. The commit is unpacked and
# built in its own tree under ${TMPDIR:-/tmp}, kept between runs, with the same picture program
# added to it, and configured with BUILD_DIR's build type and flags. Exits 0 when no picture differs.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: $0 COMMIT [BUILD_DIR]" >&2; exit 2; }
commit=$(git rev-parse --short "$1")
build=$(realpath "${2:-build}")
work=${TMPDIR:-/tmp}/corvana-pictures-$commit

cmake --build "$build" --target map_pictures corvana_data corvana_outline_data

if [ ! -f "$work/src/CMakeLists.txt" ]; then
    mkdir -p "$work/src"
    git archive "$commit" | tar -x -C "$work/src"
fi
cp tests/map/map_pictures.cpp "$work/src/tests/map/map_pictures.cpp"
if ! grep -q map_pictures "$work/src/tests/map/CMakeLists.txt"; then
    sed -n '/^# Pictures of the map/,$p' tests/map/CMakeLists.txt >>"$work/src/tests/map/CMakeLists.txt"
fi
if [ ! -f "$work/build/build.ninja" ]; then
    cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
    cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
        -DCORVANA_DEBIAN_FLAGS="$(cached CORVANA_DEBIAN_FLAGS)" -DCORVANA_BENCH=OFF
fi
cmake --build "$work/build" --target map_pictures

export QT_QPA_PLATFORM=offscreen
rm -rf "$work/before" "$work/after"
"$work/build/tests/map_pictures" draw "$build/bin" "$work/before"
"$build/tests/map_pictures" draw "$build/bin" "$work/after"
"$build/tests/map_pictures" compare "$work/before" "$work/after"
echo "== pictures in $work/before (at $commit) and $work/after (this tree)"
