# Plays one scenario (tests/scenarios/README.md) against the Windows program under Wine, with
# X pointer and key events at the points that the probe reads off the real dialog. Sourced by
# run_wine_tests.sh, which sets WINE_LOADER, WINEPREFIX and DISPLAY.
#
# play_scenario SCN FILES EXE PROBE ROOT   plays SCN in the fresh folder ROOT; afterwards
#   PLAY_FOLDER is the program's folder, PLAY_EXIT its exit code ("" if it never ended),
#   PLAY_DIFFERS the scenario's reason for a platform difference, and PLAY_ERRORS what failed
#   (with a screenshot in PLAY_SHOTS, if the caller sets it).

PLAY_PROGRAM_NAME=AIControlPanel.exe
SETTLE=0.3      # seconds for X input to reach the program before the next step
POLL_TRIES=30   # readings of the screen, 0.1 s apart, before an expectation fails

# Splits a scenario line into TOKENS: bare words, and texts in double quotes with C escapes.
tokenize() {
    local line=$1
    local i=0 n=${#line} c word quoted
    TOKENS=()
    while [ "$i" -lt "$n" ]; do
        c=${line:i:1}
        if [ "$c" = " " ] || [ "$c" = $'\t' ] || [ "$c" = $'\r' ]; then
            i=$((i + 1))
            continue
        fi
        word=""
        if [ "$c" = '"' ]; then
            quoted=1
            i=$((i + 1))
            while [ "$i" -lt "$n" ]; do
                c=${line:i:1}
                if [ "$c" = '"' ]; then
                    quoted=0
                    i=$((i + 1))
                    break
                fi
                if [ "$c" = '\' ] && [ $((i + 1)) -lt "$n" ]; then
                    i=$((i + 1))
                    case ${line:i:1} in
                        n) c=$'\n' ;;
                        r) c=$'\r' ;;
                        t) c=$'\t' ;;
                        *) c=${line:i:1} ;;
                    esac
                fi
                word+=$c
                i=$((i + 1))
            done
            [ "$quoted" = 0 ] || return 1
        else
            while [ "$i" -lt "$n" ] && [ "${line:i:1}" != " " ] && [ "${line:i:1}" != $'\t' ] &&
                [ "${line:i:1}" != $'\r' ]; do
                word+=${line:i:1}
                i=$((i + 1))
            done
        fi
        TOKENS+=("$word")
    done
}

# The line's words joined for a pattern match: "file * from *" style shapes.
shape() {
    local t out=""
    for t in "${TOKENS[@]}"; do out+="${out:+ }$t"; done
    printf '%s' "$out"
}

# Records a failure, and the first time in a scenario what the screen showed then, in
# PLAY_SHOTS (when set).
play_error() {
    PLAY_ERRORS+="  line $PLAY_LINENO: $*"$'\n'
    if [ -n "${PLAY_SHOTS:-}" ] && [ -z "$PLAY_SHOT" ] && [ -n "${DISPLAY:-}" ]; then
        PLAY_SHOT=$PLAY_SHOTS/$(basename "$PLAY_SCENARIO" .scn)-line$PLAY_LINENO.png
        mkdir -p "$PLAY_SHOTS"
        import -window root "$PLAY_SHOT" 2>/dev/null && PLAY_ERRORS+="  the screen then: $PLAY_SHOT"$'\n'
    fi
}

# The probe answers from one process for the whole run (probe serve): a command goes as one
# line of tab-separated words, the answer comes back as "EXIT-CODE<tab>ESCAPED-TEXT". Its pipes
# are copied to plain descriptors, which command substitutions inherit.
probe_server_start() {
    if [ -n "${PROBE_SERVER_PID:-}" ] && kill -0 "$PROBE_SERVER_PID" 2>/dev/null; then
        return 0
    fi
    [ -n "${PROBE_TO:-}" ] && exec {PROBE_TO}>&- {PROBE_FROM}<&-
    coproc PROBE_SERVER { exec "$WINE_LOADER" "$PLAY_PROBE" serve 2>/dev/null; }
    exec {PROBE_TO}>&"${PROBE_SERVER[1]}" {PROBE_FROM}<&"${PROBE_SERVER[0]}"
}

probe() {
    local request code answer
    request=$(IFS=$'\t'; printf '%s' "$*")
    printf '%s\n' "$request" >&"$PROBE_TO" 2>/dev/null || return 1
    # A program that hangs would hold the probe in a SendMessage for good: give up on both.
    if ! IFS=$'\t' read -r -t 30 code answer <&"$PROBE_FROM"; then
        kill "$PROBE_SERVER_PID" 2>/dev/null
        echo "probe: no answer to: $*" >&2
        return 1
    fi
    printf '%b' "$answer"
    return "$code"
}

# The screen point of a control; a message box in the way is first dragged aside by its
# caption, as a person would do.
point_of() {
    local out rc try
    for try in 1 2 3 4; do
        out=$(probe point "$@" 2>&1)
        rc=$?
        if [ "$rc" = 0 ]; then
            printf '%s' "$out"
            return 0
        fi
        if [ "$rc" != 3 ]; then
            printf 'probe exit %s: %s' "$rc" "$out" >"$PLAY_ROOT.why"
            sleep 0.2
            continue
        fi
        local _ x y tx ty
        read -r _ x y tx ty <<<"$out"
        xdotool mousemove "$x" "$y" mousedown 1 mousemove $(((x + tx) / 2)) "$y" mousemove "$tx" "$ty" mouseup 1
        sleep "$SETTLE"
    done
    return 1
}

click_at() {
    xdotool mousemove "$1" "$2" click 1
    sleep "$SETTLE"
}

# Waits for a reading of the screen to equal what the scenario expects.
expect_reading() {
    local expected=$1 what=$2 actual
    shift 2
    local try
    for try in $(seq "$POLL_TRIES"); do
        actual=$(probe get "$@" 2>&1)
        [ "$actual" = "$expected" ] && return 0
        sleep 0.1
    done
    play_error "$what: expected \"$expected\", saw \"$actual\""
}

expect_no_box() {
    local try text
    for try in $(seq "$POLL_TRIES"); do
        text=$(probe get box 2>/dev/null) || return 0
        sleep 0.1
    done
    play_error "no box expected, but \"$text\" is open"
}

program_running() {
    [ -n "$PLAY_PID" ] && kill -0 "$PLAY_PID" 2>/dev/null
}

# Waits up to 20 s for the program to end and records its exit code.
wait_for_exit() {
    local i
    for i in $(seq 200); do
        program_running || break
        sleep 0.1
    done
    if program_running; then
        return 1
    fi
    if [ -n "$PLAY_PID" ]; then
        wait "$PLAY_PID"
        PLAY_EXIT=$?
        PLAY_PID=""
    fi
}

# Starts the program in its folder and waits until its dialog is up and start-up has settled
# (the program waits for input, in its own loop or under a message box), or it has ended.
start_program() {
    cp "$PLAY_EXE" "$PLAY_FOLDER/$PLAY_PROGRAM_NAME"
    (cd "$PLAY_FOLDER" && exec "$WINE_LOADER" "./$PLAY_PROGRAM_NAME" >/dev/null 2>&1) &
    PLAY_PID=$!
    local i
    for i in $(seq 40); do
        program_running || return 0
        probe wait 500 && return 0
    done
    play_error "the dialog did not show within 20 s"
}

# The folder that a `program path length N` line asks for: Wine sees the program as
# Z:\path\to\AIControlPanel.exe.
place_program() {
    local length=$1
    local padding=$((length - 2 - ${#PLAY_ROOT} - 2 - ${#PLAY_PROGRAM_NAME}))
    if [ "$padding" -lt 1 ] || [ "$padding" -gt 255 ]; then
        play_error "a program path of $length characters cannot be made here"
        return
    fi
    PLAY_FOLDER=$PLAY_ROOT/$(printf 'p%.0s' $(seq "$padding"))
    mkdir -p "$PLAY_FOLDER"
}

set_up_line() {
    case "$(shape)" in
        "folder "*) mkdir -p "$PLAY_FOLDER/${TOKENS[1]}" ;;
        "file "*" from "*)
            mkdir -p "$(dirname "$PLAY_FOLDER/${TOKENS[1]}")"
            cp "$PLAY_FILES/${TOKENS[3]}" "$PLAY_FOLDER/${TOKENS[1]}" || play_error "cannot copy ${TOKENS[3]}"
            ;;
        "program path length "*) place_program "${TOKENS[3]}" ;;
        "differs "*) PLAY_DIFFERS=${TOKENS[1]} ;;
        *) play_error "unknown set-up line" ;;
    esac
}

key_name() {
    case $1 in
        PageUp) echo Prior ;;
        PageDown) echo Next ;;
        *) echo "$1" ;;
    esac
}

act_line() {
    local p x y tx ty
    case "$(shape)" in
        "select tab "*) p=$(point_of tab "${TOKENS[2]}") && click_at $p ;;
        "press "* | "toggle "*) p=$(point_of button "${TOKENS[1]}") && click_at $p ;;
        "key slider "*)
            p=$(point_of thumb "${TOKENS[2]}") && click_at $p &&
                xdotool key "$(key_name "${TOKENS[3]}")" && sleep "$SETTLE"
            ;;
        "drag slider "*" to "*)
            p=$(point_of thumb "${TOKENS[2]}") && read -r x y <<<"$p" &&
                p=$(point_of tick "${TOKENS[2]}" "${TOKENS[4]}") && read -r tx ty <<<"$p" &&
                xdotool mousemove "$x" "$y" mousedown 1 mousemove $(((x + tx) / 2)) "$y" \
                    mousemove "$tx" "$y" mouseup 1 && sleep "$SETTLE"
            ;;
        "click slider "*) p=$(point_of channel "${TOKENS[2]}" "${TOKENS[3]}") && click_at $p ;;
        "close") p=$(point_of close) && click_at $p ;;
        "dismiss box") p=$(point_of boxok) && click_at $p ;;
        *) play_error "unknown line"; return ;;
    esac || play_error "cannot do it: $(cat "$PLAY_ROOT.why" 2>/dev/null)"
}

expect_line() {
    case "$(shape)" in
        "box "*) expect_reading "${TOKENS[1]}" "box" box ;;
        "no box") expect_no_box ;;
        "label "*) expect_reading "${TOKENS[2]}" "label ${TOKENS[1]}" label "${TOKENS[1]}" ;;
        "slider "*) expect_reading "${TOKENS[2]}" "slider ${TOKENS[1]}" slider "${TOKENS[1]}" ;;
        "checked "* | "unchecked "*) expect_reading "${TOKENS[0]}" "${TOKENS[1]}" check "${TOKENS[1]}" ;;
        "tab "*) expect_reading "${TOKENS[1]}" "tab" tab ;;
        "exit "*)
            wait_for_exit || { play_error "the program is still running"; return; }
            [ "$PLAY_EXIT" = "${TOKENS[1]}" ] || play_error "exit code ${TOKENS[1]} expected, was $PLAY_EXIT"
            ;;
        "file "*" equals "*)
            cmp -s "$PLAY_FOLDER/${TOKENS[1]}" "$PLAY_FILES/${TOKENS[3]}" ||
                play_error "${TOKENS[1]} differs from ${TOKENS[3]}"
            ;;
        "file "*" missing") [ ! -e "$PLAY_FOLDER/${TOKENS[1]}" ] || play_error "${TOKENS[1]} exists" ;;
        "differs "*) PLAY_DIFFERS=${TOKENS[1]} ;;
        *) return 1 ;;
    esac
}

play_scenario() {
    local scn=$1 raw started=0
    PLAY_FILES=$2 PLAY_EXE=$3 PLAY_PROBE=$4 PLAY_ROOT=$5
    PLAY_FOLDER=$PLAY_ROOT PLAY_EXIT="" PLAY_DIFFERS="" PLAY_ERRORS="" PLAY_PID="" PLAY_LINENO=0
    PLAY_SCENARIO=$scn PLAY_SHOT=""
    mkdir -p "$PLAY_ROOT"
    probe_server_start
    while IFS= read -r raw || [ -n "$raw" ]; do
        PLAY_LINENO=$((PLAY_LINENO + 1))
        raw=${raw%$'\r'}
        [[ "$raw" =~ ^[[:space:]]*(#|$) ]] && continue
        tokenize "$raw" || { play_error "unterminated text"; continue; }
        if [ "$started" = 0 ]; then
            if [ "$(shape)" = start ]; then
                started=1
                start_program
            else
                set_up_line
            fi
        elif program_running || [ "${TOKENS[0]}" = exit ] || [ "${TOKENS[0]}" = file ] ||
            [ "${TOKENS[0]}" = differs ]; then
            expect_line || act_line
        else
            expect_line || play_error "the program has ended; cannot: $raw"
        fi
    done <"$scn"
    [ "$started" = 1 ] || play_error "the scenario never starts the program"
    if program_running; then
        play_error "the scenario ends while the program still runs"
        kill -9 "$PLAY_PID" 2>/dev/null
        wait "$PLAY_PID" 2>/dev/null
        PLAY_PID=""
    fi
    rm -f "$PLAY_FOLDER/$PLAY_PROGRAM_NAME"
    [ -z "$PLAY_ERRORS" ]
}
