#!/usr/bin/env bash
# The program as a native Wayland client of headless sway, with waybar's tray as the
# StatusNotifierItem host: first without any host, then with waybar started late, then
# with waybar restarted. A headless seat has no pointer, so the test makes the calls that
# waybar makes on a click: Activate, and the exported menu's AboutToShow and "clicked".
# sway refuses to run as root; there the test runs itself as nobody, from a copy.
# Usage: sni-wayland-test.sh ZELVO
zelvo=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -eq 0 ]; then
    copy=$(mktemp -d)
    trap 'rm -rf "$copy"' EXIT
    mkdir -p "$copy/tests/ui/qt" "$copy/ui"
    cp -r "$here/../../support" "$copy/tests/"
    cp "$0" "$copy/tests/ui/qt/"
    cp "$here/../../../ui/Layout.h" "$copy/ui/"
    cp "$zelvo" "$copy/zelvo"
    chmod -R a+rX "$copy"
    chmod 755 "$copy"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$copy" bash "$copy/tests/ui/qt/$(basename "$0")" "$copy/zelvo" &
    child=$!
    # Interrupted, the copy still goes: the run as nobody ends first, then the EXIT trap.
    trap 'kill "$child" 2>/dev/null; wait "$child"; exit 130' INT TERM
    wait "$child"
    exit $?
fi
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"

session_dir=$(mktemp -d)
chmod 700 "$session_dir"
export XDG_RUNTIME_DIR=$session_dir HOME=$session_dir XDG_CONFIG_HOME=$session_dir/config \
    XDG_CURRENT_DESKTOP=sway DESKTOP_SESSION=sway XDG_SESSION_TYPE=wayland
unset DISPLAY
mkdir -p "$XDG_CONFIG_HOME/waybar"
printf 'xwayland disable\n' >"$session_dir/sway.conf"
printf '{ "height": 24, "modules-right": ["tray"], "tray": { "spacing": 4 } }\n' \
    >"$XDG_CONFIG_HOME/waybar/config"
start_session_bus
run_desktop WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$session_dir/sway.conf"
wait_until test -S "$session_dir/wayland-1"
export WAYLAND_DISPLAY=wayland-1 SWAYSOCK
SWAYSOCK=$(ls "$session_dir"/sway-ipc.*.sock 2>/dev/null | head -1)
# The headless seat has no keyboard: one virtual keyboard stays for the whole test, so that
# the window's keyboard does not come and go with each wtype.
command wtype -s 3600000 &
pids+=($!)

# The window as sway sees it: absent while hidden, "visible" and maybe "focused" when shown.
tree() { swaymsg -t get_tree 2>/dev/null | tr -d '\n'; }
window_node() { tree | grep -o "\"name\": \"$(window_caption)\"[^{}]*\"visible\": [a-z]*"; }
window_shown() { window_node | grep -q '"visible": true'; }
window_gone() { [ -z "$(window_node)" ]; }
# The first name after the focused mark is the focused node's own.
window_focused() {
    tree | grep -o '"focused": true.*' | grep -o -m1 '"name": "[^"]*"' | head -1 |
        grep -qF "\"$(window_caption)\""
}
describe_window() {
    echo "as sway has it: $(window_node || echo none); focused: $(window_focused && echo yes || echo no)"
}
start_waybar() {
    run_desktop waybar
    waybar_pid=$desktop_pid
    wait_until sni_host_present
}
# Each wtype brings its own keymap, which the window must take before the keys count.
keys() { sleep 0.3; wtype -d 5 "$@"; }
alt() { keys -M alt -k "$1" -m alt; }
read_box() { # the text of the box `tabs` presses of Tab after the input box, copied
    alt d # Decode puts the focus back into the input box
    for _ in $(seq "$1"); do keys -k Tab; done
    keys -M ctrl a c -m ctrl
    sleep 0.2
    timeout 5 wl-paste -n 2>/dev/null
}

line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
run_zelvo QT_QPA_PLATFORM=wayland
check "the window comes up on Wayland" wait_until window_shown
sleep 0.5
keys "$line"
serial=$(read_box 3)
check "a typed line decodes ($serial)" test "$serial" = 000000002101482501
alt c
keys "$line"
check "Clear empties the input box and leaves the focus there" test "$(read_box 0)" = "$line"
alt h
sleep 0.5
check "without a tray, Hide leaves the window reachable" window_shown

start_waybar
check "a tray started later gets the icon" wait_until sni_item_registered
check "with the caption as its tooltip" test "$(sni_tooltip)" = "$(window_caption)"
check "and the window's pixels ($(sni_icon_colours))" sni_icon_matches_table
alt h
check "Hide now hides the window" wait_until window_gone
sni_activate
check "the icon's activation shows it again" wait_until window_shown
check "in front, with the focus" wait_until window_focused
got=$(read_box 0)
check "with its line ($got)" test "$got" = "$line"

alt h
wait_until window_gone
end_processes "$waybar_pid"
gone=$(date +%s%N)
wait_until window_shown
ms=$((($(date +%s%N) - gone) / 1000000))
check "the tray gone while hidden, the window is back within 2 s ($ms ms)" test "$ms" -le 2000
start_waybar
sleep 2
check "a restarted tray gets the icon again, once" sni_one_item
alt h
check "Hide hides the window again" wait_until window_gone
sni_activate
check "and its activation shows it" wait_until window_shown
end_processes "$waybar_pid"
alt h
sleep 0.5
check "the tray gone while the window is shown, Hide leaves it reachable" window_shown
start_waybar
wait_until sni_item_registered
check "the exported menu holds Exit" sni_menu_has_exit
check "the program still runs when Exit is chosen" alive "$app"
sni_menu_click_exit
check "choosing Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the item leaves the watcher's list" wait_until sni_no_item_registered
finish
