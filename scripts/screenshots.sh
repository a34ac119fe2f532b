#!/usr/bin/env bash
# Takes the README's screenshots from the real programs: the Qt window on Linux (under
# openbox) and the Windows program under Wine, each after decoding the example line.
# Usage: scripts/screenshots.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
source "$root/tests/support/x11-session.sh"
source "$root/tests/support/wine-session.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$linux")}
out=$root/docs/screenshots
mkdir -p "$out"
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'

start_x
openbox >/dev/null 2>&1 &
pids+=($!)
wait_until wmctrl -m >/dev/null
QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96 "$linux/ui/qt/zelvo" 2>/dev/null &
pids+=($!)
wait_until has_main_window
window=$(main_window)
timeout 5 xdotool windowactivate --sync "$window"
xdotool type --delay 5 "$line"
xdotool key alt+d
sleep 0.5
import -frame -window "$window" "$out/linux.png"
cleanup
pids=()

start_x
wine_start
run_wine explorer /desktop=shot,800x400 "$windows/ui/win32/zelvo.exe" >/dev/null 2>&1 &
pids+=($!)
sleep 6
xdotool type --delay 5 "$line"
xdotool key alt+d
sleep 1
# The window stands at the top left of Wine's desktop; trim the desktop's plain colour.
import -window root -crop 800x370+0+0 +repage -trim +repage "$out/windows.png"
wine_stop
echo "wrote $out/linux.png and $out/windows.png"
