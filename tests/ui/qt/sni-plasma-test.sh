#!/usr/bin/env bash
# The program behind its icon on KDE Plasma (5.27 or 6) on X11, put together as a Plasma
# session does: kwin_x11, xembedsniproxy, kded holding the StatusNotifierWatcher, and
# plasmashell's system tray as the host, drawn by Qt Quick's software renderer. The session's
# variables make Qt load Plasma's platform theme where it is installed for Qt 6. The watcher and the shell
# start after the program, as in a race at session start; then the shell quits while the
# window is hidden and comes back, kded restarts, and the shell's menu ends the program.
# Clicks land where the shell draws the icon.
# Usage: sni-plasma-test.sh ZELVO
zelvo=$1
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
source "$here/../../support/plasma-session.sh"
start_x # its runtime folder serves; its bus knows nothing of the home set below
plasma_session x11
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
panel_top=704 panel_height=64 panel_class=plasmashell


run_desktop kwin_x11
wait_until wmctrl -m >/dev/null 2>&1
run_desktop xembedsniproxy
start_program
start_watcher
start_shell
check "a watcher and a shell started after the program get a StatusNotifierItem" \
    wait_until sni_item_registered
check "the shell draws the icon" wait_until icon_drawn
check_platform_theme "$app" KDEPlasmaPlatformTheme6.so
sleep 1
check "the only item: no X11 tray icon of ours for xembedsniproxy to pass on" sni_one_item
check "no icon of ours stands in an X11 tray" test -z "$(other_windows)"
check_hide_and_click_back

# kded's watcher answers that a host is registered even with no shell running: the shell's
# own bus name tells that it went. The item stays listed for the shell that Plasma starts
# again, which shows it with nothing registered anew.
xdotool key alt+h
wait_until is_not_viewable "$window"
check_back_when_host_ends "$shell" "plasmashell"
start_shell
check "plasmashell back, the item is registered once" wait_until sni_one_item
wait_until icon_drawn
click_icon 1
check "and its click shows the window" wait_until is_viewable "$window"
xdotool key alt+h
wait_until is_not_viewable "$window"
check_kded_restart
wait_until icon_drawn
click_icon 1
check "and a click on the icon shows the window" wait_until is_viewable "$window"

click_icon 3
check "a right click opens the shell's menu" wait_until has_panel_menu
check "whose item reads Exit" sni_menu_has_exit
menu=$(panel_menu)
if [ -n "$menu" ]; then
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    check "the program still runs when Exit is chosen" alive "$app"
    sleep 0.3 # the menu takes a click on the item the pointer rests on
    xdotool click 1
fi
check "choosing Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the item leaves the watcher's list" wait_until sni_no_item_registered
finish
