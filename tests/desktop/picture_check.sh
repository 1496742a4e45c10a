#!/usr/bin/env bash
# The desktop window beside the Windows program under Wine, one after the other on the same virtual
# display, each started with the shipped defaults: the window's rectangle (from X) must be the same,
# and 95% of the pixels over the window, as it starts (the focus on OK) and after Tab has taken the
# focus to a slider and on to a check box. (Every control's rectangle is held to Wine's by
# scripts/differential.sh; the time each takes to show its window is bench/run.sh's.)
#
#   tests/desktop/picture_check.sh --build DIR [--work DIR] [--pictures DIR]
#
# --build: the Linux build; --work: scripts/differential.sh's work folder (default build/wine),
# with the Wine prefix and the Windows build (run that script first); --pictures: where
# the two pictures go (docs/ for the README).
set -uo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine_env.sh
source "$SOURCE/scripts/wine_env.sh"

BUILD="" WORK=$SOURCE/build/wine PICTURES=""
while [ $# -gt 0 ]; do
    case $1 in
        --build) BUILD=$(realpath "$2"); shift 2 ;;
        --work) WORK=$(realpath -m "$2"); shift 2 ;;
        --pictures) PICTURES=$(realpath -m "$2"); shift 2 ;;
        *) echo "usage: see the head of $0" >&2; exit 2 ;;
    esac
done
wine_pick_arch || exit 1
WINDOWS=$WORK/windows$([ "$WINEARCH" = win32 ] && echo 32 || echo 64)
EXE=$WINDOWS/app/AIControlPanel.exe
for f in "$BUILD/app/AIControlPanel" "$EXE"; do
    [ -f "$f" ] || { echo "picture check: no $f" >&2; exit 2; }
done
RUNS=$(mktemp -d /tmp/aicp-picture.XXXXXX)
trap 'wine_env_cleanup; rm -rf "$RUNS"' EXIT

folder() {  # a program folder with the shipped defaults as its settings file
    mkdir -p "$RUNS/$1/Core" && cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$RUNS/$1/Core/AIConfig.ai"
    echo "$RUNS/$1"
}

# Starts a program in the background (PID) and waits until an X window with the dialog's caption
# is viewable. Wine, just after another run on the same prefix has ended, now and then ends its
# program at once: it gets a second start.
shown_or_ended() {
    xdotool search --onlyvisible --name '^AI Control Panel$' >/dev/null 2>&1 || ! kill -0 "$PID" 2>/dev/null
}
start() {
    for _ in 1 2; do
        (cd "$1" && exec "${@:2}" >/dev/null 2>&1) &
        PID=$!
        until_true shown_or_ended && kill -0 "$PID" 2>/dev/null && return 0
    done
    echo "picture check: ${*:2} ended early" >&2
    return 1
}

# The window as it shows, then with the focus on the Dancing slider and on Early Harassing: keys
# go to the X window under the pointer, which rests on the client area below the buttons.
shot() { sleep 0.5 && import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$RUNS/$1.png"; }
shots() {
    shot "$1"
    xdotool mousemove $((left + 200)) $((bottom - 5)) key Tab Tab && shot "$1-slider"
    xdotool key Tab Tab Tab && shot "$1-check"
}

# The rectangle of the visible X window with the dialog's caption: Wine draws its own frame.
window_rect() {
    xdotool search --onlyvisible --name '^AI Control Panel$' getwindowgeometry --shell |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["X"] + v["WIDTH"], v["Y"] + v["HEIGHT"] }'
}

wine_prefix_ensure "$WORK/prefix-$WINEARCH" && x_start || exit 1
wineserver_cmd -p

wine_dir=$(folder wine) linux_dir=$(folder linux)
cp "$EXE" "$wine_dir/"
cp "$BUILD/app/AIControlPanel" "$linux_dir/"
start "$wine_dir" "$WINE_LOADER" ./AIControlPanel.exe || exit 1
read -r left top right bottom < <(window_rect)
sleep 0.5 && shots wine
xdotool mousemove $((right - 13)) $((top + 12)) click 1  # the close box
wait "$PID"
start "$linux_dir" ./AIControlPanel || exit 1
shots desktop
desktop_window=$(window_rect)
kill "$PID"
wait "$PID" 2>/dev/null

failed=0
if [ "$desktop_window" = "$left $top $right $bottom" ]; then
    echo "PASS the window has the rectangle of Wine's: $desktop_window"
else
    echo "FAIL the window's rectangle: Wine's $left $top $right $bottom, the layer's $desktop_window" && failed=1
fi
read -r width height < <(identify -format '%w %h' "$RUNS/wine.png")
for state in "" -slider -check; do
    different=$(compare -metric AE "$RUNS/wine$state.png" "$RUNS/desktop$state.png" /dev/null 2>&1)
    share=$(awk -v d="$different" -v n=$((width * height)) 'BEGIN { printf "%.2f", 100 * (n - d) / n }')
    echo "figures: identical pixels${state:+ (focus on the ${state#-})} $share% ($((width * height - different)) of $((width * height)), ${width}x$height)"
    awk -v s="$share" 'BEGIN { exit !(s >= 95) }' || { echo "FAIL fewer than 95% identical pixels"; failed=1; }
done
[ -z "$PICTURES" ] || { mkdir -p "$PICTURES" && cp "$RUNS/desktop.png" "$PICTURES/desktop_window.png" &&
    cp "$RUNS/wine.png" "$PICTURES/desktop_beside_wine.png"; }
echo "picture check: $((1 - failed)) passed, $failed failed"
[ "$failed" = 0 ]
