#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, big enough for the window at twice its size;
# exit 77 (skipped) without Xvfb.
command -v Xvfb >/dev/null || { echo "no Xvfb (scripts/setup.sh desktop installs it)"; exit 77; }
# shellcheck source=scripts/wine_env.sh
source "$(dirname "$0")/../../scripts/wine_env.sh"
trap wine_env_cleanup EXIT
x_start_sized 2048x1536x24 || exit 1
"$@"
