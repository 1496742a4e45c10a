# shellcheck shell=bash
# What the shell tests share, with scripts/wine_env.sh's functions. At exit the test's background
# processes end (a program or window manager that a failed step left running), then Wine's server
# and the X display, and the test's work folder WORK goes.
SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DEFAULTS=$SOURCE/dist/Core/AIDefaultConfig.ai
# shellcheck source=scripts/wine_env.sh
source "$SOURCE/scripts/wine_env.sh"
WORK=$(mktemp -d /tmp/aicp-test.XXXXXX)
checks=0 failed=0

end_test() {
    jobs -p | xargs -r kill 2>/dev/null || true
    wine_env_cleanup
    rm -rf "$WORK"
}
trap end_test EXIT

need() { command -v "$1" >/dev/null || { echo "skipped: no $1 (scripts/setup.sh $2)"; exit 77; }; }
usage() { echo "usage: see the head of $0" >&2; exit 2; }

# check WHAT COMMAND...: one check, counted; the test goes on after a failure.
check() {
    checks=$((checks + 1))
    if "${@:2}"; then echo "PASS $1"; else echo "FAIL $1" && failed=$((failed + 1)); fi
}
equal() {  # equal EXPECTED ACTUAL; else both are shown, before check's FAIL
    [ "$1" = "$2" ] && return 0
    printf '     expected: %s\n     actual:   %s\n' "$1" "$2"
    return 1
}
# summary NAME: the line that scripts/test.sh adds up, and the status
summary() {
    echo "$1: $((checks - failed)) passed, $failed failed"
    [ "$failed" = 0 ]
}
# fail WHAT: stops at the first thing wrong, with what the script's context function shows of it.
context() { :; }
fail() { echo "FAIL: $*"; context; exit 1; }

# game_folder DIR PROGRAM: the program, the defaults file, and a settings file made from it
game_folder() {
    mkdir -p "$1/Core"
    cp "$DEFAULTS" "$1/Core/AIDefaultConfig.ai"
    cp "$DEFAULTS" "$1/Core/AIConfig.ai"
    cp "$2" "$1/"
}

# Windows come and go while xdotool looks through them: it may complain of one that has gone.
find_window() { xdotool search --onlyvisible "$@" 2>/dev/null; }
dialog_window() { find_window --name '^AI Control Panel$'; }
ended() { ! kill -0 "$PID" 2>/dev/null; }
shown_or_ended() { dialog_window >/dev/null || ended; }
picture() { import -window "$ID" "$WORK/$1.png" 2>/dev/null; }  # picture NAME: WORK/NAME.png
# The window's rectangle on the screen, frame included: "LEFT TOP RIGHT BOTTOM"
window_rect() {
    xdotool getwindowgeometry --shell "$ID" |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["X"] + v["WIDTH"], v["Y"] + v["HEIGHT"] }'
}
# start_program DIR COMMAND...: the program running in DIR (PID), its window (ID) viewable
start_program() {
    (cd "$1" && exec "${@:2}" >/dev/null 2>&1) &
    PID=$!
    # shellcheck disable=SC2034  # ID is the sourcing script's
    until_true shown_or_ended && ! ended && ID=$(dialog_window) && return 0
    echo "${*:2}: ended, or showed no window" >&2
    return 1
}
