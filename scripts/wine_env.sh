# shellcheck shell=bash
# Wine, its prefix and a virtual X display: for the differential check, the desktop tests, the
# benchmarks and the README's pictures. Sourced by scripts/differential.sh, bench/run.sh,
# docs/screenshot.sh and tests/harness.sh.
#
# wine_pick_arch           WINE_LOADER and WINEARCH: the 32-bit Wine where this kernel runs 32-bit
#                          programs (unless AICP_WINE_ARCH=win64), else the 64-bit one
# wine_prefix_ensure DIR   makes (once) and selects a prefix in DIR
# x_start                  starts Xvfb on a display that it picks and exports DISPLAY;
# x_start_sized WxHxD      the same with a screen of that size (x_start's is 1024x768x24)
# wine_run PROGRAM ARGS... runs a Windows program; wineserver_cmd ARGS... runs its wineserver
# wine_env_cleanup         ends wineserver and Xvfb; safe to call more than once
# until_true COMMAND...    waits up to thirty seconds for the command to succeed (programs, Wine
#                          and window managers answer in their own time)

export WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries for the desktop that there is none of.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE_LOADER="" XVFB_PID=""

# Debian's wine32 needs the kernel's 32-bit emulation, which some kernels leave out. (A 32-bit
# Wine that starts only through an emulator registered with binfmt_misc does not get far enough.)
wine_pick_arch() {
    if [ "${AICP_WINE_ARCH:-}" != win64 ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
        /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WINE_LOADER=/usr/lib/wine/wine WINEARCH=win32
    elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
        WINE_LOADER=/usr/lib/wine/wine64 WINEARCH=win64
    else
        echo "wine: neither the 32-bit nor the 64-bit Wine runs here" >&2
        return 1
    fi
    export WINEARCH
}

wine_run() { "$WINE_LOADER" "$@"; }
wineserver_cmd() { /usr/lib/wine/wineserver "$@"; }

# No crash dialog; windows that Wine decorates itself, since there is no window manager to give
# them a title bar and close box; the classic look, the one the own layer draws (no theme, so no
# hot thumbs that repaint as the pointer leaves them); and, as on the own layer, no double clicks
# (a double-click time of 1 ms): scenarios click one spot twice in a row.
wine_prefix_ensure() {
    export WINEPREFIX=$1
    [ -f "$WINEPREFIX/.ready-$WINEARCH-4" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: making the prefix $WINEPREFIX ($WINEARCH)"
    wine_run wineboot -i >/dev/null 2>&1
    wineserver_cmd -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wine: wineboot made no prefix" >&2; return 1; }
    # Debian's Wine does not look in its own font folder; the prefix's Fonts folder it reads.
    [ -d /usr/share/wine/fonts ] && cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' \
        '"Auto"="0"' '"Debugger"=-' '' '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
        '"ShowCrashDialog"=dword:00000000' '' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
        '"Managed"="N"' '"Decorated"="N"' '' \
        '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]' \
        '"ThemeActive"="0"' '' '[HKEY_CURRENT_USER\Control Panel\Mouse]' \
        '"DoubleClickSpeed"="1"' '' >"$WINEPREFIX/drive_c/test-settings.reg"
    wine_run regedit /S 'C:\test-settings.reg' >/dev/null 2>&1
    wineserver_cmd -w
    touch "$WINEPREFIX/.ready-$WINEARCH-4"
}

x_start() { x_start_sized 1024x768x24; }

x_start_sized() {
    local file n
    file=$(mktemp)
    # -noreset: a program that connects just as the last one leaves would otherwise find the
    # server resetting, and fail to open the display.
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        read -r n <"$file" && [ -n "$n" ] && break
        sleep 0.1
    done
    rm -f "$file"
    [ -n "$n" ] && export DISPLAY=":$n" && return 0
    echo "wine: no X display could be started" >&2
    return 1
}

wine_env_cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver_cmd -k >/dev/null 2>&1
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    return 0
}

until_true() {
    local end=$((SECONDS + 30))
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}
