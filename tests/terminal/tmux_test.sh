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
cursor() { tmx display -p -t test '#{cursor_x} #{cursor_y}'; }
# on_focus [FROM]: the cursor (at) moved from FROM onto the focused control: on the cells of its row
# in the focus colour (black on yellow, "<" below), a check box's mark before them or a thumb beside.
on_focus() {
    local x y line run
    at=$(cursor) && read -r x y <<<"$at"
    line=$(screen -e | sed -n $'s/[\016\017]//g; s/\e\\[[0-9;]*43m/</; s/\e\\[[0-9;]*m/>/g; '"$((y + 1))p")
    [ "$at" != "${1:-}" ] && [[ $line == *"<"* ]] || return 1
    run=${line#*<} line=${line%%<*} run=${run%%>*} line=${line//>/}
    ((${#line} - 3 <= x && x <= ${#line} + ${#run}))
}

case "$case_name" in
keys)  # starting without a settings file; xterm's keys tell Ctrl+Page Down and Up apart
    start 80 24 xterm
    wait_for "File error!"
    { shows "Using default settings now\." && shows "Enter/Esc OK" && until_true on_focus; } || fail "the box"
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
    # Attack Delay's thumb, where the cursor stands, dragged to its first tick (tmux shows the
    # line-drawing set by its VT100 letters: "n" for a tick).
    read -r last row < <(cursor)
    first=$(screen | sed -n "$((row + 1))p") && first=${first%%n*} && first=${#first}
    mouse 20 "$last" "$row" 40 $(((first + last) / 2)) "$row" 40 "$first" "$row" 23 "$first" "$row"
    wait_for " 0 minutes"
    # Held in the channel at the last tick, a press pages the thumb on until it gets there.
    mouse 20 "$last" "$row"
    wait_for "20 minutes"
    mouse 23 0 "$row"
    # The close box: the program ends, and the file stays as it was.
    read -r col row < <(cell_of "[X]")
    mouse 20 $((col + 1)) "$row" 23 $((col + 1)) "$row"
    expect_exit
    cmp -s "$DEFAULTS" "$settings" || fail "closing changed the settings file"
    ;;
screen)
    # Too small a terminal gets a message until it is resized to 79 x 24 at least.
    start 78 24
    wait_for "Terminal too small: 78 x 24"
    tmx resize-window -t test -x 79 -y 24
    wait_for "\[Hard\]"
    # The cursor on the focused control after each Tab round the ring, and on a clicked tab.
    until_true on_focus || fail "on OK the cursor is at $at"
    first=$at at=
    while [ "$at" != "$first" ] && keys Tab; do
        until_true on_focus "${at:-$first}" || fail "after a Tab the cursor is at $at"
    done
    read -r col row < <(cell_of "[Hard]")
    mouse 20 "$col" "$row" 23 "$col" "$row"
    until_true on_focus "$at" || fail "on a clicked tab the cursor is at $at"
    # Shrunk: the message alone; on Build Mines, Space and Enter (tick, save) do nothing; q closes.
    keys BTab
    tmx resize-window -t test -x 79 -y 20
    alone() { [ "$(screen | grep -c '[^ ]')" = 3 ] && shows "needs 79 x 24"; }
    until_true alone || fail "more than the message on screen"
    keys Space Enter q
    expect_exit
    cmp -s "$DEFAULTS" "$settings" || fail "Space and Enter saved"
    ;;
vt100)  # a terminal without colours: attributes only, the caption in reverse video, the same texts
    start 80 24 vt100
    wait_for "Teching Handicap"
    screen -e | grep -q $'\e\\[[0-9;]*[34][0-7]m' && fail "colours on a terminal without them"
    screen -e | grep -q $'\e\\[[0-9;]*7m' || fail "no reverse video"
    ;;
*) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
