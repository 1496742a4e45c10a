#!/usr/bin/env bash
# The program in a real terminal: tmux runs it in a program folder of its own, these cases send it
# keys (and mouse events) and read the screen back.
#   tmux_test.sh CASE PROGRAM DEFAULTS_FILE
# Exit 77 (skipped) only when tmux is not installed.
set -euo pipefail

case_name=$1
program=$2
defaults=$3

if ! command -v tmux >/dev/null; then
    echo "tmux is not installed (scripts/setup.sh terminal installs it): skipped"
    exit 77
fi

work=$(mktemp -d)
socket="$work/tmux.socket"
tmx() { tmux -S "$socket" -f /dev/null "$@"; }
cleanup() {
    tmx kill-server 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

folder="$work/game"
mkdir -p "$folder/Core"
# The program works in its own folder, so it runs from a copy there.
cp "$program" "$folder/AIControlPanel"
cp "$defaults" "$folder/Core/AIDefaultConfig.ai"

fail() {
    echo "FAIL: $*"
    echo "---- screen ----"
    tmx capture-pane -p -t test 2>/dev/null || true
    echo "----------------"
    [ -f "$work/stderr" ] && cat "$work/stderr"
    exit 1
}

start() {  # start COLS ROWS [TERM inside the pane]
    local term=${3:+TERM=$3 }
    TERM=xterm tmx new-session -d -s test -x "$1" -y "$2" \
        "cd '$folder' && ${term}./AIControlPanel --terminal 2>'$work/stderr'; echo \$? >'$work/exit_code'; sleep 600"
}

screen() { tmx capture-pane -p -t test; }

# Waits until the screen shows the text (a grep -E pattern), up to thirty seconds.
wait_for() {
    for _ in $(seq 300); do
        screen | grep -qE -- "$1" && return 0
        sleep 0.1
    done
    fail "the screen never showed: $1"
}

# Waits until the screen no longer shows the text.
wait_gone() {
    for _ in $(seq 300); do
        screen | grep -qE -- "$1" || return 0
        sleep 0.1
    done
    fail "the screen still shows: $1"
}

keys() { tmx send-keys -t test "$@"; }

# The program's exit code, once it has ended.
exit_code() {
    for _ in $(seq 300); do
        [ -s "$work/exit_code" ] && { cat "$work/exit_code"; return 0; }
        sleep 0.1
    done
    fail "the program did not end"
}

expect_exit() {
    local code
    code=$(exit_code)
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}

# The value lines of one profile's block in a settings file.
block() { grep -a -A12 "^AISettings_$2 =" "$1" | tr -d '\r'; }

# A mouse press and release at a cell (0-based), as an xterm reports them.
click() {
    local col=$(( $1 + 33 )) row=$(( $2 + 33 ))
    tmx send-keys -t test -H 1b 5b 4d 20 "$(printf %x $col)" "$(printf %x $row)"
    tmx send-keys -t test -H 1b 5b 4d 23 "$(printf %x $col)" "$(printf %x $row)"
}

# A drag with the mouse button held, from one cell to another on the same row.
drag() {  # drag FROM_COL TO_COL ROW
    local row=$(( $3 + 33 ))
    tmx send-keys -t test -H 1b 5b 4d 20 "$(printf %x $(( $1 + 33 )))" "$(printf %x $row)"
    tmx send-keys -t test -H 1b 5b 4d 40 "$(printf %x $(( ($1 + $2) / 2 + 33 )))" "$(printf %x $row)"
    tmx send-keys -t test -H 1b 5b 4d 40 "$(printf %x $(( $2 + 33 )))" "$(printf %x $row)"
    tmx send-keys -t test -H 1b 5b 4d 23 "$(printf %x $(( $2 + 33 )))" "$(printf %x $row)"
}

# The 0-based cell at which text first stands on screen: "COL ROW".
cell_of() {
    screen | awk -v text="$1" '{ i = index($0, text); if (i) { print i - 1, NR - 1; exit } }'
}

case "$case_name" in
edit_and_apply)
    cp "$defaults" "$folder/Core/AIConfig.ai"
    start 80 24
    wait_for "AI Control Panel"
    wait_for "\[Hard\]"
    # The Hard profile of the defaults, and the line of keys.
    screen | grep -q "Dancing" || fail "no Dancing group"
    screen | grep -q "10 minutes" || fail "no attack delay label"
    screen | grep -qE "Standard {6,}" || fail "no Dancing label"
    screen | grep -q "Tab/S-Tab focus" || fail "no keys line"
    screen | grep -q "\[ \] Build Mines" || fail "Build Mines should be clear"
    # Focus: tab control, Dancing, Attack Delay; two steps right.
    keys Tab Tab Tab Right Right
    wait_for "14 minutes"
    # On to Build Mines: Tech Speed, Handicap, then the six boxes in reading order.
    keys Tab Tab Tab Tab Tab Tab Tab Tab Space
    wait_for "\[x\] Build Mines"
    # OK, Apply.
    keys Tab Tab Enter
    for _ in $(seq 300); do
        block "$folder/Core/AIConfig.ai" Hard | grep -q "iAttackDelay = 14," && break
        sleep 0.1
    done
    block "$folder/Core/AIConfig.ai" Hard | grep -q "iAttackDelay = 14," || fail "delay not saved"
    block "$folder/Core/AIConfig.ai" Hard | grep -q "bMines = true," || fail "mines not saved"
    [ "$(block "$folder/Core/AIConfig.ai" Harder)" = "$(block "$defaults" Harder)" ] ||
        fail "Harder changed"
    # Still open after Apply; q closes it.
    screen | grep -q "AI Control Panel" || fail "the dialog closed on Apply"
    keys q
    expect_exit 1
    ;;
missing_file)
    start 80 24
    wait_for "File error!"
    wait_for "Using default settings now\."
    screen | grep -q "Error" || fail "no box title"
    screen | grep -q "Enter/Esc OK" || fail "no keys for the box"
    keys Enter
    wait_gone "File error!"
    # The profiles as built: every value at zero.
    wait_for "\[Hard\]"
    wait_for "0 minutes"
    screen | grep -q "Average" || fail "tech speed label"
    keys q
    expect_exit 1
    [ ! -e "$folder/Core/AIConfig.ai" ] || fail "closing wrote the settings file"
    ;;
close)
    cp "$defaults" "$folder/Core/AIConfig.ai"
    start 80 24
    wait_for "\[Hard\]"
    # Edits by key and by mouse, then the close box: nothing is saved.
    keys Tab Tab Tab End
    wait_for "20 minutes"
    # Tech Speed's thumb dragged to its last tick. tmux shows the line-drawing set by its VT100
    # letters: "0" for the thumb, "n" for a tick.
    read -r col row < <(cell_of "Average")
    line=$(screen | sed -n "$((row + 1))p" | cut -c1-"$col")
    thumb=$(awk -v s="$line" 'BEGIN { print index(s, "0") - 1 }')
    last=$(awk -v s="$line" 'BEGIN { for (i = length(s); i > 0; --i) if (substr(s, i, 1) == "n") { print i - 1; exit } }')
    drag "$thumb" "$last" "$row"
    wait_for "Very Fast"
    read -r col row < <(cell_of "[X]")
    click $((col + 1)) "$row"
    expect_exit 1
    cmp -s "$defaults" "$folder/Core/AIConfig.ai" || fail "closing changed the settings file"
    ;;
too_small)
    cp "$defaults" "$folder/Core/AIConfig.ai"
    start 60 20
    wait_for "Terminal too small: 60 x 20"
    wait_for "needs 79 x 24"
    tmx resize-window -t test -x 80 -y 24
    wait_for "\[Hard\]"
    wait_gone "Terminal too small"
    tmx resize-window -t test -x 70 -y 24
    wait_for "Terminal too small: 70 x 24"
    keys q
    expect_exit 1
    ;;
colours)
    cp "$defaults" "$folder/Core/AIConfig.ai"
    # tmux's own terminal has colours: the dialog's face is black on white.
    start 80 24
    wait_for "\[Hard\]"
    tmx capture-pane -p -e -t test | grep -q $'\e\\[[0-9;]*47m' || fail "no colours"
    keys q
    expect_exit 1
    # A server of its own: a new one on the old socket could meet the old one going down.
    tmx kill-server
    socket="$work/tmux-vt100.socket"
    rm -f "$work/exit_code"
    # A VT100 has none: attributes only, the caption in reverse video, the same texts.
    start 80 24 vt100
    wait_for "\[Hard\]"
    if tmx capture-pane -p -e -t test | grep -q $'\e\\[[0-9;]*[34][0-7]m'; then
        fail "colours on a terminal without them"
    fi
    tmx capture-pane -p -e -t test | grep -q $'\e\\[[0-9;]*7m' || fail "no reverse video"
    screen | grep -q "Teching Handicap" || fail "texts missing without colours"
    keys q
    expect_exit 1
    ;;
*)
    echo "unknown case $case_name"
    exit 2
    ;;
esac
echo "PASS: $case_name"
