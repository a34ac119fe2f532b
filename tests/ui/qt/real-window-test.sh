#!/usr/bin/env bash
# The Qt program in a real X window: it maps with its caption and client size, and a line
# typed as a scanner types it, then Alt+D, gives the three decoded strings.
# Usage: real-window-test.sh ZELVO ZELVO_DECODE
zelvo=$1
zelvo_decode=$2
source "$(dirname "$0")/../../support/x11-session.sh"
start_x

line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
IFS=$'\t' read -r serial type code < <(echo "$line" | "$zelvo_decode")

run_zelvo QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96
check "window maps with its caption" wait_until has_main_window
window=$(main_window)
check "window is viewable" wait_until is_viewable "$window"
eval "$(xwininfo -id "$window" | awk '/Width:/{print "width=" $2} /Height:/{print "height=" $2}')"
check "client area is 499 x 191 pixels (got ${width} x ${height})" test "$width" = 499 -a "$height" = 191

focus_window "$window"
xdotool type --delay 10 "$line"
xdotool key alt+d
sleep 0.3
check "input box keeps the line" test "$(read_box "$window" 0)" = "$line"
check "serial number decoded" test "$(read_box "$window" 3)" = "$serial"
check "code type decoded" test "$(read_box "$window" 4)" = "$type"
check "code decoded" test "$(read_box "$window" 5)" = "$code"

kill -TERM "$app"
check "SIGTERM ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
finish
