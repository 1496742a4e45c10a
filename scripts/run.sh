#!/usr/bin/env bash
# The README's run command: the control panel in a window on the X display, or in this terminal
# when there is no display (or with --terminal). Installs what is missing (as root), builds the
# Linux program when it is missing or stale, installs it into its program folder build/run (the
# program, Core/AIDefaultConfig.ai, and Core/AIConfig.ai copied from the defaults the first time
# only) and starts it there.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh build terminal desktop

build=build/program
folder=build/run
if [ ! -f "$build/CMakeCache.txt" ]; then
    # The program alone: neither the tests nor the benchmarks, so neither GoogleTest nor benchmark.
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DAICP_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target AIControlPanel -j "$(nproc)"
cmake --install "$build" --prefix "$folder" --component program >/dev/null
exec "$folder/AIControlPanel" "$@"
