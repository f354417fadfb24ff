#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the build without Qt with the core's tests,
# then the Debian package (packed from the normal build) and its checks, then the
# AddressSanitizer/UBSan build with clang, then a short run of every fuzz harness from that tree.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# Each leg says how long it took, and the last line sums them up.
started=$SECONDS
leg_started=$SECONDS
legs=()
leg_done() {
    legs+=("$1 $((SECONDS - leg_started)) s")
    echo "== $1: $((SECONDS - leg_started)) s"
    leg_started=$SECONDS
}

# Configures and builds tree $1 with the options after it. setup.sh configures a new tree only; a
# tree that is already there (made by run.sh, or by an older test command) gets here whichever
# of the options its cache holds otherwise, before it is built.
build_tree() {
    local dir=$1 option name value
    shift
    if [ -f "$dir/CMakeCache.txt" ]; then
        for option in "$@"; do
            name=${option#-D}
            value=${name#*=}
            name=${name%%=*}
            if ! grep -q "^$name:[A-Z]*=$value\$" "$dir/CMakeCache.txt"; then
                cmake -S . -B "$dir" "$@" >/dev/null
                break
            fi
        done
    fi
    scripts/setup.sh "$dir" "$@"
}

# Warnings are errors in every tree built here. The normal tree has Debian's hardening flags, so
# that the package is packed from it, not built again.
build_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANA_DEBIAN_FLAGS=ON -DCORVANA_WERROR=ON
# Every C++ file as .clang-format writes it (setup.sh has installed clang-format by now).
scripts/check_format.sh
ctest --test-dir build --output-on-failure -j "$jobs"
leg_done "normal build and tests"

# Without Qt, as a packager of the command-line programs builds them: the window and its tests
# are left out, and every other test runs. It is a Release build (-O3), where GCC inlines most
# and warns of what it sees there, so that every run compiles that build type too.
build_tree build-nogui -DCMAKE_BUILD_TYPE=Release -DCORVANA_GUI=OFF -DCORVANA_BENCH=OFF \
    -DCORVANA_WERROR=ON
ctest --test-dir build-nogui --output-on-failure -j "$jobs"
leg_done "build without Qt and its tests"

# The package's path is the last line package.sh prints.
package_log=$(mktemp)
scripts/package.sh build | tee "$package_log"
deb=$(tail -n 1 "$package_log")
rm -f "$package_log"
scripts/check_package.sh "$deb"
leg_done "package and its checks"

# The sanitizer build is clang's, and the fuzz harnesses are built in the same tree, so that the
# instrumented core is compiled once for both. A tree configured otherwise (by gcc, or without
# the harnesses) is configured afresh. Nothing of it is shipped, so all of it links with lld, and
# line tables are all the debug information its reports need.
if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CORVANA_FUZZ:BOOL=ON$' build-asan/CMakeCache.txt
then
    rm -rf build-asan
fi
CC=clang CXX=clang++ build_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANA_SANITIZE=ON \
    -DCORVANA_FUZZ=ON -DCORVANA_BENCH=OFF -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCORVANA_WERROR=ON \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
leg_done "AddressSanitizer/UBSan build and tests"

# A short run of every fuzz harness on a copy of its seeds: CORVANA_FUZZ_SECONDS each (10 unless
# set), as many at once as there are processors. The long run before a release is
# scripts/fuzz.sh with its default of an hour each, in an optimised tree of its own.
CORVANA_FUZZ_BUILD=build-asan scripts/fuzz.sh "${CORVANA_FUZZ_SECONDS:-10}"
leg_done "fuzz harnesses"
echo "== every leg passed in $((SECONDS - started)) s: $(IFS=,; echo "${legs[*]}" | sed 's/,/; /g')"
