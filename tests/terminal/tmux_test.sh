#!/usr/bin/env bash
# The program in a real terminal: tmux runs it in a game's folder of its own, a case sends it keys
# and mouse events and reads the screen back.
#   tmux_test.sh CASE PROGRAM
set -euo pipefail
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"
need tmux terminal
case_name=$1

tmx() { tmux -S "$WORK/tmux.socket" -f /dev/null "$@"; }
trap 'tmx kill-server 2>/dev/null || true; end_test' EXIT
folder="$WORK/game" settings="$WORK/game/Core/AIConfig.ai"
game_folder "$folder" "$2"
[ "$case_name" != keys ] || rm "$settings"

screen() { tmx capture-pane -p "$@" -t test; }
context() {
    printf -- '---- screen ----\n%s\n----\n' "$(screen 2>/dev/null)"
    cat "$WORK/stderr" 2>/dev/null
}
start() {  # start COLS ROWS [TERM inside the pane]
    TERM=xterm tmx new-session -d -s test -x "$1" -y "$2" "cd '$folder' && ${3:+TERM=$3 }./AIControlPanel --terminal \
        2>'$WORK/stderr'; echo \$? >'$WORK/exit_code'; sleep 600"
}
shows() { screen | grep -qE -- "$1"; }
wait_for() { until_true shows "$1" || fail "the screen never showed: $1"; }
keys() { tmx send-keys -t test "$@"; }
# Every way out ends the program with exit code 1.
expect_exit() {
    until_true test -s "$WORK/exit_code" || fail "the program did not end"
    [ "$(cat "$WORK/exit_code")" = 1 ] || fail "exit code $(cat "$WORK/exit_code"), expected 1"
}
quit() { keys q && expect_exit; }
# saved PROFILE LINE: the line stands in the profile's block of the settings file.
saved() { grep -a -A12 "^AISettings_$1 =" "$settings" | tr -d '\r' | grep -q "$2"; }
# Mouse reports as an xterm sends them: mouse BUTTON COL ROW [BUTTON COL ROW]... (0-based
# cells), all in one write, as a quick drag or a slow link delivers them.
mouse() {
    local bytes=()
    while (($#)); do
        bytes+=(1b 5b 4d "$1" "$(printf %x $(($2 + 33)))" "$(printf %x $(($3 + 33)))")
        shift 3
    done
    tmx send-keys -t test -H "${bytes[@]}"
}
# The 0-based cell at which text first stands on screen: "COL ROW".
cell_of() { screen | awk -v text="$1" '{ i = index($0, text); if (i) { print i - 1, NR - 1; exit } }'; }

case "$case_name" in
keys)  # starting without a settings file; xterm's keys tell Ctrl+Page Down and Up apart
    start 80 24 xterm
    wait_for "File error!"
    { shows "Using default settings now\." && shows "Enter/Esc OK"; } || fail "the box"
    keys Enter
    wait_for "Tab/S-Tab focus"
    { shows "\[Hard\]" && shows "\[ \] Build Mines" && shows " 0 minutes"; } || fail "start-up screen"
    # Ctrl+Page Down and Up step the tabs and leave the focus on OK (Shift+Tab goes on from it).
    keys C-NPage
    wait_for "\[Harder\]"
    keys C-PPage
    wait_for "\[Hard\]"
    # Keys as the terminal sends them. Shift+Tab from OK back to Reset, whose Enter reads the
    # shipped defaults, and on back to Apply, which writes them byte for byte: nothing in them
    # changes when shown.
    keys BTab BTab BTab Enter
    wait_for "10 minutes"
    keys BTab BTab BTab Enter
    until_true cmp -s "$DEFAULTS" "$settings" || fail "the defaults, applied, differ from the file"
    # Tab round from Apply to Attack Delay, past OK, two steps right; Shift+Tab back to Build
    # Mines, and Space ticks it; Enter presses OK, which saves.
    keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Right Right
    wait_for "14 minutes"
    keys BTab BTab BTab BTab Space
    wait_for "\[x\] Build Mines"
    keys Enter
    expect_exit
    { saved Hard "iAttackDelay = 14," && saved Hard "bMines = true,"; } || fail "edits not saved"
    ;;
close)
    start 80 24
    wait_for "\[Hard\]"
    keys Tab Tab Tab End
    wait_for "20 minutes"
    # Tech Speed's thumb dragged to its last tick. tmux shows the line-drawing set by its VT100
    # letters: "0" for the thumb, "n" for a tick.
    read -r col row < <(cell_of "Average")
    line=$(screen | sed -n "$((row + 1))p" | cut -c1-"$col")
    thumb=$(awk -v s="$line" 'BEGIN { print index(s, "0") - 1 }')
    last=$(awk -v s="$line" 'BEGIN { for (i = length(s); i > 0; --i) if (substr(s, i, 1) == "n") { print i - 1; exit } }')
    mouse 20 "$thumb" "$row" 40 $(((thumb + last) / 2)) "$row" 40 "$last" "$row" 23 "$last" "$row"
    wait_for "Very Fast"
    # Held in the channel at the first tick, a press pages the thumb on until it gets there.
    mouse 20 "$(awk -v s="$line" 'BEGIN { print index(s, "n") - 1 }')" "$row"
    wait_for "Very Slow"
    mouse 23 0 "$row"
    # The close box: the program ends, and the file stays as it was.
    read -r col row < <(cell_of "[X]")
    mouse 20 $((col + 1)) "$row" 23 $((col + 1)) "$row"
    expect_exit
    cmp -s "$DEFAULTS" "$settings" || fail "closing changed the settings file"
    ;;
sizes_and_colours)
    # Too small a terminal gets a message until it is resized to 79 x 24 at least; tmux's own
    # terminal has colours: the dialog's face is black on white.
    start 78 24
    wait_for "Terminal too small: 78 x 24"
    wait_for "needs 79 x 24"
    tmx resize-window -t test -x 79 -y 24
    wait_for "\[Hard\]"
    screen -e | grep -q $'\e\\[[0-9;]*47m' || fail "no colours"
    tmx resize-window -t test -x 80 -y 23
    wait_for "Terminal too small: 80 x 23"
    quit
    ;;
vt100)  # a terminal without colours: attributes only, the caption in reverse video, the same texts
    start 80 24 vt100
    wait_for "Teching Handicap"
    screen -e | grep -q $'\e\\[[0-9;]*[34][0-7]m' && fail "colours on a terminal without them"
    screen -e | grep -q $'\e\\[[0-9;]*7m' || fail "no reverse video"
    quit
    ;;
*) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
