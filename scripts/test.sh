#!/usr/bin/env bash
# The README's test command: installs what is missing (as root), builds, and runs every suite: the
# shell scripts through shellcheck, the tests once plainly and once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows program as a file and under Wine. The builds are
# the presets of CMakePresets.json (warnings are errors there). Every suite runs even when an
# earlier one failed; the total counts them all, and the exit status is non-zero when anything
# failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2

jobs=$(nproc)
results=$(mktemp)
trap 'rm -f "$results"' EXIT
failed_suites=()
skipped_suites=()

# suite NAME COMMAND...: runs the command, keeps its output for the total, and notes a failure.
# A suite whose command fails without a line that counts its failures counts as one failure.
suite() {
    local name=$1 out status
    shift
    echo "==== $name"
    out=$(mktemp)
    "$@" 2>&1 | tee "$out"
    status=${PIPESTATUS[0]}
    cat "$out" >>"$results"
    if [ "$status" -ne 0 ]; then
        failed_suites+=("$name")
        grep -Eq 'tests failed out of|: [0-9]+ passed, [1-9][0-9]* failed$' "$out" ||
            echo "$name: 0 passed, 1 failed" >>"$results"
    fi
    rm -f "$out"
}

# skip NAME WHY: a suite that does not run, and why.
skip() {
    echo "==== $1: skipped, $2"
    skipped_suites+=("$1 ($2)")
}

# ctest_suite PRESET: configures and builds one preset, and runs its tests.
ctest_suite() {
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs" &&
        ctest --preset "$1" -j "$jobs"
}

# The repository's shell scripts: every *.sh, and every file that starts with a shell's #!.
shell_scripts() {
    local file
    git ls-files | while read -r file; do
        [ -f "$file" ] || continue
        case $file in
            *.sh) echo "$file" ;;
            *) head -n 1 "$file" | grep -qE '^#!.*[/ ](ba)?sh$' && echo "$file" ;;
        esac
    done
}

# Each script through shellcheck, which follows the scripts that it sources.
shellcheck_suite() {
    local passed=0 failed=0 script
    while read -r script; do
        if shellcheck -x "$script"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
    done < <(shell_scripts)
    echo "shellcheck: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

windows_build() {
    cmake --preset windows >/dev/null && cmake --build --preset windows -j "$jobs" &&
        (cd build/windows && cpack >/dev/null) &&
        tests/windows/check_program.sh build/windows/app/AIControlPanel.exe \
            build/windows/AIControlPanel-win32.zip
}

if ./scripts/setup.sh lint; then
    suite "shell scripts" shellcheck_suite
else
    skip "shell scripts" "the packages of scripts/setup.sh lint are missing"
fi
if ./scripts/setup.sh build bench terminal desktop; then
    suite "tests" ctest_suite release
    suite "tests under the sanitizers" ctest_suite sanitize
    # The desktop window among other windows, under a window manager.
    suite "Desktop under a window manager" tests/desktop/window_manager.sh build/release
else
    skip "tests" "the packages of scripts/setup.sh build bench terminal desktop are missing"
    skip "tests under the sanitizers" "the packages of scripts/setup.sh build bench terminal desktop are missing"
fi

# The shipped Windows program: checked as a file and in the player's ZIP, then played under Wine
# with every scenario and a few random ones, each seeing what the Linux build's run saw.
if ./scripts/setup.sh windows; then
    suite "Windows program" windows_build
else
    skip "Windows program" "the packages of scripts/setup.sh windows are missing"
fi
if ! ./scripts/setup.sh build windows wine; then
    skip "Wine" "the packages of scripts/setup.sh build windows wine are missing"
else
    suite "Wine scenarios" scripts/differential.sh --exe build/windows/app/AIControlPanel.exe \
        --scenarios tests/scenarios
    suite "Wine random scenarios" scripts/differential.sh --exe build/windows/app/AIControlPanel.exe \
        --seed 1 --count 12 --actions 30
    # The Linux program's window beside the Windows program's: the same rectangles, nearly the
    # same pixels.
    suite "Desktop picture" timeout 900 tests/desktop/picture_check.sh build/release
fi

# ctest closes with "... N tests failed out of M", the other suites with "N passed, N failed".
echo "===="
awk '/tests failed out of/ { passed += $NF - $4; failed += $4 }
     /: [0-9]+ passed, [0-9]+ failed$/ { passed += $(NF-3); failed += $(NF-1) }
     END { printf "total: %d passed, %d failed\n", passed, failed }' "$results"
for s in "${skipped_suites[@]}"; do echo "skipped: $s"; done
for s in "${failed_suites[@]}"; do echo "failed: $s"; done
[ ${#failed_suites[@]} -eq 0 ]
