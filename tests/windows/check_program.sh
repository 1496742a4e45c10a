#!/usr/bin/env bash
# Checks the shipped Windows program as a file: a 32-bit GUI program that needs nothing but the
# system's own DLLs (so it runs from any folder without an installer), with the dialog and the
# manifest among its resources, at most 48 KiB. Given the ZIP that cpack makes, also checks that
# it holds that program and the defaults file, and no settings file that would replace a game's.
#
#   tests/windows/check_program.sh build/windows/app/AIControlPanel.exe [AIControlPanel-win32.zip]
set -uo pipefail
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"

exe=${1:-} zip=${2:-}
[ -n "$exe" ] || usage
objdump=i686-w64-mingw32-objdump
words() { sort | paste -sd ' '; }  # the lines, sorted, as one line

headers=$("$objdump" -p "$exe") || fail "cannot read $exe"

check "32-bit program" equal "pei-i386" "$("$objdump" -f "$exe" | sed -n 's/.*file format //p')"
check "GUI subsystem, no console" equal "00000002" \
    "$(awk '$1 == "Subsystem" { print $2 }' <<<"$headers")"
# The static C++ runtime leaves msvcrt, which every Windows has; anything else would have to be
# shipped beside the program.
check "imports only the system's DLLs" equal "comctl32.dll kernel32.dll msvcrt.dll user32.dll" \
    "$(sed -n 's/.*DLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | words)"
# Resource entries as type/id/language: dialog 102 in German (Germany), manifest 1 in English (US).
resources=$(sed -n '/Resource Directory section/,/Resources start/p' <<<"$headers" |
    awk '/Entry: ID:/ { sub(",", "", $4); ids[++n] = $4 }
         /Leaf:/ { print ids[n - 2] "/" ids[n - 1] "/" ids[n] }' | words)
check "dialog 102 and the manifest" equal "0x000005/0x000066/0x000407 0x000018/0x000001/0x000409" \
    "$resources"

size=$(stat -c %s "$exe")
check "at most 48 KiB" test "$size" -le 49152

if [ -n "$zip" ]; then
    zip=$(realpath "$zip")
    check "the ZIP: the program and the defaults file" \
        equal "AIControlPanel.exe Core/ Core/AIDefaultConfig.ai" "$(cmake -E tar tf "$zip" | words)"
    (cd "$WORK" && cmake -E tar xf "$zip")
    check "the ZIP's program is this one" cmp -s "$WORK/AIControlPanel.exe" "$exe"
fi

echo "size: $size bytes ($exe)"
summary "program"
