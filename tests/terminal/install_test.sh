#!/usr/bin/env bash
# cmake --install into a game's folder, and the program and files that it leaves there.
#   install_test.sh BUILD_DIR
set -euo pipefail
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"
build=$1 game=$WORK/game
context() { ls -lR "$game"; }
install() { cmake --install "$build" --prefix "$game" --component program >/dev/null; }

install
[ -x "$game/AIControlPanel" ] || fail "no program"
# The player's copy carries no symbols or debug information.
! readelf -S "$game/AIControlPanel" | grep -qE '\.(symtab|debug_)' || fail "program not stripped"
cmp -s "$DEFAULTS" "$game/Core/AIDefaultConfig.ai" || fail "defaults file differs"
cmp -s "$DEFAULTS" "$game/Core/AIConfig.ai" || fail "settings file not made from the defaults"
# The installed program runs. With neither a display nor a terminal it says so and writes nothing
# to standard output (no screen's escape codes); a wrong option is exit code 2.
"$game/AIControlPanel" --version | grep -qx 'AIControlPanel [0-9.]*' || fail "no version"
out=$(env -u DISPLAY "$game/AIControlPanel" </dev/null 2>/dev/null; echo "exit $?")
[ "$out" = "exit 3" ] || fail "without a display and a terminal: $out"
status=$("$game/AIControlPanel" --no-such-option >/dev/null 2>&1; echo $?)
[ "$status" = 2 ] || fail "a wrong option: exit $status"
# A settings file already there (the player's, or the game's before the first install) is kept.
printf 'edited\r\n' >"$game/Core/AIConfig.ai"
install
[ "$(cat "$game/Core/AIConfig.ai")" = $'edited\r' ] || fail "settings file overwritten"
echo "PASS"
