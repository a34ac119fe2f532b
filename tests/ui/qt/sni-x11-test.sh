#!/usr/bin/env bash
# The program behind its icon on a StatusNotifierItem host under X11: xfce4-panel with only
# its notification area, clicked with xdotool as a user would; then the panel restarted.
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
export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96

start_panel() {
    xfce4-panel --disable-wm-check >/dev/null 2>&1 &
    panel=$!
    pids+=($panel)
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

start_panel
check "the panel's host is on the session bus" sni_host_present
"$zelvo" 2>/dev/null &
app=$!
pids+=($app)
wait_until has_main_window
window=$(main_window)
check "the item registers with the watcher" wait_until sni_item_registered
check "its tooltip is the caption" test "$(sni_tooltip)" = "$(window_caption)"
check "its pixels are the window's icon ($(sni_icon_colours))" sni_icon_matches_table

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
start_panel
check "after the panel restarts, the item is registered again" wait_until sni_item_registered
click_icon 1
check "and its click still shows the window" wait_until is_viewable "$window"

click_icon 3
check "a right click opens the panel's menu" wait_until has_panel_menu
menu=$(panel_menu)
check "whose item reads Exit" sni_menu_has_exit
eval "$(xdotool getwindowgeometry --shell "$menu")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
check "choosing Exit ends the program" wait_until process_ended "$app"
wait "$app"
check "with status 0" test $? -eq 0
check "and the item leaves the watcher's list" wait_until sni_no_item_registered
finish
