#!/usr/bin/env bash
# Kills the program with SIGKILL during bursts of Apply, again and again, and checks each time that
# the settings file is whole: the file it started with, or one that a save wrote in full. The file
# has one name in a folder that the program may write, so every save renames a new file over it.
#
#   scripts/save_kill_check.sh [--build DIR] [--count N]   (default: build/release, 60 kills)
#
# Needs the Linux build's scenario_player. The last line reads "save kill check: K kills, T torn".
set -uo pipefail
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$SOURCE/build/release COUNT=60
while [ $# -gt 0 ]; do
    case $1 in
        --build) BUILD=$(realpath "$2"); shift 2 ;;
        --count) COUNT=$2; shift 2 ;;
        *) sed -n '2,8p' "$0" >&2; exit 2 ;;
    esac
done
PLAYER=$BUILD/tests/scenarios/scenario_player FILES=$SOURCE/tests/scenarios/files
[ -x "$PLAYER" ] || { echo "no $PLAYER: build the tests first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# scenario NAME TOGGLES: starts from good.ai, then TOGGLES times a toggle and an Apply.
scenario() {
    { echo 'file "Core/AIConfig.ai" from "good.ai"'; echo start
      for _ in $(seq "$2"); do echo 'toggle "Build Mines"'; echo 'press "Apply"'; done
      echo 'press "Cancel"'; } >"$work/$1.scn"
}
# The only files a burst may leave: the start, and a save after an odd or an even number of toggles.
scenario odd 1
scenario even 2
scenario burst 5000
for name in odd even; do
    "$PLAYER" --files "$FILES" --keep "$work/$name" "$work/$name.scn" >/dev/null || exit 1
done

kills=0 torn=0 midway=0
for i in $(seq "$COUNT"); do
    mkdir "$work/run$i"
    TMPDIR=$work/run$i "$PLAYER" --files "$FILES" "$work/burst.scn" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 9 + 1))"
    kill -KILL "$pid" 2>/dev/null && kills=$((kills + 1))
    wait "$pid" 2>/dev/null
    core=$(echo "$work/run$i"/scenario-*/Core)
    file=$core/AIConfig.ai
    if ! cmp -s "$file" "$FILES/good.ai" && ! cmp -s "$file" "$work/odd/Core/AIConfig.ai" &&
        ! cmp -s "$file" "$work/even/Core/AIConfig.ai"; then
        torn=$((torn + 1))
        echo "torn after kill $i: $(wc -c <"$file") bytes"
    fi
    # A new file beside the settings file: the kill came in the middle of a save.
    compgen -G "$core/AIConfig.ai.*" >/dev/null && midway=$((midway + 1))
    rm -rf "$work/run$i"
done
echo "save kill check: $kills kills ($midway in the middle of a save), $torn torn"
[ "$torn" -eq 0 ]
