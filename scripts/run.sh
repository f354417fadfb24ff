#!/usr/bin/env bash
# Builds Corvana with the real data set and starts it. Only the programs and the files they read
# are built; scripts/test.sh builds the tests and benches in the same tree. The tree is
# configured as the test command configures it, so that neither compiles the other's work again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --target corvana --target corvana-query --target corvana-mkdata \
    --target corvana_data --target corvana_outline_data \
    build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANA_DEBIAN_FLAGS=ON -DCORVANA_WERROR=ON
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/corvana
else
    echo "No display: starting Corvana on a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/corvana
fi
