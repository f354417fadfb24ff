#!/usr/bin/env bash
# The captions the window system really shows: runs the program on its own virtual X server of
# 640 x 480 and reads _NET_WM_NAME and WM_NAME of every window it opens with xprop.
# Usage: captions_x11.sh BIN_DIR (the directory of corvana and the data files).
set -euo pipefail

helper=$(cd "$(dirname "$0")" && pwd)/../../scripts/x11_window.py
for tool in Xvfb xprop xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

if [ "${1:-}" != --inside ]; then
    exec "$helper" session --screen 640x480x24 -- "$0" --inside "$@"
fi
bin=$2
# Generous: a loaded two-core machine may take long to start the program; one that has ended is
# not waited for.
wait_seconds=120
# The test command runs everything else on the offscreen platform; this test needs the X server.
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# One property's value as text: "" for an empty one, "(none)" when it is not set.
property() {
    local line
    line=$(xprop -id "$1" -notype "$2" 2>/dev/null) || true
    case "$line" in
    *"not found"* | "") echo "(none)" ;;
    *" = "*)
        line=${line#* = }
        line=${line#\"}
        echo "${line%\"}"
        ;;
    *) echo "" ;;
    esac
}

# Waits for a shown window of process $1 whose two names are both exactly $2, while the process
# lives, and prints its id. Fails with the names that were seen instead.
window_called() {
    local pid=$1 want=$2 seen="" w
    "$helper" wait "$want" "$wait_seconds" --pid "$pid" --output "$work/output.$pid" >/dev/null ||
        return 1
    for _ in $(seq 150); do
        seen=""
        for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            local net wm
            net=$(property "$w" _NET_WM_NAME)
            wm=$(property "$w" WM_NAME)
            if [ "$net" = "$want" ] && [ "$wm" = "$want" ]; then
                echo "$w"
                return 0
            fi
            seen+=" [_NET_WM_NAME \"$net\", WM_NAME \"$wm\"]"
        done
        sleep 0.2
    done
    echo "FAIL: no window called \"$want\"; seen:$seen" >&2
    return 1
}

# Presses keys in the window called $2 of process $1 and waits for it to close.
press() {
    local pid=$1 caption=$2 w
    shift 2
    w=$(window_called "$pid" "$caption") || {
        failures=$((failures + 1))
        return 0
    }
    xdotool windowfocus --sync "$w" 2>/dev/null || true
    xdotool key --clearmodifiers "$@"
    for _ in $(seq 150); do
        xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$w" || return 0
        sleep 0.2
    done
    fail "\"$caption\" did not close"
}

start() {
    mkdir -p "$work/runtime"
    chmod 700 "$work/runtime"
    local output pid
    output=$(mktemp -p "$work")
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime "$@" >"$output" 2>&1 &
    pid=$!
    ln -sf "$output" "$work/output.$pid"
    pids+=("$pid")
    echo "$pid"
}

# Focuses the main window and presses keys there.
in_main() {
    xdotool windowfocus --sync "$main_window"
    xdotool key --clearmodifiers --delay 100 "$@"
}

# The State mode first: a state abbreviation the data lack gives "Sorry".
mkdir -p "$work/config"
printf '[Misc]\nLast Search=3\nWindow Size=640\n' >"$work/config/CORVANA.INI"
main=$(start "$bin/corvana")
if ! main_window=$(window_called "$main" Corvana); then
    failures=$((failures + 1))
else
    xprop -id "$main_window" WM_CLASS | grep -q '"corvana"' ||
        fail "WM_CLASS does not name the desktop file: $(xprop -id "$main_window" WM_CLASS)"

    # A second copy says so in a box with an empty caption, and ends when it is closed.
    second=$(start "$bin/corvana")
    press "$second" "" Return
    for _ in $(seq 150); do
        kill -0 "$second" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$second" 2>/dev/null && fail "the second copy is still running"

    in_main q q
    press "$main" Sorry Return
    in_main BackSpace BackSpace u t s a l t
    in_main ctrl+c
    press "$main" Notice Return
    press "$main" "Copy Zip Codes" Escape
    in_main ctrl+F4 # 800 x 600 does not fit the screen
    press "$main" Error Return
    in_main ctrl+d
    press "$main" Version Return
    in_main ctrl+r
    press "$main" Preferences Escape
    in_main ctrl+z
    press "$main" "Time Zone" Escape
    in_main ctrl+a
    press "$main" About Escape
    in_main alt+h o
    press "$main" "Other Products" Escape
fi

# Without its data files the program says so under "FATAL ERROR".
mkdir -p "$work/alone" "$work/runtime2"
chmod 700 "$work/runtime2"
cp "$bin/corvana" "$work/alone/"
XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime2 "$work/alone/corvana" \
    >"$work/output.alone" 2>&1 &
alone=$!
ln -sf "$work/output.alone" "$work/output.$alone"
pids+=("$alone")
window_called "$alone" "FATAL ERROR" >/dev/null || failures=$((failures + 1))

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
