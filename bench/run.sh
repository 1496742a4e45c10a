#!/usr/bin/env bash
# Every benchmark figure of the project, one line each, as "ratio NAME: X.XX (target T)":
#
#   load, save              loading and saving the settings file against floors that do only the
#                           file work they cannot avoid (median of the repetitions)
#   big-file time, memory   loading a 64 MiB file without any header against five plain reads of
#                           it, and the growth of peak memory meanwhile against the file's size
#   launch to visible, launch to first wait for input
#                           the Windows program under Wine against a program that shows the same
#                           dialog with no logic (bench/dialog_baseline.cpp): the median of the
#                           ratios of interleaved pairs, after one warm-up launch of each
#   exe size                the shipped 32-bit .exe's bytes against 48 KiB
#   desktop to visible      the Linux program's desktop window against the Windows program under
#                           Wine, each from its start to a viewable X window: the median of the
#                           ratios of interleaved pairs, after one warm-up pair
#   desktop to visible, floor
#                           the same window against a bare Xlib program that maps a window of the
#                           same size and draws nothing (bench/visible_floor.cpp), at scales 1
#                           and 2
#
#   bench/run.sh [--repetitions N] [--pairs N] [--work DIR] [--only settings|size|launch|desktop]
#
# --repetitions  repetitions of each settings-file benchmark (default 10)
# --pairs        launch pairs, program then baseline, and desktop pairs (default 31)
# --work         folder for the builds and the Wine prefix (default build/bench-run)
# --only         only the settings-file figures, the .exe size, the launch or the desktop figures
#
# Builds what it needs (Release builds for Linux and for Windows), installs missing packages only
# through scripts/setup.sh, and runs the 32-bit Wine where the kernel runs 32-bit programs, else
# the 64-bit Wine with the 64-bit build. Other lines say what ran where. A benchmark, not a test:
# the figures vary with the machine and its load.
set -uo pipefail

SOURCE=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine_env.sh
source "$SOURCE/scripts/wine_env.sh"

REPETITIONS=10 PAIRS=31 WORK=$SOURCE/build/bench-run ONLY=""
while [ $# -gt 0 ]; do
    case $1 in
        --repetitions) REPETITIONS=$2; shift 2 ;;
        --pairs) PAIRS=$2; shift 2 ;;
        --work) WORK=$(realpath -m "$2"); shift 2 ;;
        --only) ONLY=$2; shift 2 ;;
        *) echo "usage: see the head of $0" >&2; exit 2 ;;
    esac
done

trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM

# build DIR PRESET TARGETS...: a quiet Release build of only these targets, configured by a preset
# of CMakePresets.json, in DIR.
build() {
    local dir=$1 preset=$2
    shift 2
    cmake -S "$SOURCE" --preset "$preset" -B "$dir" >/dev/null &&
        cmake --build "$dir" -j 2 --target "$@" >/dev/null
}

# windows_build TOOLCHAIN: the Windows programs for the toolchain mingw-i686 or mingw-x86_64.
windows_build() {
    local preset=windows
    [ "$1" = mingw-x86_64 ] && preset=windows64
    build "$WORK/$1" "$preset" AIControlPanel dialog_baseline launch_timer
}

windows_path() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

settings_file_figures() {
    build "$WORK/linux" bench profiles_bench || { echo "bench: the Linux build failed" >&2; return 1; }
    "$WORK/linux/bench/profiles_bench" --benchmark_repetitions="$REPETITIONS" \
        --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true \
        2>/dev/null | grep '^ratio '
}

exe_size_figure() {
    windows_build mingw-i686 || { echo "bench: the 32-bit Windows build failed" >&2; return 1; }
    local bytes
    bytes=$(stat -c %s "$WORK/mingw-i686/app/AIControlPanel.exe")
    echo "bench: AIControlPanel.exe (32-bit, Release) is $bytes bytes"
    awk -v b="$bytes" 'BEGIN { printf "ratio exe size: %.2f (target 1.00)\n", b / 49152 }'
}

# The Wine that this kernel runs, its prefix and a virtual display, once; TOOLCHAIN builds for it.
wine_ready() {
    [ -n "$XVFB_PID" ] && return 0
    wine_pick_arch && wine_prefix_ensure "$WORK/prefix-$WINEARCH" && x_start || return 1
    wineserver_cmd -p
    TOOLCHAIN=mingw-i686
    [ "$WINEARCH" = win64 ] && TOOLCHAIN=mingw-x86_64
    echo "bench: $([ "$WINEARCH" = win32 ] && echo 32 || echo 64)-bit $("$WINE_LOADER" --version)"
}

launch_figures() {
    wine_ready || return 1
    local toolchain=$TOOLCHAIN
    windows_build "$toolchain" || { echo "bench: the $toolchain build failed" >&2; return 1; }
    local built=$WORK/$toolchain folder=$WORK/launch
    rm -rf "$folder"
    mkdir -p "$folder/Core"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/AIConfig.ai"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/"
    cp "$built/app/AIControlPanel.exe" "$built/bench/dialog_baseline.exe" \
        "$built/bench/launch_timer.exe" "$folder/"
    local runs
    runs=$(wine_run "$folder/launch_timer.exe" "$PAIRS" \
        "$(windows_path "$folder/AIControlPanel.exe")" \
        "$(windows_path "$folder/dialog_baseline.exe")" | tr -d '\r') ||
        { echo "bench: the launches failed" >&2; return 1; }
    echo "$runs" >"$WORK/launches.txt"
    echo "bench: every launch in $WORK/launches.txt; $PAIRS interleaved launch pairs"
    # Each pair's ratio, program over the baseline launched right after it, shares the machine's
    # state of the moment; the figure is their median.
    local column what p b r
    for column in 2 3; do
        what=$([ "$column" = 2 ] && echo "launch to visible" || echo "launch to first wait for input")
        p=$(awk -v c="$column" '{ print $c }' <<<"$runs" | median)
        b=$(awk -v c="$column" '{ print $(c + 3) }' <<<"$runs" | median)
        r=$(awk -v c="$column" '{ print $c / $(c + 3) }' <<<"$runs" | median)
        echo "bench: $what, medians: program $p ms, baseline $b ms"
        printf 'ratio %s: %.2f (target 1.03)\n' "$what" "$r"
    done
}

# Milliseconds from starting a program in the current folder until the X server maps its window
# with the dialog's caption (bench/visible_timer.cpp); the program is then ended, and its window
# gone. The programs: the desktop window at SCALE, the Windows program under Wine, and the bare
# window of WIDTH x HEIGHT (set by the caller).
visible_ms() {
    local command
    case $1 in
        desktop_window) command=(./AIControlPanel --scale "$SCALE") ;;
        wine_window) command=("$WINE_LOADER" ./AIControlPanel.exe) ;;
        bare_window) command=(./visible_floor "$WIDTH" "$HEIGHT") ;;
    esac
    ./visible_timer "${command[@]}" 2>"$WORK/stderr" ||
        { echo "bench: $1 ended early: $(cat "$WORK/stderr")" >&2; return 1; }
}

# The desktop window's WIDTH and HEIGHT at SCALE, from the window itself.
measure_window() {
    ./AIControlPanel --scale "$SCALE" >/dev/null 2>&1 &
    local pid=$! id
    id=$(xdotool search --sync --onlyvisible --name '^AI Control Panel$' | head -1)
    read -r WIDTH HEIGHT < <(xdotool getwindowgeometry --shell "$id" |
        awk -F= '/^WIDTH/ { w = $2 } /^HEIGHT/ { h = $2 } END { print w, h }')
    kill "$pid"
    wait "$pid" 2>/dev/null
    while xdotool search --onlyvisible --name '^AI Control Panel$' >/dev/null 2>&1; do
        sleep 0.01
    done
    [ -n "$WIDTH" ]
}

# launch_pairs FIRST SECOND: one line "FIRST_MS SECOND_MS" for each of PAIRS interleaved pairs
# (every other pair starts with the second), after one warm-up pair.
launch_pairs() {
    local pair first second
    for ((pair = 0; pair <= PAIRS; ++pair)); do
        if ((pair % 2)); then
            second=$(visible_ms "$2") && first=$(visible_ms "$1") || return 1
        else
            first=$(visible_ms "$1") && second=$(visible_ms "$2") || return 1
        fi
        ((pair == 0)) || echo "$first $second"
    done
}

# pair_figures RUNS WHAT FIRST SECOND TARGET: the medians of each side and of the ratios.
pair_figures() {
    echo "bench: $2, medians of $PAIRS: $3 $(awk '{ print $1 }' <<<"$1" | median) ms, $4" \
        "$(awk '{ print $2 }' <<<"$1" | median) ms"
    printf 'ratio %s: %.2f (target %s)\n' "$2" "$(awk '{ print $1 / $2 }' <<<"$1" | median)" "$5"
}

desktop_figure() {
    wine_ready || return 1
    if ! windows_build "$TOOLCHAIN" || ! build "$WORK/linux" bench AIControlPanel visible_floor visible_timer; then
        echo "bench: the builds of both programs failed" >&2
        return 1
    fi
    local folder=$WORK/desktop runs
    rm -rf "$folder"
    mkdir -p "$folder/Core"
    cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/AIConfig.ai"
    cp "$WORK/$TOOLCHAIN/app/AIControlPanel.exe" "$WORK/linux/app/AIControlPanel" \
        "$WORK/linux/bench/visible_floor" "$WORK/linux/bench/visible_timer" "$folder/"
    cd "$folder" || return 1
    SCALE=1
    runs=$(launch_pairs desktop_window wine_window) || return 1
    pair_figures "$runs" "desktop to visible" "desktop window" "Windows program under Wine" 1.00
    for SCALE in 1 2; do
        measure_window || return 1
        runs=$(launch_pairs desktop_window bare_window) || return 1
        pair_figures "$runs" "desktop to visible$([ "$SCALE" = 1 ] || echo " at scale $SCALE"), floor" \
            "desktop window" "bare ${WIDTH}x$HEIGHT window" 1.50
    done
    cd "$SOURCE" || return 1
}

main() {
    "$SOURCE/scripts/setup.sh" build bench terminal desktop windows wine || exit 1
    echo "bench: $(nproc) processors, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    local failed=0
    local part
    for part in settings size launch desktop; do
        [ -z "$ONLY" ] || [ "$ONLY" = "$part" ] || continue
        case $part in
            settings) settings_file_figures || failed=1 ;;
            size) exe_size_figure || failed=1 ;;
            launch) launch_figures || failed=1 ;;
            desktop) desktop_figure || failed=1 ;;
        esac
    done
    return "$failed"
}

main
