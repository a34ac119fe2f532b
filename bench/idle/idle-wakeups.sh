#!/usr/bin/env bash
# Prints how often an idle Zelvo wakes up (context switches of all its threads per second,
# over a 20 s window) hidden behind trayer, hidden behind xfce4-panel's StatusNotifierItem
# host (also while other programs come and go on the bus), and minimised by a window manager with no tray; beside them a bare Qt window,
# minimised, when its program is given. Figures, not a test: nothing here passes or fails.
# Usage: idle-wakeups.sh ZELVO [BARE_QT_WINDOW]   (ZELVO_IDLE_SECONDS: the window, 20 s)
zelvo=$1
bare=${2:-}
seconds=${ZELVO_IDLE_SECONDS:-20}
here=$(cd "$(dirname "$0")" && pwd)
tests=$here/../../tests
source "$tests/support/processes.sh"
[ -n "${ZELVO_TEST_RUN:-}" ] || mark_test_run
source "$tests/support/x11-session.sh"
source "$tests/support/sni-host.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$(dirname "$zelvo")/../..")}
config=$(mktemp -d)
trap 'cleanup; rm -rf "$config"' EXIT
mkdir -p "$config/home/xfce4/xfconf/xfce-perchannel-xml" "$config/dirs"
cp "$tests/ui/qt/hosts/xfce4-panel.xml" "$config/home/xfce4/xfconf/xfce-perchannel-xml/"
export XDG_CONFIG_HOME=$config/home XDG_CONFIG_DIRS=$config/dirs
export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96

switches() { # all threads' context switches so far
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ {sum += $2} END {print sum + 0}'
}
measure() { # measure WHAT: the program's wake-ups per second while it sits idle
    sleep 3 # past the start and the hide
    local before after
    before=$(switches "$app")
    sleep "$seconds"
    after=$(switches "$app")
    awk -v what="$1" -v n=$((after - before)) -v s="$seconds" 'BEGIN {printf "%-52s %6.2f wake-ups/s\n", what, n / s}'
}
hide_window() { focus_window "$window" && xdotool key alt+h; }

start_x
trayer --edge top --align right --widthtype request --height 24 --transparent false \
    >/dev/null 2>&1 &
tray=$!
pids+=($tray)
start_program
hide_window
measure "hidden behind trayer (XEmbed)"
end_processes "$app" "$tray"

start_x
xfce4-panel --disable-wm-check >/dev/null 2>&1 &
pids+=($!)
wait_until sni_host_present
start_program
hide_window
measure "hidden behind xfce4-panel (StatusNotifierItem)"
# Other programs connecting to the bus and leaving again, five a second.
(while :; do
    timeout 5 dbus-send --session --dest=org.freedesktop.DBus --type=method_call \
        /org/freedesktop/DBus org.freedesktop.DBus.Peer.Ping 2>/dev/null
    sleep 0.2
done) &
pids+=($!)
measure "the same, while 5 connections a second come and go"
cleanup

start_x
openbox >/dev/null 2>&1 & # a window manager, to minimise the window
pids+=($!)
wait_until wmctrl -m >/dev/null 2>&1
start_program
hide_window
wait_until iconic "$window"
measure "minimised by openbox, no tray"
if [ -n "$bare" ]; then
    end_processes "$app"
    "$bare" >/dev/null 2>&1 &
    app=$!
    pids+=($app)
    wait_until test -n "$(xdotool search --name '^bare Qt window$' 2>/dev/null)"
    xdotool windowminimize "$(xdotool search --name '^bare Qt window$' | head -1)"
    measure "a bare Qt window, minimised by openbox"
fi
