#!/usr/bin/env bash
# The README's run command: the control panel in a window on the X display, or in this terminal
# when there is no display (or with --terminal). Installs what is missing (as root), builds the
# Linux program when it is missing or stale, installs it into its program folder build/run (the
# program, Core/AIDefaultConfig.ai, and Core/AIConfig.ai copied from the defaults the first time
# only) and starts it there.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh build terminal desktop

folder=build/run log=build/program.log
# The preset "program" is the program alone, in build/program: neither the tests nor the
# benchmarks, so neither GoogleTest nor benchmark. Its output is shown only when it fails.
if [ ! -f build/program/CMakeCache.txt ]; then
    echo "run.sh: building the program in build/program" >&2
    mkdir -p build
    cmake --preset program >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
cmake --build --preset program -j "$(nproc)" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
cmake --install build/program --prefix "$folder" --component program >/dev/null
exec "$folder/AIControlPanel" "$@"
