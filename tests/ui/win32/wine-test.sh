#!/usr/bin/env bash
# Runs the Windows test driver against zelvo.exe under Wine, in a Wine virtual desktop
# inside a private X server, once at each scaling people run: 100, 125, 150 and 200 %
# (96, 120, 144 and 192 dpi). Passes only on a summary line with 0 failed in every run:
# a program that never loaded can still leave Wine with status 0.
# Usage: wine-test.sh BUILD_DIR (a Windows build with its driver)
build=$(cd "${1:?build directory}" && pwd)
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/wine-session.sh"
start_x
wine_start
# The prefix is shared with the other Windows tests: it goes back to 100 % however this ends.
trap 'wine_set_dpi 96; wine_stop; cleanup' EXIT

status=0
for dpi in 96 120 144 192; do
    echo "--- at $dpi dpi"
    wine_set_dpi "$dpi"
    log=$(mktemp)
    timeout 300 "$wine_loader" "$build/tests/ui/win32/zelvo-driver.exe" \
        "$(run_wine winepath -w "$build/ui/win32/zelvo.exe")" \
        "$(run_wine winepath -w "$build/ui/win32/zelvo.ico")" "$dpi" 2>/dev/null |
        tr -d '\r' | tee "$log"
    summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
    rm -f "$log"
    if [ -z "$summary" ]; then
        echo "no summary line at $dpi dpi: the driver did not run to its end"
        status=1
    elif [[ "$summary" != *" 0 failed" ]]; then
        status=1
    fi
done
exit "$status"
