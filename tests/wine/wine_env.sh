# Wine, its prefix and a virtual X display for the Wine test. Sourced by run_wine_tests.sh.
#
# wine_pick_arch             sets WINE_LOADER and WINEARCH: the 32-bit Wine where this kernel runs
#                            32-bit programs, else the 64-bit one
# wine_prefix_ensure DIR     makes (once) and selects a prefix in DIR
# x_start                    starts Xvfb on a free display and exports DISPLAY
# wine_env_cleanup           ends wineserver and Xvfb; safe to call more than once

export WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries for the desktop that there is none of.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

WINE_LOADER=""
XVFB_PID=""

# Debian's wine32 needs the kernel's 32-bit emulation, which some kernels leave out; the 64-bit
# Wine then runs the program built for 64-bit Windows from the same sources. (A 32-bit Wine that
# starts only through an emulator registered with binfmt_misc does not get far enough to count.)
wine_pick_arch() {
    if [ -x /usr/lib/wine/wine ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
        /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WINE_LOADER=/usr/lib/wine/wine
        export WINEARCH=win32
    elif [ -x /usr/lib/wine/wine64 ] && /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
        WINE_LOADER=/usr/lib/wine/wine64
        export WINEARCH=win64
    else
        echo "wine: neither the 32-bit nor the 64-bit Wine runs here" >&2
        return 1
    fi
}

wine_run() {
    "$WINE_LOADER" "$@"
}

wineserver_cmd() {
    /usr/lib/wine/wineserver "$@"
}

# No crash dialog (winedbg stays out), no Mono or Gecko installer, and windows that Wine
# decorates itself, since there is no window manager to give them a title bar and close box.
wine_prefix_settings() {
    local reg="$WINEPREFIX/drive_c/test-settings.reg"
    printf '%s\r\n' \
        'REGEDIT4' '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' \
        '"Auto"="0"' '"Debugger"=-' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
        '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
        '"Managed"="N"' '"Decorated"="N"' '' >"$reg"
    wine_run regedit /S 'C:\test-settings.reg'
}

wine_prefix_ensure() {
    export WINEPREFIX=$1
    local stamp="$WINEPREFIX/.ready-$WINEARCH-2"
    if [ -f "$stamp" ]; then
        return 0
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: making the prefix $WINEPREFIX ($WINEARCH)"
    wine_run wineboot -i >/dev/null 2>&1 || true
    wineserver_cmd -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wine: wineboot made no prefix" >&2; return 1; }
    # Debian's Wine does not look in its own font folder; the prefix's Fonts folder it reads.
    [ -d /usr/share/wine/fonts ] && cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    wine_prefix_settings >/dev/null 2>&1
    wineserver_cmd -w
    touch "$stamp"
}

# Xvfb on the first display number from 90 up whose lock and socket are free.
x_start() {
    local n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    echo "wine: no X display could be started" >&2
    return 1
}

wine_env_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -n "$WINE_LOADER" ]; then
        wineserver_cmd -k >/dev/null 2>&1 || true
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
