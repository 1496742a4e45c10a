#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Run as root (CI does); as another user it only names what is missing.
# Usage: scripts/setup.sh [group...]   groups: build (default), windows, wine, terminal
set -euo pipefail

packages_for() {
    case "$1" in
        # windres is in both: the Linux build also compiles the resource script.
        build) echo "cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev binutils-mingw-w64-i686" ;;
        windows) echo "g++-mingw-w64-i686 binutils-mingw-w64-i686" ;;
        terminal) echo "libncurses-dev tmux" ;;
        # The Windows program under Wine on a virtual display: both Wine builds (the kernel may run
        # no 32-bit programs, and then the 64-bit build is played), X input, screenshots.
        wine) echo "wine wine32:i386 wine64 fonts-wine xvfb xdotool libxtst-dev imagemagick g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64" ;;
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
