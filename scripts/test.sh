#!/usr/bin/env bash
# The README's test command: installs what is missing (as root), builds, and runs every test,
# once plainly and once under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows
# program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh build windows terminal wine

jobs=$(nproc)
# Every suite's closing line, for the total printed at the end.
results=$(mktemp)
trap 'rm -f "$results"' EXIT

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" | tee -a "$results"
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DAICP_SANITIZE=ON

# The shipped Windows program: checked as a file and in the player's ZIP, then played under Wine
# with every scenario and a few random ones, each seeing what the Linux build's run saw.
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs"
(cd build/windows && cpack >/dev/null)
tests/windows/check_program.sh build/windows/app/AIControlPanel.exe \
    build/windows/AIControlPanel-win32.zip | tee -a "$results"
scripts/differential.sh --exe build/windows/app/AIControlPanel.exe --scenarios tests/scenarios |
    tee -a "$results"
scripts/differential.sh --exe build/windows/app/AIControlPanel.exe --seed 1 --count 12 --actions 30 |
    tee -a "$results"

# ctest closes with "... 0 tests failed out of N", the other suites with "N passed, N failed".
awk '/tests failed out of/ { passed += $NF - $4; failed += $4 }
     /: [0-9]+ passed, [0-9]+ failed$/ { passed += $(NF-3); failed += $(NF-1) }
     END { printf "total: %d passed, %d failed\n", passed, failed }' "$results"
