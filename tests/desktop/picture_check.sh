#!/usr/bin/env bash
# The desktop window beside the Windows program under Wine, one after the other on the same
# virtual display, each as it starts with the shipped defaults (the "Hard" tab):
#  - every control's rectangle, read through the layer's driver (desktop_geometry) and through the
#    Wine probe, must be identical;
#  - the share of identical pixels over the Windows program's window is printed, and must reach
#    95%;
#  - the time from start to a visible window is printed for both, measured alike from outside
#    (median of five; a figure, never a condition).
#
#   tests/desktop/picture_check.sh --build DIR --windows-build DIR [--work DIR] [--pictures DIR]
#
# --build          the Linux build (its app/AIControlPanel and tests/desktop/desktop_geometry)
# --windows-build  the 32-bit Windows build; where Wine runs no 32-bit programs, the 64-bit build
#                  that tests/wine/run_wine_tests.sh leaves in WORK/windows64 is pictured instead
# --pictures       where the two pictures go (docs/ for the README)
set -uo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
source "$SOURCE/tests/wine/wine_env.sh"
source "$SOURCE/tests/wine/scenario_player.sh"

BUILD="" WINDOWS_BUILD="" WORK=$SOURCE/build/wine PICTURES=""
while [ $# -gt 0 ]; do
    case $1 in
        --build) BUILD=$(realpath "$2"); shift 2 ;;
        --windows-build) WINDOWS_BUILD=$(realpath "$2"); shift 2 ;;
        --work) WORK=$(realpath -m "$2"); shift 2 ;;
        --pictures) PICTURES=$(realpath -m "$2"); shift 2 ;;
        *) echo "usage: see the head of $0" >&2; exit 2 ;;
    esac
done
wine_pick_arch || exit 1
[ "$WINEARCH" = win64 ] && WINDOWS_BUILD=$WORK/windows64
EXE=$WINDOWS_BUILD/app/AIControlPanel.exe PLAY_PROBE=$WINDOWS_BUILD/tests/wine/wine_probe.exe
for f in "$BUILD/app/AIControlPanel" "$BUILD/tests/desktop/desktop_geometry" "$EXE" "$PLAY_PROBE"; do
    [ -f "$f" ] || { echo "picture check: no $f" >&2; exit 2; }
done
RUNS=$(mktemp -d /tmp/aicp-picture.XXXXXX)
trap 'wine_env_cleanup; rm -rf "$RUNS"' EXIT

folder() {  # a program folder with the shipped defaults as its settings file
    mkdir -p "$RUNS/$1/Core"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$RUNS/$1/Core/AIConfig.ai"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$RUNS/$1/Core/"
    echo "$RUNS/$1"
}

# Starts a program in the background (PID) and sets MS to the milliseconds until an X window
# with the dialog's caption is viewable.
start_and_time() {
    local dir=$1 started
    shift
    started=$(date +%s%N)
    (cd "$dir" && exec "$@" >/dev/null 2>&1) &
    PID=$!
    until xdotool search --onlyvisible --name '^AI Control Panel$' >/dev/null 2>&1; do
        kill -0 "$PID" 2>/dev/null || { echo "picture check: $* ended early" >&2; return 1; }
        sleep 0.005
    done
    MS=$((($(date +%s%N) - started) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A prefix of its own, in the classic look that the desktop front end draws: no theme.
wine_prefix_ensure "$WORK/prefix-classic-$WINEARCH" && x_start || exit 1
printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]' \
    '"ThemeActive"="0"' '' >"$WINEPREFIX/drive_c/classic.reg"
wine_run regedit /S 'C:\classic.reg' >/dev/null 2>&1
wineserver_cmd -p
probe_server_start

wine_dir=$(folder wine) linux_dir=$(folder linux)
cp "$EXE" "$wine_dir/"
cp "$BUILD/app/AIControlPanel" "$linux_dir/"
wine_ms=() linux_ms=()
for run in 0 1 2 3 4 5; do
    start_and_time "$wine_dir" "$WINE_LOADER" ./AIControlPanel.exe || exit 1
    probe wait 20000 >/dev/null || { echo "picture check: the Wine dialog does not wait" >&2; exit 1; }
    if [ "$run" = 0 ]; then  # the first run warms the caches, and is pictured
        sleep 0.5
        probe geometry >"$RUNS/wine.geometry"
        read -r _ left top right bottom _ <"$RUNS/wine.geometry"
        crop="$((right - left))x$((bottom - top))+$left+$top"
        import -window root -crop "$crop" +repage "$RUNS/wine.png"
    else
        wine_ms+=("$MS")
    fi
    click_at $(point_of close)
    wait "$PID"
    start_and_time "$linux_dir" ./AIControlPanel || exit 1
    if [ "$run" = 0 ]; then
        sleep 0.5
        import -window root -crop "$crop" +repage "$RUNS/desktop.png"
    else
        linux_ms+=("$MS")
    fi
    kill "$PID"
    wait "$PID" 2>/dev/null
done

"$BUILD/tests/desktop/desktop_geometry" "$linux_dir" >"$RUNS/desktop.geometry"
failed=0
if ! diff -u "$RUNS/wine.geometry" "$RUNS/desktop.geometry"; then
    echo "FAIL rectangles differ (Wine's, then the layer's)" && failed=1
else
    echo "PASS the window and its $(($(wc -l <"$RUNS/wine.geometry") - 1)) controls have identical rectangles"
fi
different=$(compare -metric AE "$RUNS/wine.png" "$RUNS/desktop.png" /dev/null 2>&1)
read -r width height < <(identify -format '%w %h' "$RUNS/wine.png")
share=$(awk -v d="$different" -v n=$((width * height)) 'BEGIN { printf "%.2f", 100 * (n - d) / n }')
echo "figures: identical pixels $share% ($((width * height - different)) of $((width * height)), ${width}x$height)"
awk -v s="$share" 'BEGIN { exit !(s >= 95) }' || { echo "FAIL fewer than 95% identical pixels"; failed=1; }
echo "figures: start to visible window, median of 5: desktop $(printf '%s\n' "${linux_ms[@]}" | median) ms," \
    "Windows program under Wine $(printf '%s\n' "${wine_ms[@]}" | median) ms"
[ -z "$PICTURES" ] || { mkdir -p "$PICTURES" && cp "$RUNS/desktop.png" "$PICTURES/desktop_window.png" &&
    cp "$RUNS/wine.png" "$PICTURES/desktop_beside_wine.png"; }
echo "picture check: $((1 - failed)) passed, $failed failed"
exit "$failed"
