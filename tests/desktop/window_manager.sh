#!/usr/bin/env bash
# The desktop window among other windows, under openbox on a virtual display, each step ending with
# the picture or exit code that it expects: at scale 1 it starts and closes through the window
# manager (exit code 1, as by the close box); at scale 2 it starts (every pixel of the picture at
# scale 1 doubled), moves by its caption, is covered, minimised and restored (its picture back each
# time), and closes through the window manager.
#
#   tests/desktop/window_manager.sh BUILD-DIR [PICTURE.png]   (keeps its picture at scale 2 there)
set -uo pipefail
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"

BUILD=$(realpath -m "${1:-}") PICTURE=${2:+$(realpath -m "$2")}
[ -x "$BUILD/app/AIControlPanel" ] || usage

shows() {  # shows PNG: the window's picture is that one, pixel for pixel
    picture now && [ "$(compare -metric AE "$1" "$WORK/now.png" /dev/null 2>&1)" = 0 ]
}
painted() {  # its caption bar's colour, beside the title
    picture now && [ "$(convert "$WORK/now.png" -format '%[hex:p{200,8}]' info:)" = 3296FA ]
}
covered() { ! shows "$WORK/scale2.png"; }
restored() { xwininfo -id "$ID" | grep -q 'Map State: IsViewable' && shows "$WORK/scale2.png"; }
minimised() { xwininfo -id "$ID" | grep -q 'Map State: IsUnMapped'; }
moved_to() { [ "$(window_rect | cut -d ' ' -f 1,2)" = "$1" ]; }
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
focused() { [ "$(xdotool getwindowfocus)" = "$ID" ]; }
introduced() {  # what the window manager knows of the window
    [ "$(xdotool getwindowpid "$ID")" = "$PID" ] &&
        xprop -id "$ID" WM_CLASS _NET_WM_NAME _NET_WM_ICON | head -3 | tr '\n' ' ' |
        grep -q '"AIControlPanel", "AIControlPanel" .*UTF8_STRING) = "AI Control Panel" .*(32 x 32)'
}
start() {  # start SCALE: the program, its window viewable, focused and painted
    start_program "$WORK/game" ./AIControlPanel --scale "$1" || return 1
    xdotool windowactivate "$ID" 2>/dev/null
    until_true painted
}
close_through_wm() {  # the window manager's close request (Alt+F4), then the exit code
    xdotool windowactivate "$ID" 2>/dev/null
    until_true focused && xdotool key alt+F4
    until_true ended || kill "$PID"
    wait "$PID"
    [ $? = 1 ]
}

game_folder "$WORK/game" "$BUILD/app/AIControlPanel"
x_start_sized 2048x1536x24 || exit 1
openbox --sm-disable >/dev/null 2>&1 &
until_true wm_ready || exit 1
sleep 1  # openbox focuses new windows only once its start-up is over

check "start at scale 1" start 1 && cp "$WORK/now.png" "$WORK/scale1.png"
check "close at scale 1 through the window manager: exit code 1" close_through_wm

check "start at scale 2" start 2
check "the window manager knows its class, process, title and icon" introduced
convert "$WORK/scale1.png" -sample 200% "$WORK/scale2.png"
check "at scale 2 every pixel is the one at half its coordinates at scale 1" shows "$WORK/scale2.png"
[ -z "$PICTURE" ] || convert "$WORK/now.png" -strip "$PICTURE"

read -r x y _ < <(window_rect)
xdotool mousemove $((x + 200)) $((y + 20)) mousedown 1 mousemove $((x + 360)) $((y + 140)) mouseup 1
check "dragged by its caption, it moves along" until_true moved_to "$((x + 160)) $((y + 120))"
check "moved, it shows the same picture" until_true shows "$WORK/scale2.png"

display -size 400x300 xc:red 2>/dev/null &
COVER=$!
cover=$(until_true find_window --class '^Display') &&
    xdotool windowmove "$cover" $((x + 300)) $((y + 300)) && xdotool windowactivate "$cover"
check "covered by another window, it shows that window" until_true covered
kill "$COVER" && wait "$COVER" 2>/dev/null
check "uncovered, it shows its picture again" until_true shows "$WORK/scale2.png"

xdotool windowminimize "$ID"
check "minimised, it is not on screen" until_true minimised
xdotool windowactivate "$ID" 2>/dev/null
check "restored, it shows its picture again" until_true restored

check "close at scale 2 through the window manager: exit code 1" close_through_wm
summary "window manager"
