#!/usr/bin/env bash
# Runs the Windows test driver against zelvo.exe under Wine, in a Wine virtual desktop
# inside a private X server. Passes only on a summary line with 0 failed: a program that
# never loaded can still leave Wine with status 0.
# Usage: wine-test.sh BUILD_DIR (a Windows build with its driver)
build=$(cd "${1:?build directory}" && pwd)
source "$(dirname "$0")/../qt/x11-session.sh"
start_x

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${ZELVO_WINEPREFIX:-${HOME:-/tmp}/.cache/zelvo-wine}
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
fi
# Every program runs in a virtual desktop: hiding and showing a window is then immediate.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1

log=$(mktemp)
timeout 300 wine "$build/tests/ui/win32/zelvo-driver.exe" "$(winepath -w "$build/ui/win32/zelvo.exe")" \
    2>/dev/null | tr -d '\r' | tee "$log"
wineserver -k 2>/dev/null
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
rm -f "$log"
if [ -z "$summary" ]; then
    echo "no summary line: the driver did not run to its end"
    exit 1
fi
[[ "$summary" == *" 0 failed" ]]
