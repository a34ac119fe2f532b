#!/usr/bin/env bash
# The program against a StatusNotifierWatcher that misbehaves as real ones do: it refuses the
# item, answers after the program's own time limit, never answers at all, loses its host,
# drops the item before it says yes, or is kded's with no shell. Whatever it does, a hidden window comes back minimised
# within 2 s of its icon's loss, Hide minimises while no icon is confirmed, and the window
# stays live while the watcher hangs.
# Usage: scripted-watcher-test.sh ZELVO SCRIPTED_WATCHER
zelvo=$1
scripted_watcher=$2
source "$(dirname "$0")/../../support/x11-session.sh"
start_x
export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96
run_desktop openbox
wait_until wmctrl -m >/dev/null 2>&1

log=$XDG_RUNTIME_DIR/watcher.log
watcher_on_bus() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null |
        grep -q true
}
start_watcher() { # start_watcher MODE
    : >"$log"
    "$scripted_watcher" "$1" >"$log" 2>/dev/null &
    watcher=$!
    pids+=($watcher)
    wait_until watcher_on_bus
}
registrations() { grep -c '^RegisterStatusNotifierItem' "$log"; }
registered() { [ "$(registrations)" -ge 1 ]; }
hide() { focus_window "$window" && xdotool key alt+h; }
# Put away behind the icon: unmapped, and not minimised.
hidden() { is_not_viewable "$window" && ! iconic "$window"; }
put_away() { hidden || iconic "$window"; }
restore() { wmctrl -i -a "$window"; wait_until is_viewable "$window"; }
# Ends the watcher while the window is hidden and starts one in MODE: the window must come
# back minimised within 2 s of the old watcher's end.
replace_watcher_while_hidden() { # replace_watcher_while_hidden MODE WHAT
    local gone ms
    end_processes "$watcher"
    gone=$(date +%s%N)
    start_watcher "$1"
    wait_until iconic "$window"
    ms=$((($(date +%s%N) - gone) / 1000000))
    check "$2: the hidden window comes back minimised within 2 s ($ms ms)" test "$ms" -le 2000
}

start_watcher accept
start_program
check "the item registers with the watcher" wait_until registered
hide
check "with the icon confirmed, Hide hides the window" wait_until hidden

replace_watcher_while_hidden refuse "a new watcher refuses the item"
restore
hide
check "while refused, Hide minimises" wait_until iconic "$window"
asked_thrice() { [ "$(registrations)" -ge 3 ]; }
check "the program asks again, more slowly each time" wait_until asked_thrice

restore
start_watcher_late() {
    end_processes "$watcher"
    start_watcher late
}
start_watcher_late
wait_until registered
hide_once_icon_stands() { # Hide only hides once the late answer has come: asked until it does
    restore
    hide
    wait_until put_away
    hidden
}
check "an answer later than the program waits still brings the icon: Hide hides" \
    wait_until hide_once_icon_stands

replace_watcher_while_hidden hang "the watcher hangs"
restore
# A GUI thread that waited on the hung watcher would answer only after the bus's 25 s
# timeout; 5 s tells that apart from a machine under load, where reading the box alone
# has taken over a second.
typed_within_5_s() { # one more letter typed appears in the input box within 5 s
    local before after start
    before=$(read_box "$window" 0)
    start=$(date +%s%N)
    xdotool key End x
    after=$(read_box "$window" 0)
    local ms=$((($(date +%s%N) - start) / 1000000))
    [ "$after" = "${before}x" ] && [ "$ms" -le 5000 ]
}
read_box "$window" 0 >/dev/null # the box has the keyboard from here on
live=0
for _ in 1 2 3 4 5 6; do
    typed_within_5_s && live=$((live + 1))
    sleep 0.5
done
check "while the watcher hangs, typed text appears within 5 s ($live of 6)" test "$live" -eq 6
hide
check "and Hide minimises" wait_until iconic "$window"
check "the program still runs" kill -0 "$app"

# A host that leaves counts as gone at once: said by a signal, after which the watcher answers
# nothing, or only by the watcher's property (Cinnamon's, which outlives its shell).
lose_host_while_hidden() { # lose_host_while_hidden HOW WHAT
    local lost ms
    end_processes "$watcher"
    start_watcher accept
    wait_until hide_once_icon_stands
    lost=$(date +%s%N)
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.zelvo.Test.LoseHost "$1" >/dev/null
    wait_until iconic "$window"
    ms=$((($(date +%s%N) - lost) / 1000000))
    check "$2: the hidden window comes back minimised within 2 s ($ms ms)" test "$ms" -le 2000
}
lose_host_while_hidden signal "the only host leaves, and the watcher falls silent"
lose_host_while_hidden property "the watcher's property says its host left"

# KDE's kded, its watcher, while Plasma's shell is down: it says a host is registered, yet no
# host owns a name, and none shows the icon.
end_processes "$watcher"
start_watcher kded
restore
wait_until registered
sleep 1
hide
check "kded's watcher with no shell: Hide minimises" wait_until iconic "$window"

# Registered and dropped by the watcher's signals before its yes to the call comes: the yes
# confirms nothing.
end_processes "$watcher"
start_watcher drop
restore
wait_until registered
sleep 1 # past the late yes
hide
check "a watcher that drops the item before its late yes: Hide minimises" wait_until iconic "$window"
finish
