#!/usr/bin/env bash
# Installs the Debian packages that a group of tasks needs, when any is missing.
# Run as root (CI does); as another user it only names what is missing and fails.
# Usage: scripts/setup.sh [group...]   groups: build (default), bench, fuzz, terminal, desktop,
#                                                windows, wine, lint
set -euo pipefail

packages_for() {
    case "$1" in
        # The Linux build and its tests; windres also compiles the resource script for Linux.
        build) echo "cmake make g++ libgtest-dev binutils-mingw-w64-i686" ;;
        # bench/, which the Linux build includes unless -DAICP_BENCH=OFF.
        bench) echo "libbenchmark-dev" ;;
        # The libFuzzer targets: clang and its runtime.
        fuzz) echo "clang libclang-rt-14-dev" ;;
        # The Linux program draws with ncurses; its end-to-end tests run it under tmux.
        terminal) echo "libncurses-dev tmux" ;;
        # The Linux program's window: Xlib (Xinerama for the monitors) and the dialog's bitmap font;
        # its tests run it on a virtual display with X input, which the scenario player gives
        # through XTest, and under three window managers (xfwm4 with its settings' D-Bus), with
        # the screen's Xft.dpi set by xrdb.
        desktop) echo "libx11-dev libxtst-dev libxinerama-dev fonts-wine xvfb xdotool imagemagick openbox icewm xfwm4 dbus-daemon x11-utils x11-xserver-utils" ;;
        # The shipped program: the 32-bit MinGW compiler with the win32 thread model.
        windows) echo "g++-mingw-w64-i686-win32 binutils-mingw-w64-i686" ;;
        # The Windows program under Wine on a virtual display: both Wine builds (the kernel may run
        # no 32-bit programs, and then the 64-bit build is played), the dialog's fonts, X input
        # through XTest, screenshots (import).
        wine) echo "wine wine32:i386 wine64 fonts-wine xvfb libxtst-dev imagemagick g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64" ;;
        # The shell scripts' checker, which scripts/test.sh runs on every script.
        lint) echo "shellcheck" ;;
        *) echo "setup.sh: unknown group '$1'" >&2; exit 2 ;;
    esac
}

missing_from() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
    done
}

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build)
wanted=()
for g in "${groups[@]}"; do
    # shellcheck disable=SC2207
    wanted+=($(packages_for "$g"))
done
# shellcheck disable=SC2207
missing=($(missing_from "${wanted[@]}"))
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Run this script as root, or: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 side of the archive.
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
