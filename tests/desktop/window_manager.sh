#!/usr/bin/env bash
# The desktop window under openbox, icewm and xfwm4 (without its compositor), each on a virtual
# 1920x1080 display: boxes, keyboard edits, high DPI and scales that do not fit; then among other
# windows under openbox, at scales 1 and 2: moved, covered, minimised, restored and closed through
# the window manager. Each step ends with the picture, window or exit code that it expects.
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

start_wm() {  # a display of 1920x1080 with that window manager running on it
    x_start_sized 1920x1080x24 || return 1
    case $1 in
        openbox) openbox --sm-disable ;;
        icewm) icewm ;;
        # xfwm4 reads its settings over D-Bus: a session bus of its own, which ends with it.
        xfwm4) NO_AT_BRIDGE=1 dbus-run-session -- xfwm4 --compositor=off ;;
    esac >/dev/null 2>&1 &
    WM=$!
    until_true wm_ready && sleep 1  # some focus new windows only once their start-up is over
}
stop_wm() { wine_env_cleanup && wait "$WM"; }  # the window manager ends with its display
box_focused() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = Error ]; }
no_box() { ! find_window --name '^Error$' >/dev/null && ! ended; }
exit_code() { until_true ended || kill "$PID"; wait "$PID"; equal "$1" "$?"; }
on_screen() {  # the window, with any frame of the window manager's, inside the screen
    local l t r b f
    read -r l t r b < <(window_rect)
    read -r f < <(xprop -id "$ID" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
    read -r fl fr ft fb <<<"${f:-0 0 0 0}"
    ((l - fl >= 0 && t - ft >= 0 && r + fr <= 1920 && b + fb <= 1080))
}
centred() {  # the box's middle is the window's, to a pixel
    local a b
    a=$(window_rect) && b=$(ID=$(find_window --name '^Error$') window_rect) || return 1
    awk -v a="$a" -v b="$b" 'BEGIN { split(a, w); split(b, x); dx = w[1] + w[3] - x[1] - x[3]
        dy = w[2] + w[4] - x[2] - x[4]; exit !(dx * dx <= 4 && dy * dy <= 4) }'
}
play() { "$BUILD/tests/scenarios/scenario_player" "$SOURCE/tests/scenarios/$1.scn" --backend desktop --scale 2 >/dev/null; }
game="$WORK/game" said="$WORK/game/said"
for wm in openbox icewm xfwm4; do
    start_wm "$wm" || { check "$wm runs" false && continue; }
    for s in start_missing_file start_malformed_file read_only_file keyboard_boxes \
        reset_without_defaults keyboard_only; do
        check "$wm: scenario $s" play "$s"
    done
    rm -rf "$game" && game_folder "$game" "$BUILD/app/AIControlPanel" && rm "$game/Core/AIConfig.ai"
    start_program "$game" ./AIControlPanel
    check "$wm: a missing settings file shows its box, focused" until_true box_focused
    check "$wm: the box is centred over the window" centred
    xdotool key Return
    check "$wm: Enter answers it" until_true no_box
    xdotool key Escape
    check "$wm: Escape then ends the program: exit code 1" exit_code 1

    cp "$DEFAULTS" "$game/Core/AIConfig.ai" && chmod 444 "$game/Core/AIConfig.ai"
    start_program "$game" ./AIControlPanel && until_true focused
    xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab space  # Apply
    check "$wm: Apply on a read-only file shows its box" until_true box_focused
    xdotool key Return
    check "$wm: the program goes on" until_true no_box
    xdotool key Escape
    check "$wm: Escape ends it (exit code 1), the file as it was" exit_code 1 &&
        cmp -s "$DEFAULTS" "$game/Core/AIConfig.ai"

    echo 'Xft.dpi: 144' | xrdb -merge
    start_program "$game" ./AIControlPanel
    check "$wm: at Xft.dpi 144 the whole window lies on the screen" on_screen
    kill "$PID" && wait "$PID"
    start_program "$game" sh -c "AICP_SCALE=3 exec ./AIControlPanel 2>$said"
    check "$wm: at AICP_SCALE=3 the whole window lies on the screen" on_screen
    check "$wm: ... and it says that scale 3 does not fit" grep -q 'at scale 3 .* at scale 2' "$said"
    kill "$PID" && wait "$PID"
    stop_wm
done

start_wm openbox || exit 1
rm -rf "$game" && game_folder "$game" "$BUILD/app/AIControlPanel"

check "start at scale 1" start 1 && cp "$WORK/now.png" "$WORK/scale1.png"
check "close at scale 1 through the window manager: exit code 1" close_through_wm

check "start at scale 2" start 2
check "the window manager knows its class, process, title and icon" introduced
convert "$WORK/scale1.png" -sample 200% "$WORK/scale2.png"
check "at scale 2 every pixel is the one at half its coordinates at scale 1" shows "$WORK/scale2.png"
[ -z "$PICTURE" ] || convert "$WORK/now.png" -strip "$PICTURE"

read -r x y _ < <(window_rect)
xdotool mousemove $((x + 200)) $((y + 20)) mousedown 1 mousemove $((x + 360)) $((y - 40)) mouseup 1
check "dragged by its caption, it moves along" until_true moved_to "$((x + 160)) $((y - 60))"
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
