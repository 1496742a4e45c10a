#!/usr/bin/env bash
# The Windows program under Wine, used as a person would: every scenario of tests/scenarios/ is
# played against the real .exe with X pointer and key events on a virtual display, and must leave
# the same files and exit code as the Linux build's headless run of the same scenario.
#
#   tests/wine/run_wine_tests.sh --runner PATH [--windows-build DIR] [--work DIR]
#                                [--only NAME]... [--scenarios DIR] [--screenshot PNG] [--no-figures]
#
# --runner   the Linux scenario runner (build/release/tests/scenarios/scenario_runner)
# --windows-build  the build of the shipped 32-bit program (cmake/mingw-i686.cmake), played where
#            the kernel runs 32-bit programs; elsewhere a 64-bit build is made in the work folder
# --work     build folder for the Windows builds, the cached Wine prefix and the runs
#            (default build/wine)
# --only     plays only the named scenarios
# --scenarios   another folder of scenarios (with its files/), instead of tests/scenarios
# --screenshot  saves the dialog showing the shipped defaults as a PNG
# --no-figures  skips the launch-time measurement
#
# Installs what it needs with scripts/setup.sh (groups "windows" and "wine"). Ends its wineserver
# and X server on any exit. A failed scenario leaves a screenshot in WORK/failures/.
set -uo pipefail

SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
HERE=$SOURCE/tests/wine
# shellcheck source=tests/wine/wine_env.sh
source "$HERE/wine_env.sh"
# shellcheck source=tests/wine/scenario_player.sh
source "$HERE/scenario_player.sh"
# shellcheck source=tests/wine/compare_runs.sh
source "$HERE/compare_runs.sh"

SCENARIOS=$SOURCE/tests/scenarios
RUNNER="" WINDOWS_BUILD="" WORK=$SOURCE/build/wine SCREENSHOT="" FIGURES=1 ONLY=()
while [ $# -gt 0 ]; do
    case $1 in
        --runner) RUNNER=$(realpath "$2"); shift 2 ;;
        --windows-build) WINDOWS_BUILD=$(realpath -m "$2"); shift 2 ;;
        --work) WORK=$(realpath -m "$2"); shift 2 ;;
        --only) ONLY+=("$2"); shift 2 ;;
        --scenarios) SCENARIOS=$(realpath "$2"); shift 2 ;;
        --screenshot) SCREENSHOT=$(realpath -m "$2"); shift 2 ;;
        --no-figures) FIGURES=0; shift ;;
        *) echo "usage: see the head of $0" >&2; exit 2 ;;
    esac
done
[ -x "$RUNNER" ] || { echo "wine: no scenario runner at '$RUNNER'" >&2; exit 2; }

RUNS=""
cleanup() {
    wine_env_cleanup
    [ -n "$RUNS" ] && rm -rf "$RUNS"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The program built for the Wine that runs here: the shipped 32-bit one, or the 64-bit build of
# the same sources where the kernel cannot run 32-bit programs.
build_windows() {
    local toolchain dir
    if [ "$WINEARCH" = win32 ]; then
        toolchain=mingw-i686 dir=${WINDOWS_BUILD:-$WORK/windows32}
    else
        toolchain=mingw-x86_64 dir=$WORK/windows64
        echo "wine: this kernel runs no 32-bit programs; playing the 64-bit build of the same sources"
    fi
    cmake -S "$SOURCE" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$SOURCE/cmake/$toolchain.cmake" \
        -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
    cmake --build "$dir" -j 2 -- --no-print-directory >/dev/null || return 1
    EXE=$dir/app/AIControlPanel.exe
    PROBE=$dir/tests/wine/wine_probe.exe
    EMPTY=$dir/tests/wine/empty_dialog.exe
}

windows_path() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

PASSED=0 FAILED=0
run_scenario() {
    local scn=$1 name started linux_out linux_exit
    name=$(basename "$scn" .scn)
    started=$(date +%s.%N)
    local problems=""
    if ! play_scenario "$scn" "$SCENARIOS/files" "$EXE" "$PROBE" "$RUNS/$name/wine"; then
        problems+="  the scenario under Wine:"$'\n'$PLAY_ERRORS
    fi
    linux_out=$("$RUNNER" "$scn" --keep "$RUNS/$name/linux" 2>&1)
    local linux_rc=$?
    linux_exit=$(sed -n 's/.*passed, exit code \(-\?[0-9]*\)$/\1/p' <<<"$linux_out" | tail -1)
    if [ "$linux_rc" != 0 ] || [ -z "$linux_exit" ]; then
        problems+="  the Linux run failed, so there is nothing to compare with:"$'\n'
        problems+=$(sed 's/^/    /' <<<"$linux_out")$'\n'
    elif [ -n "$PLAY_DIFFERS" ]; then
        echo "  $name: the platforms differ on purpose: $PLAY_DIFFERS"
    elif ! compare_runs "$PLAY_FOLDER" "$PLAY_EXIT" "$(linux_program_folder "$RUNS/$name/linux" "$scn")" \
        "$linux_exit"; then
        problems+="  Wine and Linux runs differ:"$'\n'$COMPARE_PROBLEMS
    fi
    local seconds
    seconds=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
    if [ -z "$problems" ]; then
        PASSED=$((PASSED + 1))
        printf 'PASS %-32s exit %s, %.1f s\n' "$name" "$PLAY_EXIT" "$seconds"
    else
        FAILED=$((FAILED + 1))
        printf 'FAIL %-32s %.1f s\n%s' "$name" "$seconds" "$problems"
    fi
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Launch to visible dialog (and to the program's first wait for input), the panel beside an
# empty dialog, each started alternately by the probe in the same prefix: one run each to warm
# the caches, then the median of seven.
launch_figures() {
    local folder=$RUNS/launch panel=() empty=() i
    mkdir -p "$folder/Core"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/AIConfig.ai"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/"
    cp "$EXE" "$folder/$PLAY_PROGRAM_NAME"
    cp "$EMPTY" "$folder/empty_dialog.exe"
    launch_panel() {
        wine_run "$PROBE" launch "$(windows_path "$folder/$PLAY_PROGRAM_NAME")" DLGCLASS "AI Control Panel"
    }
    launch_empty() {
        wine_run "$PROBE" launch "$(windows_path "$folder/empty_dialog.exe")" '#32770' "Empty Dialog"
    }
    launch_panel >/dev/null
    launch_empty >/dev/null
    for i in 1 2 3 4 5 6 7; do
        panel+=("$(launch_panel)")
        empty+=("$(launch_empty)")
    done
    echo "figures: $(basename "$EXE") ($WINEARCH build) $(stat -c %s "$EXE") bytes"
    local column what p e
    for column in 1 2; do
        what=$([ "$column" = 1 ] && echo "launch to visible dialog" || echo "launch to first wait for input")
        p=$(printf '%s\n' "${panel[@]}" | cut -d' ' -f"$column" | median)
        e=$(printf '%s\n' "${empty[@]}" | cut -d' ' -f"$column" | median)
        echo "figures: $what, median of 7: panel $p ms, empty dialog $e ms," \
            "ratio $(awk -v a="$p" -v b="$e" 'BEGIN { printf "%.2f", a / b }')"
    done
    echo "figures: all runs (visible, idle): panel ${panel[*]/%/;} empty dialog ${empty[*]/%/;}"
}

# The dialog as it first shows with the shipped defaults: the "Hard" tab.
take_screenshot() {
    local folder=$RUNS/screenshot
    mkdir -p "$folder/Core"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/AIConfig.ai"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/"
    cp "$EXE" "$folder/$PLAY_PROGRAM_NAME"
    (cd "$folder" && exec "$WINE_LOADER" "./$PLAY_PROGRAM_NAME" >/dev/null 2>&1) &
    local pid=$! left top right bottom
    PLAY_PROBE=$PROBE
    probe_server_start
    probe wait 20000 || { echo "screenshot: the dialog did not show" >&2; return 1; }
    sleep 0.5
    read -r _ left top right bottom _ < <(probe geometry | head -1)
    mkdir -p "$(dirname "$SCREENSHOT")"
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$SCREENSHOT"
    local p
    p=$(point_of close) && click_at $p
    wait "$pid"
    echo "screenshot: $SCREENSHOT"
}

main() {
    "$SOURCE/scripts/setup.sh" windows wine || exit 1
    wine_pick_arch || exit 1
    build_windows || { echo "wine: the Windows build failed" >&2; exit 1; }
    wine_prefix_ensure "$WORK/prefix-$WINEARCH" || exit 1
    x_start || exit 1
    wineserver_cmd -p
    RUNS=$(mktemp -d /tmp/aicp-wine.XXXXXX)
    PLAY_SHOTS=$WORK/failures
    rm -rf "$PLAY_SHOTS"

    if [ -n "$SCREENSHOT" ]; then
        take_screenshot || exit 1
    fi
    local scn
    for scn in "$SCENARIOS"/*.scn; do
        if [ ${#ONLY[@]} -gt 0 ] && ! printf '%s\n' "${ONLY[@]}" | grep -qx "$(basename "$scn" .scn)"; then
            continue
        fi
        run_scenario "$scn"
    done
    if [ "$FIGURES" = 1 ]; then
        launch_figures
    fi
    echo "wine: $PASSED passed, $FAILED failed"
    [ "$FAILED" = 0 ] && [ "$PASSED" -gt 0 ]
}

main
