#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the build without Qt with the core's tests,
# then the Debian package and its checks, then the AddressSanitizer/UBSan build, then a short
# run of every fuzz harness when clang is there.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"

# Without Qt, as a packager of the command-line programs builds them: the window and its tests
# are left out, and every other test runs.
scripts/setup.sh build-nogui -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANA_GUI=OFF \
    -DCORVANA_BENCH=OFF
ctest --test-dir build-nogui --output-on-failure -j "$jobs"

# The package is built in its own tree; its path is the last line package.sh prints.
package_log=$(mktemp)
scripts/package.sh | tee "$package_log"
deb=$(tail -n 1 "$package_log")
rm -f "$package_log"
scripts/check_package.sh "$deb"

scripts/setup.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANA_SANITIZE=ON -DCORVANA_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

# A short run of every fuzz harness, each on a copy of its committed seeds so that the corpus in
# the repository does not grow. CORVANA_FUZZ_SECONDS sets the run time of each harness.
if command -v clang++ >/dev/null; then
    fuzz_seconds=${CORVANA_FUZZ_SECONDS:-60}
    fuzzed=0
    CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCORVANA_GUI=OFF -DCORVANA_FUZZ=ON -DCORVANA_BENCH=OFF -DBUILD_TESTING=OFF
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p build-fuzz/artifacts
    for seeds in fuzz/corpus/*/; do
        name=$(basename "$seeds")
        mkdir "$work/$name"
        cp "$seeds"* "$work/$name/"
        echo "Fuzzing $name for ${fuzz_seconds} s"
        if ! "build-fuzz/fuzz/$name" -max_total_time="$fuzz_seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$name-" \
            "$work/$name" >"$work/$name.log" 2>&1; then
            tail -n 60 "$work/$name.log"
            echo "Fuzzing $name found a fault; the input is in build-fuzz/artifacts/" >&2
            exit 1
        fi
        grep -E '^Done|stat::number_of_executed_units|stat::peak_rss_mb' "$work/$name.log"
        echo "corpus: $(ls "$work/$name" | wc -l) inputs"
        fuzzed=$((fuzzed + 1))
    done
    echo "fuzz: $fuzzed passed, 0 failed"
fi
