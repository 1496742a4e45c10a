#!/usr/bin/env bash
# The desktop window beside the Windows program under Wine, one after the other on the same
# virtual display, each as it starts with the shipped defaults: the window's rectangle (from X) and
# every control's, as the scenario player reads them through the layer's driver and the Wine probe
# reads them, must be identical; the share of identical pixels over the window is printed and must
# reach 95%, as it starts (the focus on OK), and after Tab has taken the focus to a slider and on
# to a check box. (The time each takes to show its window is a benchmark figure: bench/run.sh.)
#
#   tests/desktop/picture_check.sh --build DIR [--work DIR] [--pictures DIR]
#
# --build     the Linux build (its app/AIControlPanel and tests/scenarios/scenario_player)
# --work      the work folder of scripts/differential.sh (default build/wine), which holds the Wine
#             prefix and the Windows build with its probe: run that script first
# --pictures  where the two pictures go (docs/ for the README)
set -uo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
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
EXE=$WINDOWS/app/AIControlPanel.exe PROBE=$WINDOWS/tests/wine/wine_probe.exe
PLAYER=$BUILD/tests/scenarios/scenario_player
for f in "$BUILD/app/AIControlPanel" "$PLAYER" "$EXE" "$PROBE"; do
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
start() {
    local dir=$1
    shift
    for _ in 1 2; do
        (cd "$dir" && exec "$@" >/dev/null 2>&1) &
        PID=$!
        until xdotool search --onlyvisible --name '^AI Control Panel$' >/dev/null 2>&1; do
            kill -0 "$PID" 2>/dev/null || continue 2
            sleep 0.005
        done
        return 0
    done
    echo "picture check: $* ended early" >&2
    return 1
}

# The window as it shows, then with the focus on the Dancing slider and on Early Harassing: keys
# go to the X window under the pointer, which rests on the client area below the buttons.
shots() {
    sleep 0.5
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$RUNS/$1.png"
    xdotool mousemove $((left + 200)) $((bottom - 5)) key Tab Tab
    sleep 0.5
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$RUNS/$1-slider.png"
    xdotool key Tab Tab Tab
    sleep 0.5
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$RUNS/$1-check.png"
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
# The window from X, then every control as the probe reads it (to the client area).
window_rect >"$RUNS/wine.geometry"
printf 'wait 20000\nscreen\n' | "$WINE_LOADER" "$PROBE" 2>/dev/null | awk '$1 == "panel" {
    l = $2; t = $3 } $1 == "control" { print $2, $3, $4 - l, $5 - t, $6 - l, $7 - t }' >>"$RUNS/wine.geometry"
read -r left top right bottom <"$RUNS/wine.geometry" || exit 1
shots wine
xdotool mousemove $((right - 13)) $((top + 12)) click 1  # the close box
wait "$PID"
start "$linux_dir" ./AIControlPanel || exit 1
shots desktop
desktop_window=$(window_rect)
kill "$PID"
wait "$PID" 2>/dev/null

# The layer's: the window from X, the controls from the scenario player's record.
"$PLAYER" --files "$SOURCE/tests/scenarios/files" --record "$RUNS/look.rec" --backend desktop \
    <(printf '%s\n' 'file "Core/AIConfig.ai" from "defaults.ai"' start close 'exit 1') >/dev/null
awk '$1 == "control" { print $2, $3, $(NF-3), $(NF-2), $(NF-1), $NF }' "$RUNS/look.rec" |
    cat <(echo "$desktop_window") - >"$RUNS/desktop.geometry"
failed=0
if ! diff -u "$RUNS/wine.geometry" "$RUNS/desktop.geometry"; then
    echo "FAIL rectangles differ (Wine's, then the layer's)" && failed=1
else
    echo "PASS the window and its $(($(wc -l <"$RUNS/wine.geometry") - 1)) controls have identical rectangles"
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
exit "$failed"
