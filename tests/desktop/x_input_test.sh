#!/usr/bin/env bash
# The Linux program's window on a virtual display, used with real X input (xdotool) at the points
# that the layer's rectangles give, must leave the same settings file and exit code as the headless
# run of the same actions: a click in a slider's channel, End on the slider it focused, a click on a
# check box, then OK; and, in a second run, the close box. Exit 77 (skipped) without Xvfb or xdotool.
#
#   x_input_test.sh PROGRAM DESKTOP_GEOMETRY SCENARIO_RUNNER DEFAULTS
set -uo pipefail
program=$1 geometry_tool=$2 runner=$3 defaults=$4
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb or xdotool"; exit 77; }
source "$(dirname "$0")/../wine/wine_env.sh"
work=$(mktemp -d /tmp/aicp-x-input.XXXXXX)
trap 'wine_env_cleanup; rm -rf "$work"' EXIT
x_start || exit 1

mkdir -p "$work/files" && cp "$defaults" "$work/files/defaults.ai"
fail() { echo "FAIL: $*"; exit 1; }

centre() {  # the screen point at the centre of a control, by id
    awk -v id="$1" '$3 == id { print int(($4 + $6) / 2), int(($5 + $7) / 2); exit }' "$work/geometry"
}

play() {  # play NAME ACTIONS: the scenario headless and, with xdotool, on the window
    local name=$1 actions=$2 dir=$work/$1
    printf '%s\nstart\n%s\nexit 1\n' 'file "Core/AIConfig.ai" from "defaults.ai"' \
        "$actions" >"$work/$name.scn"
    "$runner" "$work/$name.scn" --keep "$dir.headless" >/dev/null || fail "$name: headless run"
    mkdir -p "$dir/Core" && cp "$defaults" "$dir/Core/AIConfig.ai" && cp "$program" "$dir/"
    [ -f "$work/geometry" ] || "$geometry_tool" "$dir" >"$work/geometry"
    (cd "$dir" && exec ./AIControlPanel) &
    local pid=$!
    xdotool search --sync --onlyvisible --name '^AI Control Panel$' >/dev/null
    shift 2
    local step
    for step in "$@"; do
        eval "xdotool $step"
        sleep 0.2
    done
    local waited=0
    while kill -0 "$pid" 2>/dev/null; do
        [ $((waited += 1)) -lt 50 ] || { kill "$pid"; fail "$name: the program did not end"; }
        sleep 0.1
    done
    wait "$pid"
    local code=$?
    [ "$code" = 1 ] || fail "$name: exit code $code"
    cmp -s "$dir/Core/AIConfig.ai" "$(find "$dir.headless" -path '*Core/AIConfig.ai' | head -1)" ||
        fail "$name: the settings file differs from the headless run's"
    echo "PASS $name"
}

mkdir -p "$work/probe/Core" && cp "$defaults" "$work/probe/Core/AIConfig.ai"
"$geometry_tool" "$work/probe" >"$work/geometry" || fail "no geometry"
# Near the right end of the Attack Delay slider's channel; the close box at the caption's right end.
read -r sx sy < <(awk '$3 == 1001 { print $6 - 12, int(($5 + $7) / 2) }' "$work/geometry")
read -r cx cy < <(awk '$1 == "panel" { print $4 - 13, $3 + 12 }' "$work/geometry")
play edit_and_ok 'click slider "Attack Delay" right
key slider "Attack Delay" End
toggle "Build Mines"
press "OK"' "mousemove $sx $sy click 1" "key End" "mousemove $(centre 1017) click 1" \
    "mousemove $(centre 1007) click 1"
play close_box 'toggle "Build Mines"
close' "mousemove $(centre 1017) click 1" "mousemove $cx $cy click 1"
