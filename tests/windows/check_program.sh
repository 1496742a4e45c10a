#!/usr/bin/env bash
# Checks the shipped Windows program as a file: a 32-bit GUI program that needs nothing but the
# system's own DLLs (so it runs from any folder without an installer), with the dialog and the
# manifest among its resources, at most 48 KiB. Given the ZIP that cpack makes, also checks that
# it holds that program and the defaults file, and no settings file that would replace a game's.
#
#   tests/windows/check_program.sh build/windows/app/AIControlPanel.exe [AIControlPanel-win32.zip]
set -uo pipefail

exe=${1:?usage: check_program.sh PROGRAM.exe [PACKAGE.zip]}
zip=${2:-}
objdump=i686-w64-mingw32-objdump
failed=0 checks=0

check() {  # check WHAT EXPECTED ACTUAL
    checks=$((checks + 1))
    [ "$2" = "$3" ] && echo "ok   $1" && return
    printf 'FAIL %s\n     expected: %s\n     actual:   %s\n' "$1" "$2" "$3"
    failed=$((failed + 1))
}
words() { sort | paste -sd ' '; }  # the lines, sorted, as one line

headers=$("$objdump" -p "$exe") || { echo "FAIL cannot read $exe"; exit 1; }

check "32-bit program" "pei-i386" "$("$objdump" -f "$exe" | sed -n 's/.*file format //p')"
check "GUI subsystem, no console" "00000002" "$(awk '$1 == "Subsystem" { print $2 }' <<<"$headers")"
# The static C++ runtime leaves msvcrt, which every Windows has; anything else would have to be
# shipped beside the program.
check "imports only the system's DLLs" "comctl32.dll kernel32.dll msvcrt.dll user32.dll" \
    "$(sed -n 's/.*DLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | words)"
# Resource entries as type/id/language: dialog 102 in German (Germany), manifest 1 in English (US).
resources=$(sed -n '/Resource Directory section/,/Resources start/p' <<<"$headers" |
    awk '/Entry: ID:/ { sub(",", "", $4); ids[++n] = $4 }
         /Leaf:/ { print ids[n - 2] "/" ids[n - 1] "/" ids[n] }' | words)
check "dialog 102 and the manifest" "0x000005/0x000066/0x000407 0x000018/0x000001/0x000409" "$resources"

size=$(stat -c %s "$exe")
check "at most 48 KiB" "yes" "$([ "$size" -le 49152 ] && echo yes || echo "no, $size bytes")"

if [ -n "$zip" ]; then
    unpacked=$(mktemp -d)
    trap 'rm -rf "$unpacked"' EXIT
    zip=$(realpath "$zip")
    check "the ZIP: the program and the defaults file" "AIControlPanel.exe Core/ Core/AIDefaultConfig.ai" \
        "$(cmake -E tar tf "$zip" | words)"
    (cd "$unpacked" && cmake -E tar xf "$zip")
    check "the ZIP's program is this one" "same" \
        "$(cmp -s "$unpacked/AIControlPanel.exe" "$exe" && echo same || echo differs)"
fi

echo "size: $size bytes ($exe)"
echo "program: $((checks - failed)) passed, $failed failed"
[ "$failed" = 0 ]
