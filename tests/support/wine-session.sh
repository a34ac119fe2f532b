# Wine for the Windows tests and the screenshots: the loader this machine can run, and a
# prefix made with that loader. Source it after x11-session.sh; call wine_start.
#
# Debian's wine and wineboot wrappers start the 32-bit loader whenever it is installed, and
# on a kernel that cannot execute 32-bit programs that fails even for 64-bit ones: there
# the 64-bit loader is called directly. With WINEDEBUG=-all a failed load still exits 0,
# so callers insist on their program's own summary line.
set -uo pipefail

# True when this machine runs 32-bit programs (ZELVO_NO_32BIT=1 plays a machine that cannot).
can_run_32bit() {
    [ "${ZELVO_NO_32BIT:-0}" != 1 ] && [ -x /usr/lib/wine/wine ] &&
        /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_start() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local cache=${ZELVO_WINE_DIR:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}}
    if can_run_32bit; then
        wine_loader=wine
        export WINEPREFIX=${ZELVO_WINEPREFIX:-$cache/zelvo-wine}
    else
        wine_loader=/usr/lib/wine/wine64
        export WINEPREFIX=${ZELVO_WINEPREFIX:-$cache/zelvo-wine64}
        export WINELOADER=$wine_loader
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    [ -f "$WINEPREFIX/system.reg" ] || "$wine_loader" wineboot --init >/dev/null 2>&1
    # Wine draws the title bar's buttons with Marlett; Debian's fonts-wine has it, but the
    # 64-bit loader alone does not find it there.
    if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # Every program runs in a virtual desktop: hiding and showing a window is then immediate.
    run_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    run_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
}

run_wine() { "$wine_loader" "$@"; }

# The screen's dots per inch for the prefix's next programs (96 is 100 % scaling). Wine reads
# the setting when it starts, so the prefix's processes are ended after the change.
wine_set_dpi() {
    run_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine_stop
}

# Ends the prefix's wineserver and every Wine process of it.
wine_stop() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
