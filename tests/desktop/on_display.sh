#!/usr/bin/env bash
# Runs a command on a virtual X display of its own; exit 77 (skipped) without Xvfb.
command -v Xvfb >/dev/null || { echo "no Xvfb (scripts/setup.sh desktop installs it)"; exit 77; }
# shellcheck source=scripts/wine_env.sh
source "$(dirname "$0")/../../scripts/wine_env.sh"
trap wine_env_cleanup EXIT
x_start || exit 1
"$@"
