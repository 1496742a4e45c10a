#!/usr/bin/env bash
# The desktop window beside the Windows program under Wine, one after the other on the same virtual
# display, each started with the shipped defaults: the window's rectangle (from X) must be the same,
# and 95% of the pixels over the window, as it starts (the focus on OK) and after Tab has taken the
# focus to a slider and on to a check box. It plays the Windows build in the Wine prefix that
# scripts/differential.sh leaves in build/wine (run that first). (Every control's rectangle is held
# to Wine's by scripts/differential.sh; the time each takes to show its window is bench/run.sh's.)
#
#   tests/desktop/picture_check.sh BUILD-DIR [PICTURES-DIR]   (docs/ for the README's pictures)
set -uo pipefail
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"

BUILD=$(realpath -m "${1:-}") PICTURES=${2:+$(realpath -m "$2")}
[ -x "$BUILD/app/AIControlPanel" ] || usage
wine_pick_arch || exit 1
WINE_WORK=$SOURCE/build/wine
EXE=$WINE_WORK/windows$([ "$WINEARCH" = win32 ] && echo 32 || echo 64)/app/AIControlPanel.exe
[ -f "$EXE" ] || { echo "picture check: no $EXE" >&2; exit 2; }

# The window as it shows, then with the focus on the Dancing slider and on Early Harassing: keys
# go to the X window under the pointer, which rests on the client area below the buttons.
shot() { sleep 0.5 && picture "$1"; }
shots() {
    shot "$1"
    xdotool mousemove $((left + 200)) $((bottom - 5)) key Tab Tab && shot "$1-slider"
    xdotool key Tab Tab Tab && shot "$1-check"
}

# same_pixels STATE: Wine's picture and the desktop's in that state, 95% of their pixels the same
same_pixels() {
    local n=$((width * height)) different share
    different=$(compare -metric AE "$WORK/wine$1.png" "$WORK/desktop$1.png" /dev/null 2>&1)
    share=$(awk -v d="$different" -v n="$n" 'BEGIN { printf "%.2f", 100 * (n - d) / n }')
    echo "figures: identical pixels${1:+ (focus on the ${1#-})} $share% ($((n - different)) of $n, ${width}x$height)"
    awk -v s="$share" 'BEGIN { exit !(s >= 95) }'
}

wine_prefix_ensure "$WINE_WORK/prefix-$WINEARCH" && x_start || exit 1
wineserver_cmd -p

game_folder "$WORK/wine" "$EXE"
game_folder "$WORK/linux" "$BUILD/app/AIControlPanel"
# Wine, just after another run on the same prefix has ended, now and then ends its program at
# once: it gets a second start.
start_program "$WORK/wine" "$WINE_LOADER" ./AIControlPanel.exe ||
    start_program "$WORK/wine" "$WINE_LOADER" ./AIControlPanel.exe || exit 1
read -r left top right bottom < <(window_rect)  # Wine draws its own frame
sleep 0.5 && shots wine
xdotool mousemove $((right - 13)) $((top + 12)) click 1  # the close box
wait "$PID"
start_program "$WORK/linux" ./AIControlPanel || exit 1
shots desktop
desktop_window=$(window_rect)

check "the window has the rectangle of Wine's" equal "$left $top $right $bottom" "$desktop_window"
read -r width height < <(identify -format '%w %h' "$WORK/wine.png")
for state in "" -slider -check; do
    check "95% of the pixels the same${state:+ with the focus on the ${state#-}}" same_pixels "$state"
done
[ -z "$PICTURES" ] || { mkdir -p "$PICTURES" && cp "$WORK/desktop.png" "$PICTURES/desktop_window.png" &&
    cp "$WORK/wine.png" "$PICTURES/desktop_beside_wine.png"; }
summary "picture check"
