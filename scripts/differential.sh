#!/usr/bin/env bash
# Plays scenarios on Linux (headless, on the own layer) and then against the Windows program under
# Wine, which must see the same after every action and leave the same files and exit code.
#
#   scripts/differential.sh --seed S --count K --actions N   K random scenarios of N actions,
#                                                            seeds S, S+1, ...
#   scripts/differential.sh --scenarios DIR                  every DIR/*.scn, files in DIR/files/
#   options: --exe PROGRAM.exe (default: the Release build of the same sources; where this kernel
#            runs no 32-bit programs, the 64-bit build of them is played instead)
#            --work DIR (default build/wine: prefix, builds, and failures/ for replays)
#
# The last line reads "differential: P passed, F failed". Installs what it needs with
# scripts/setup.sh; ends its wineserver and X server on any exit.
set -uo pipefail
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine_env.sh
source "$SOURCE/scripts/wine_env.sh"

WORK=$SOURCE/build/wine EXE="" ARGS=()
while [ $# -gt 0 ]; do
    case $1 in
        --seed) ARGS+=(--random "$2"); shift 2 ;;
        --count | --actions) ARGS+=("$1" "$2"); shift 2 ;;
        --scenarios) ARGS+=("$(realpath "$2")"/*.scn); shift 2 ;;
        --exe) EXE=$(realpath "$2"); shift 2 ;;
        --work) WORK=$(realpath -m "$2"); shift 2 ;;
        *) sed -n '2,14p' "$0" >&2; exit 2 ;;
    esac
done
trap wine_env_cleanup EXIT
trap 'exit 130' INT TERM

"$SOURCE/scripts/setup.sh" build windows wine || exit 1
wine_pick_arch || exit 1
if [ "$WINEARCH" = win32 ]; then
    preset=windows windows=$WORK/windows32 bits=32
else
    preset=windows64 windows=$WORK/windows64 bits=64
fi
linux=$WORK/linux
mkdir -p "$WORK"
# The presets of CMakePresets.json in folders of the work folder: the Windows one with its tests
# (the probe), the Linux one with the players only.
{ cmake -S "$SOURCE" --preset "$preset" -B "$windows" -DBUILD_TESTING=ON &&
    cmake --build "$windows" -j 2 &&
    cmake -S "$SOURCE" --preset release -B "$linux" -DAICP_BENCH=OFF &&
    cmake --build "$linux" -j 2 --target scenario_player; } >"$WORK.log" 2>&1 ||
    { cat "$WORK.log" >&2; echo "differential: the builds failed" >&2; exit 1; }
# A program given is played only where it can run: the shipped one is a 32-bit program.
[ "$bits" = 32 ] && [ -n "$EXE" ] || EXE=$windows/app/AIControlPanel.exe
if [ "$bits" = 32 ]; then
    echo "differential: playing the 32-bit program $EXE under 32-bit Wine"
else
    echo "differential: playing the 64-bit build $EXE under 64-bit Wine (no 32-bit Wine runs here, or AICP_WINE_ARCH=win64)"
fi
wine_prefix_ensure "$WORK/prefix-$WINEARCH" || exit 1
x_start || exit 1
# As root, Wine runs without root's privileges, as a user's programs would: folders and files
# that a scenario locks stay locked to it. (Its server, which opens, makes and renames the files,
# and every program it serves alike: one with more privileges it could not serve.)
loader=$WINE_LOADER
if [ "$(id -u)" = 0 ] && setpriv --inh-caps=-all --bounding-set=-all true 2>/dev/null; then
    loader=$WORK/wine-without-privileges
    printf '#!/bin/sh\nexec setpriv --inh-caps=-all --bounding-set=-all %s "$@"\n' \
        "$WINE_LOADER" >"$loader"
    chmod +x "$loader"
    setpriv --inh-caps=-all --bounding-set=-all /usr/lib/wine/wineserver -p
else
    /usr/lib/wine/wineserver -p
fi
rm -rf "$WORK/failures"
"$linux/tests/scenarios/scenario_player" --backend wine --loader "$loader" --exe "$EXE" \
    --probe "$windows/tests/wine/wine_probe.exe" --work "$WORK" "${ARGS[@]}"
