# The differential check of the Wine test: a Wine run's program folder and exit code against
# the Linux run's. Sourced by run_wine_tests.sh and by its self-test.

# Shows a file's bytes with line ends and control characters visible.
show_file() {
    if [ -f "$1" ]; then
        cat -A "$1" | head -40 | sed 's/^/      /'
    else
        echo "      (no such file)"
    fi
}

# compare_runs WINE_FOLDER WINE_EXIT LINUX_FOLDER LINUX_EXIT: the same files, byte for byte, and
# the same exit code; what differs is left in COMPARE_PROBLEMS, with both files shown.
compare_runs() {
    local wine_folder=$1 wine_exit=$2 linux_folder=$3 linux_exit=$4 problems="" f
    local wine_list linux_list
    wine_list=$(cd "$wine_folder" && find . -mindepth 1 | sort)
    linux_list=$(cd "$linux_folder" && find . -mindepth 1 | sort)
    if [ "$wine_list" != "$linux_list" ]; then
        problems+="  the folders hold different files:"$'\n'
        problems+=$(diff <(echo "$wine_list") <(echo "$linux_list") | grep '^[<>]' |
            sed 's/^< /    Wine only: /; s/^> /    Linux only: /')$'\n'
    fi
    while IFS= read -r f; do
        [ -f "$wine_folder/$f" ] && [ -f "$linux_folder/$f" ] || continue
        if ! cmp -s "$wine_folder/$f" "$linux_folder/$f"; then
            problems+="  $f differs:"$'\n'"    Wine:"$'\n'$(show_file "$wine_folder/$f")$'\n'
            problems+="    Linux:"$'\n'$(show_file "$linux_folder/$f")$'\n'
        fi
    done <<<"$wine_list"
    if [ "$wine_exit" != "$linux_exit" ]; then
        problems+="  exit code: Wine ${wine_exit:-none}, Linux ${linux_exit:-none}"$'\n'
    fi
    COMPARE_PROBLEMS=$problems
    [ -z "$problems" ]
}

# The Linux run's program folder inside its kept copy of the temporary folder: the padded
# folder when the scenario moves the program.
linux_program_folder() {
    local kept=$1 scn=$2
    if grep -q '^program path length' "$scn"; then
        find "$kept" -mindepth 1 -maxdepth 1 -type d -name 'p*' | head -1
    else
        echo "$kept"
    fi
}
