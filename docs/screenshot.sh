#!/usr/bin/env bash
# Makes docs/control_panel_wine.png: the Windows program under Wine with the shipped defaults, on
# the "Hard" tab it opens with, cut to its window. Uses the builds and the prefix that
# scripts/differential.sh makes in build/wine (run it once first).
set -euo pipefail
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
WORK=$SOURCE/build/wine
# shellcheck source=scripts/wine_env.sh
source "$SOURCE/scripts/wine_env.sh"
trap wine_env_cleanup EXIT
wine_pick_arch
windows=$WORK/windows$([ "$WINEARCH" = win32 ] && echo 32 || echo 64)
wine_prefix_ensure "$WORK/prefix-$WINEARCH"
x_start
folder=$(mktemp -d)
mkdir "$folder/Core"
cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$folder/Core/AIConfig.ai"
cp "$SOURCE/dist/Core/AIDefaultConfig.ai" "$windows/app/AIControlPanel.exe" "$folder/Core/"
mv "$folder/Core/AIControlPanel.exe" "$folder/"
(cd "$folder" && exec "$WINE_LOADER" ./AIControlPanel.exe >/dev/null 2>&1) &
read -r _ left top right bottom _ < <(printf 'wait 20000\nsync 4\nscreen\n' |
    "$WINE_LOADER" "$windows/tests/wine/wine_probe.exe" | grep '^panel')
sleep 1  # the last paint of the tabs
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "$SOURCE/docs/control_panel_wine.png"
rm -rf "$folder"
echo "docs/control_panel_wine.png: ${left},${top} to ${right},${bottom}"
