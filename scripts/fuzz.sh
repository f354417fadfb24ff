#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (build-fuzz) and runs every harness of fuzz/corpus
# for SECONDS each, as many at once as there are processors. Usage: scripts/fuzz.sh [SECONDS]
#
# With CORVANA_FUZZ_BUILD=DIR it runs the harnesses of a tree that is already configured with
# CORVANA_FUZZ=ON (as scripts/test.sh does with its sanitizer tree) instead of building build-fuzz.
#
# Each harness starts from its committed seeds. By default it works on a scratch copy, so the
# corpus in the repository does not grow; with CORVANA_FUZZ_WORK=DIR the work corpus is DIR/NAME,
# seeded once and kept, so a long run goes on where the last one stopped. A fault leaves its
# input in BUILD/artifacts/ and ends the script with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600}
jobs=$(nproc)

build_dir=${CORVANA_FUZZ_BUILD:-build-fuzz}
if [ -n "${CORVANA_FUZZ_BUILD:-}" ]; then
    if ! grep -q '^CORVANA_FUZZ:BOOL=ON$' "$build_dir/CMakeCache.txt" 2>/dev/null; then
        echo "fuzz.sh: $build_dir is not a tree configured with CORVANA_FUZZ=ON" >&2
        exit 1
    fi
    cmake --build "$build_dir" --target corvana_fuzzers
else
    CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCORVANA_GUI=OFF -DCORVANA_FUZZ=ON -DCORVANA_BENCH=OFF -DBUILD_TESTING=OFF
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
work=${CORVANA_FUZZ_WORK:-$logs/work}
mkdir -p "$build_dir/artifacts" "$work"

names=()
for seeds in fuzz/corpus/*/; do
    names+=("$(basename "$seeds")")
done

run() {
    local name=$1
    if [ ! -d "$work/$name" ]; then
        mkdir "$work/$name"
        cp fuzz/corpus/"$name"/* "$work/$name/"
    fi
    "$build_dir/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build_dir/artifacts/$name-" "$work/$name" \
        >"$logs/$name.log" 2>&1
}

echo "Fuzzing ${#names[@]} harnesses for $seconds s each, $jobs at a time"
declare -A pid_of
for name in "${names[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    run "$name" &
    pid_of[$name]=$!
done

failed=()
for name in "${names[@]}"; do
    if wait "${pid_of[$name]}"; then
        echo "$name: $(grep -E '^Done' "$logs/$name.log" || echo done)," \
             "$(ls "$work/$name" | wc -l) inputs in its corpus"
        grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$logs/$name.log"
    else
        tail -n 60 "$logs/$name.log"
        echo "Fuzzing $name found a fault; the input is in $build_dir/artifacts/" >&2
        failed+=("$name")
    fi
done
echo "fuzz: $((${#names[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
