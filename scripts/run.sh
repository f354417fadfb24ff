#!/usr/bin/env bash
# Builds Corvana with the real data set and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/corvana
else
    echo "No display: starting Corvana on a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/corvana
fi
