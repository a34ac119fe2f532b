#!/usr/bin/env bash
# The program behind its icon on a StatusNotifierItem host under X11: xfce4-panel with only
# its notification area, clicked with xdotool as a user would; the panel restarted; calls no
# host would make. Then, with a window manager: the panel comes after the program, when an
# X11 tray (trayer) already holds the icon; it restarts, and goes away.
# Usage: sni-x11-test.sh ZELVO
zelvo=$1
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
# xfconfd is started by the session bus, so the panel's configuration must be in place first.
config=$(mktemp -d)
trap 'cleanup; rm -rf "$config"' EXIT
mkdir -p "$config/home/xfce4/xfconf/xfce-perchannel-xml" "$config/dirs"
cp "$here/hosts/xfce4-panel.xml" "$config/home/xfce4/xfconf/xfce-perchannel-xml/"
export XDG_CONFIG_HOME=$config/home XDG_CONFIG_DIRS=$config/dirs
start_x
export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96 XDG_CURRENT_DESKTOP=XFCE DESKTOP_SESSION=xfce \
    XDG_SESSION_TYPE=x11

start_panel() { # start_panel [VARIABLE=VALUE...]
    run_desktop "$@" xfce4-panel --disable-wm-check
    panel=$desktop_pid
    wait_until sni_host_present
}
panel_window() { xdotool search --onlyvisible --name '^xfce4-panel$' 2>/dev/null | head -1; }
# The item's icon: the middle of the notification area, the panel's only plugin.
click_icon() {
    local button=$1
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^wrapper-2.0$' | head -1)")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click "$button"
}
# A menu the panel draws: a new override-redirect window of the panel's plugin process.
panel_menu() {
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
        [ "$HEIGHT" -gt 10 ] && [ "$HEIGHT" -lt 200 ] && [ "$WIDTH" -lt 400 ] &&
            xprop -id "$w" WM_CLASS 2>/dev/null | grep -qi 'wrapper\|xfce4-panel' && echo "$w"
    done | head -1
}
has_panel_menu() { [ -n "$(panel_menu)" ]; }

# The program's small windows: an icon docked in an X11 tray, or a popup menu of its own.
small_windows() { xdotool search --onlyvisible --classname '^zelvo$' 2>/dev/null | grep -vx "$window"; }
has_small_window() { [ -n "$(small_windows)" ]; }
has_no_small_window() { [ -z "$(small_windows)" ]; }

start_panel
check "the panel's host is on the session bus" sni_host_present
start_program
check "the item registers with the watcher" wait_until sni_item_registered
check "its title is the program's name" test "$(sni_title)" = Zelvo
check "its tooltip is the caption" test "$(sni_tooltip)" = "$(window_caption)"
check "its pixels are the window's icon ($(sni_icon_colours))" sni_icon_matches_table
eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
panel_top=$Y panel_height=$HEIGHT
wait_until icon_crisp
check "the panel draws it crisp at its own icon size (grey, blended: $grey, $blended)" icon_crisp

line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
focus_window "$window"
xdotool type --delay 10 "$line"
xdotool key alt+d alt+h
check "Alt+H hides the window" wait_until is_not_viewable "$window"
click_icon 1
check "one left click on the icon shows it again" wait_until is_viewable "$window"
check "with its texts" test "$(read_box "$window" 0)" = "$line"

xdotool key alt+h
wait_until is_not_viewable "$window"
end_processes "$panel"
# Back at 200 %: the panel looks the icon up at 44 pixels in the item's theme.
start_panel GDK_SCALE=2
check "after the panel restarts (at GDK_SCALE=2), the item is registered again" wait_until sni_item_registered
eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
panel_top=$Y panel_height=$HEIGHT
wait_until icon_crisp 2
check "at 200 % it draws the icon at twice or more, nothing blended (grey, blended: $grey, $blended)" \
    icon_crisp 2
click_icon 1
if ! check "and its click still shows the window" wait_until is_viewable "$window"; then
    echo "  the watcher lists: $(sni_items | tr '\n' ' '); icons drawn: $(xdotool search --onlyvisible --name '^wrapper-2.0$' | wc -l) wrapper window(s)"
fi

odd=$(sni_odd_calls)
check "calls no host would make are all answered${odd:+: $odd}" test -z "$odd"
check "and leave the program running, its item intact" test "$(sni_title)" = Zelvo
check "a ContextMenu call opens no menu of ours" has_no_small_window

click_icon 3
check "a right click opens the panel's menu" wait_until has_panel_menu
menu=$(panel_menu)
check "whose item reads Exit" sni_menu_has_exit
eval "$(xdotool getwindowgeometry --shell "$menu")"
# Hosts keep calling while the program ends: nothing of that may crash it.
for _ in $(seq 40); do menu_call GetLayout 0 -1 '[]' >/dev/null; sni_title >/dev/null; done &
calls=$!
check "the program still runs when Exit is chosen" alive "$app"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
check "choosing Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the item leaves the watcher's list" wait_until sni_no_item_registered
end_processes "$calls"

echo "--- a late host, and a host that goes away"
cleanup
start_x
run_desktop openbox
wait_until wmctrl -m
start_program
run_desktop trayer --edge top --align right --widthtype request --height 24 --transparent false
trayer_pid=$desktop_pid
check "an X11 tray that comes first gets the icon" wait_until has_small_window
start_panel
check "a StatusNotifierItem host that comes later gets it" wait_until sni_item_registered
check "and the X11 tray gives it up: one icon" wait_until has_no_small_window
end_processes "$trayer_pid"

focus_window "$window"
xdotool key alt+h
check "Hide hides the window" wait_until is_not_viewable "$window"
check_back_when_host_ends "$panel" "the panel"
start_panel
sleep 2
check "the panel back, the item is registered once" sni_one_item
focus_window "$window"
xdotool key alt+h
check "Hide hides the window again" wait_until is_not_viewable "$window"
click_icon 1
check "and a click on the icon still shows it" wait_until is_viewable "$window"
end_processes "$panel"
focus_window "$window"
xdotool key alt+h
check "the panel gone while the window is shown, Hide minimises" wait_until iconic "$window"
finish
