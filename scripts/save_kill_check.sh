#!/usr/bin/env bash
# Kills the program with SIGKILL during bursts of Apply, again and again, and checks each time that
# the settings file is whole: the file it started with, or one that a save wrote in full. Half of
# the runs give the file a second name, so that every save writes the file itself: there a kill may
# leave it cut, but then the backup copy beside it must hold what the file held before.
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
        *) sed -n '2,9p' "$0" >&2; exit 2 ;;
    esac
done
PLAYER=$BUILD/tests/scenarios/scenario_player FILES=$SOURCE/tests/scenarios/files
[ -x "$PLAYER" ] || { echo "no $PLAYER: build the tests first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# scenario NAME TOGGLES [LINK]: starts from good.ai (with a second name where LINK is given), then
# TOGGLES times a toggle and an Apply.
scenario() {
    { echo 'file "Core/AIConfig.ai" from "good.ai"'
      [ $# -lt 3 ] || echo 'link "Mods/AIConfig.ai" to "Core/AIConfig.ai"'
      echo start
      for _ in $(seq "$2"); do echo 'toggle "Build Mines"'; echo 'press "Apply"'; done
      echo 'press "Cancel"'; } >"$work/$1.scn"
}
# The only files a burst may leave: the start, and a save after an odd or an even number of toggles.
scenario odd 1
scenario even 2
scenario burst 20000
scenario linked 20000 link
for name in odd even; do
    "$PLAYER" --files "$FILES" --keep "$work/$name" "$work/$name.scn" >/dev/null || exit 1
done
whole() { cmp -s "$1" "$FILES/good.ai" || cmp -s "$1" "$work/odd/Core/AIConfig.ai" ||
    cmp -s "$1" "$work/even/Core/AIConfig.ai"; }

kills=0 torn=0 midway=0
for i in $(seq "$COUNT"); do
    mkdir "$work/run$i"
    burst=$([ $((i % 2)) -eq 0 ] && echo linked || echo burst)
    TMPDIR=$work/run$i "$PLAYER" --files "$FILES" "$work/$burst.scn" >/dev/null 2>&1 &
    pid=$!
    # Until the first save has changed the file (up to 10 s): a busy machine may be slow to start,
    # and on a disk in memory a whole burst takes a fraction of a second.
    for _ in $(seq 1000); do
        file=$(echo "$work/run$i"/scenario-*/Core/AIConfig.ai)
        [ -f "$file" ] && ! cmp -s "$file" "$FILES/good.ai" && break
        sleep 0.01
    done
    sleep "$(printf '0.%03d' $((RANDOM % 200)))"
    kill -KILL "$pid" 2>/dev/null && kills=$((kills + 1))
    wait "$pid" 2>/dev/null
    core=$(echo "$work/run$i"/scenario-*/Core)
    file=$core/AIConfig.ai
    # A file beside the settings file: the kill came in the middle of a save.
    compgen -G "$core/AIConfig.ai.*" >/dev/null && midway=$((midway + 1))
    if ! whole "$file" && ! { [ -f "$core/AIConfig.ai.backup" ] && whole "$core/AIConfig.ai.backup"; }; then
        torn=$((torn + 1))
        echo "torn after kill $i ($burst): $(wc -c <"$file") bytes"
    fi
    rm -rf "$work/run$i"
done
echo "save kill check: $kills kills ($midway in the middle of a save), $torn torn"
[ "$torn" -eq 0 ] && [ "$kills" -gt 0 ]
