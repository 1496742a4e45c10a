#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, big enough for the window at twice its size.
# shellcheck source=tests/harness.sh
source "$(dirname "$0")/../harness.sh"
need Xvfb desktop
x_start_sized 2048x1536x24 || exit 1
"$@"
