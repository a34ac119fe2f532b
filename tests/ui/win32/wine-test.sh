#!/usr/bin/env bash
# Runs the Windows test driver against zelvo.exe under Wine, in a Wine virtual desktop
# inside a private X server. Passes only on a summary line with 0 failed: a program that
# never loaded can still leave Wine with status 0.
# Usage: wine-test.sh BUILD_DIR (a Windows build with its driver)
build=$(cd "${1:?build directory}" && pwd)
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/wine-session.sh"
start_x
wine_start
trap 'wine_stop; cleanup' EXIT

log=$(mktemp)
timeout 300 "$wine_loader" "$build/tests/ui/win32/zelvo-driver.exe" \
    "$(run_wine winepath -w "$build/ui/win32/zelvo.exe")" 2>/dev/null | tr -d '\r' | tee "$log"
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
rm -f "$log"
if [ -z "$summary" ]; then
    echo "no summary line: the driver did not run to its end"
    exit 1
fi
[[ "$summary" == *" 0 failed" ]]
