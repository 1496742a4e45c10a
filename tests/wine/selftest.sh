#!/usr/bin/env bash
# Checks the Wine test's own parts that need no Wine: that scenario lines are read as the Linux
# runner reads them, and that the differential check fails, showing both sides, on every kind of
# difference. A Wine test that passed because it compared nothing would prove nothing.
set -uo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/scenario_player.sh
source "$HERE/scenario_player.sh"
# shellcheck source=tests/wine/compare_runs.sh
source "$HERE/compare_runs.sh"

passed=0 failed=0
check() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" = "$actual" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$what" "$expected" "$actual"
    fi
}

tokens() {
    tokenize "$1" || { echo "(unterminated)"; return; }
    local t
    for t in "${TOKENS[@]}"; do printf '[%s]' "$t"; done
}

check "words and texts" '[label][Attack Delay][8 minutes]' "$(tokens 'label "Attack Delay" "8 minutes"')"
check "C escapes in texts" $'[box][File error!\nUsing "default"\\\t]' \
    "$(tokens 'box "File error!\nUsing \"default\"\\\t"')"
check "runs of blanks and a CR line end" '[drag][slider][Tech Speed][to][-2]' \
    "$(tokens $'  drag\tslider  "Tech Speed" to -2\r')"
check "an empty text" '[tab][]' "$(tokens 'tab ""')"
check "an unterminated text" '(unterminated)' "$(tokens 'box "File error!')"
tokenize 'file "Core/AIConfig.ai" equals "saved.ai"'
check "line shapes" 'file Core/AIConfig.ai equals saved.ai' "$(shape)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_run() {
    mkdir -p "$work/$1/Core"
    printf 'iDancing=2\r\n' >"$work/$1/Core/AIConfig.ai"
}

make_run wine
make_run linux
compare_runs "$work/wine" 1 "$work/linux" 1
check "equal runs pass" "0:" "$?:$COMPARE_PROBLEMS"

printf 'iDancing=2\n' >"$work/linux/Core/AIConfig.ai"
compare_runs "$work/wine" 1 "$work/linux" 1
check "a line end differs" 1 "$?"
check "both files are shown" 2 "$(grep -c 'iDancing=2' <<<"$COMPARE_PROBLEMS")"
check "the CR is visible" 1 "$(grep -c 'iDancing=2\^M\$' <<<"$COMPARE_PROBLEMS")"

make_run linux
touch "$work/wine/Core/AIConfig.ai.tmp"
compare_runs "$work/wine" 1 "$work/linux" 1
check "a file only one run left" "1 1" "$? $(grep -c 'Wine only: ./Core/AIConfig.ai.tmp' <<<"$COMPARE_PROBLEMS")"

rm "$work/wine/Core/AIConfig.ai.tmp"
compare_runs "$work/wine" 1 "$work/linux" 0
check "the exit codes differ" "1 1" "$? $(grep -c 'exit code: Wine 1, Linux 0' <<<"$COMPARE_PROBLEMS")"

compare_runs "$work/wine" "" "$work/linux" 1
check "a program that never ended" 1 "$?"

mkdir -p "$work/kept/ppppp/Core"
printf 'program path length 256\n' >"$work/moved.scn"
check "the moved program's folder" "$work/kept/ppppp" "$(linux_program_folder "$work/kept" "$work/moved.scn")"

echo "wine player self-test: $passed passed, $failed failed"
[ "$failed" = 0 ]
