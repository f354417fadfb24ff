#!/usr/bin/env bash
# One copy of the program per display: on two virtual X servers of one user, a copy starts on
# each and both main windows come up; a second start on the first display shows the
# already-running box instead of a window, and ends when it is answered.
# Usage: displays_x11.sh BIN_DIR (the directory of corvana and the data files).
set -euo pipefail

for tool in Xvfb xauth xdotool xprop python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
bin=$1
x11_window=$(cd "$(dirname "$0")/../.." && pwd)/scripts/x11_window.py

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

# Both servers and every copy share one user's runtime and settings folders, of this test alone.
mkdir -m 700 "$work/run" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config XAUTHORITY=$work/auth
export QT_QPA_PLATFORM=xcb
: >"$XAUTHORITY"
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')

# Starts an X server on the first free display from :$1 on and sets `display` to its number.
# Another test may take a number between the look and the start: the server then ends at once
# and the next number is tried.
start_server() {
    local n p
    for n in $(seq "$1" 199); do
        [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || continue
        xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
        Xvfb ":$n" -noreset -nolisten tcp -auth "$XAUTHORITY" -screen 0 800x600x24 \
            >"$work/xvfb$n.log" 2>&1 &
        p=$!
        for _ in $(seq 100); do
            if ! kill -0 "$p" 2>/dev/null; then
                break
            fi
            if DISPLAY=:$n xprop -root >/dev/null 2>&1; then
                pids+=("$p")
                display=$n
                return 0
            fi
            sleep 0.1
        done
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    fail "no free display from :$1 to :199"
}

# The names of the shown windows of process $2 on display $1, one a line.
window_names() {
    local w
    for w in $(DISPLAY=$1 xdotool search --onlyvisible --pid "$2" 2>/dev/null); do
        DISPLAY=$1 xprop -id "$w" -notype _NET_WM_NAME 2>/dev/null || true
    done
}

start_server 140
first=$display
start_server $((first + 1))
second=$display
echo "displays :$first and :$second"

DISPLAY=:$first "$bin/corvana" &
pids+=($!)
DISPLAY=:$first "$x11_window" wait Corvana 60 || fail "no main window on :$first"

DISPLAY=:$second "$bin/corvana" &
on_second=$!
pids+=("$on_second")
DISPLAY=:$second "$x11_window" wait Corvana 60 ||
    fail "the copy on :$second did not come up beside the one on :$first"
kill -0 "$on_second" 2>/dev/null || fail "the copy on :$second ended"

# A second start on the first display shows a box with no caption and no main window, and waits.
DISPLAY=:$first "$bin/corvana" &
again=$!
pids+=("$again")
box=""
for _ in $(seq 300); do
    box=$(DISPLAY=:$first xdotool search --onlyvisible --pid "$again" 2>/dev/null | head -n 1) ||
        true
    [ -n "$box" ] && break
    kill -0 "$again" 2>/dev/null || fail "the second start on :$first ended without a box"
    sleep 0.2
done
[ -n "$box" ] || fail "the second start on :$first showed no window"
names=$(window_names ":$first" "$again")
case "$names" in
*Corvana*) fail "the second start on :$first opened a main window: $names" ;;
esac
# The box goes at the key's press; the release then finds no window, which xdotool reports.
DISPLAY=:$first xdotool key --window "$box" Return 2>/dev/null || true
for _ in $(seq 100); do
    kill -0 "$again" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$again" 2>/dev/null; then
    fail "the second start on :$first did not end when its box was answered"
fi
wait "$again" || fail "the second start on :$first ended with status $?"

# The first two are still there, one on each display.
DISPLAY=:$first "$x11_window" wait Corvana 5 >/dev/null || fail "the window on :$first went away"
DISPLAY=:$second "$x11_window" wait Corvana 5 >/dev/null || fail "the window on :$second went away"
echo "one copy on each display; a second on :$first was turned away"
