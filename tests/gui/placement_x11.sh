#!/usr/bin/env bash
# Where the windows of the real program come back, under a real window manager on an X server of
# its own: the main window's frame returns where it was left, start after start, with the map
# opening and closing; Left and Top of the settings file are that frame's corner; the phone,
# details and map windows open with their frames beside the main window's, on the screen.
# Usage: placement_x11.sh BIN_DIR WINDOW_MANAGER [CYCLES]   (prints every frame it saw)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
helper=$here/../../scripts/x11_window.py
if [ "${1:-}" != --inside ]; then
    for tool in xdotool "${2:-openbox}"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    exec "$helper" session --screen 1280x1024x24 --wm "${2:-openbox}" -- "$0" --inside "$@"
fi
bin=$2
wm=$3
cycles=${4:-5}
export QT_QPA_PLATFORM=xcb
screen_width=1280
screen_height=1024
# Generous: the machine may be busy with builds and other tests.
wait_seconds=120

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The frame of a window of the program once it holds still: "X Y WIDTH HEIGHT".
frame() {
    "$helper" stable "$1" "$wait_seconds" --pid "$pid" --output "$work/output"
}

on_screen() { # NAME X Y WIDTH HEIGHT
    if [ "$2" -lt 0 ] || [ "$3" -lt 0 ] || [ $(($2 + $4)) -gt $screen_width ] ||
        [ $(($3 + $5)) -gt $screen_height ]; then
        fail "$1 is not wholly on the screen: $2,$3 ${4}x$5"
    fi
}

# Keys to the main window, once the window manager has given it the focus (a window that has
# just opened may take it a moment later).
keys() {
    local main_id
    # xdotool's name patterns ignore case and may match "Corvana Map" as well: the main window is
    # the one whose name is exactly "Corvana".
    main_id=$(for w in $(xdotool search --pid "$pid" --onlyvisible --name Corvana); do
        if [ "$(xdotool getwindowname "$w")" = Corvana ]; then echo "$w"; fi
    done | head -1)
    for _ in $(seq 50); do
        xdotool windowactivate --sync "$main_id" >/dev/null 2>&1 || true
        sleep 0.1
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$main_id" ] && break
    done
    xdotool key --clearmodifiers --delay 80 "$@"
}

setting() { # KEY: its value in the settings file
    { sed -n "s/^$1=//p" "$work/config/CORVANA.INI" 2>/dev/null || true; } | tr -d '\r'
}

gone() { # TITLE: waits until no window of that title shows
    "$helper" gone "$1" 30 --pid "$pid" || fail "\"$1\" did not close"
}

beside() { # NAME GAP MAIN_FRAME... FRAME...: level with the main window, at its side
    local name=$1 gap=$2 mx=$3 my=$4 mw=$5 x=$7 y=$8 w=$9 h=${10}
    on_screen "$name" "$x" "$y" "$w" "$h"
    [ "$y" -eq "$my" ] || fail "$name's frame is at y=$y, the main window's at y=$my"
    [ "$x" -eq $((mx + mw + gap)) ] || [ $((x + w + gap)) -eq "$mx" ] ||
        fail "$name's frame ($x..$((x + w))) is not beside the main window's ($mx..$((mx + mw)))"
}

# One start, a look at every window, and File > Exit. $1 names the run, $2 the corner the main
# window's frame must come back at ("" for a first start).
cycle() {
    local what=$1 expected=$2 main x y w h map_was_open
    map_was_open=$(setting Open)
    mkdir -p "$work/runtime"
    chmod 700 "$work/runtime"
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime "$bin/corvana" \
        >"$work/output" 2>&1 &
    pid=$!
    main=$(frame Corvana) || { fail "$what: no main window"; return; }
    echo "$what: main window's frame $main"
    read -r x y w h <<<"$main"
    on_screen "$what: the main window" $x $y $w $h
    [ -z "$expected" ] || [ "$x $y" = "$expected" ] ||
        fail "$what: the main window came back at $x,$y, not at $expected"
    if [ -n "${move_to:-}" ]; then
        # Dragged by its title bar, as a user moves it. A window manager that is slow to see the
        # press (on a busy machine) may miss a drag: it is tried again from where the frame is.
        read -r tx ty <<<"$move_to"
        for _ in 1 2 3; do
            xdotool mousemove $((x + 150)) $((y + 6)) sleep 0.3 mousedown 1 sleep 0.3 \
                mousemove $((x + 170)) $((y + 26)) sleep 0.3 mousemove $((tx + 150)) $((ty + 6)) \
                sleep 0.3 mouseup 1
            sleep 0.3
            main=$(frame Corvana)
            read -r x y w h <<<"$main"
            [ "$x $y" = "$tx $ty" ] && break
        done
        echo "$what: moved to $main"
        read -r x y w h <<<"$main"
        move_to=
    fi

    # The map reopens where it was, beside the main window.
    if [ "$map_was_open" = Yes ]; then
        if map=$(frame "Corvana Map"); then
            echo "$what: map window's frame $map"
            beside "$what: the map window" 8 $main $map
        else
            fail "$what: the map did not reopen"
        fi
    fi

    keys ctrl+t
    if phone=$(frame "Phone Number"); then
        echo "$what: phone window's frame $phone"
        beside "$what: the phone window" 0 $main $phone
        "$helper" close "Phone Number"
        gone "Phone Number"
    else
        fail "$what: no phone window"
    fi

    keys 8 4 1 0 1 Tab Return
    if details=$(frame "Zip Code Details"); then
        echo "$what: details window's frame $details"
        beside "$what: the details window" 0 $main $details
        "$helper" close "Zip Code Details"
        gone "Zip Code Details"
    else
        fail "$what: no details window"
    fi

    # The map opens at every other start, open since the last one; File > Map shuts or opens it.
    keys ctrl+m
    if [ "$map_was_open" = Yes ]; then
        gone "Corvana Map"
    elif map=$(frame "Corvana Map"); then
        echo "$what: map window's frame $map"
        beside "$what: the map window" 8 $main $map
    else
        fail "$what: no map window"
    fi

    main=$(frame Corvana)
    keys alt+f x
    wait "$pid" || fail "$what: the program ended with status $?"
    pid=
    left=$(setting "Main Window Left")
    top=$(setting "Main Window Top")
    echo "$what: saved Left=$left Top=$top"
    read -r x y w h <<<"$main"
    [ "$left $top" = "$x $y" ] || fail "$what: saved $left,$top for a frame at $x,$y"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] || fail "$what: saved a corner off the screen"
    last="$left $top"
}

echo "== $wm: a fresh start"
mkdir -p "$work/config"
cycle "start 1" ""
for run in $(seq 2 "$cycles"); do
    cycle "start $run" "$last"
done

echo "== $wm: moved to 200,150"
move_to="200 150"
cycle "moved" "$last"
[ "$last" = "200 150" ] || fail "the window moved to 200,150 was saved at $last"
for run in $(seq 1 "$cycles"); do
    cycle "after the move, start $run" "$last"
done

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
