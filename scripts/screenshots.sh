#!/usr/bin/env bash
# Takes the README's screenshots from the real programs: the Qt window on Linux (under
# openbox) and the Windows program under Wine at 100 % and 150 % scaling, each after decoding
# the example line.
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

# The Windows program at one scaling: Wine's DPI set for the prefix, then the window shot
# inside a virtual desktop WIDTHxHEIGHT.
shoot_windows() {
    local dpi=$1 size=$2 file=$3
    start_x
    wine_start
    wine_set_dpi "$dpi"
    run_wine explorer /desktop=shot,"$size" "$windows/ui/win32/zelvo.exe" >/dev/null 2>&1 &
    pids+=($!)
    sleep 6
    xdotool type --delay 5 "$line"
    xdotool key alt+d
    sleep 1
    # The window stands at the top left of Wine's desktop; trim the desktop's plain colour
    # (the virtual desktop's taskbar is cut off first).
    import -window root -crop "${size%x*}x$((${size#*x} - 40 * dpi / 96))+0+0" +repage -trim +repage "$out/$file"
    wine_set_dpi 96
    wine_stop
    cleanup
    pids=()
}

shoot_windows 96 800x400 windows.png
shoot_windows 144 1100x560 windows-150.png
# The .ico's 24 and 48 pixel images (150 % small and large), each enlarged to 192 pixels.
ico=$windows/ui/win32/zelvo.ico
convert \( "$ico[2]" -background '#f0f0f0' -flatten -scale 800% \) \
    -size 10x192 xc:white \( "$ico[5]" -background '#f0f0f0' -flatten -scale 400% \) \
    +append -bordercolor white -border 10 \
    "$out/windows-icon-24-48.png"
echo "wrote $out/linux.png, $out/windows.png, $out/windows-150.png and $out/windows-icon-24-48.png"
