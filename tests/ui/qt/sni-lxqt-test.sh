#!/usr/bin/env bash
# The program behind its icon on lxqt-panel, whose statusnotifier plugin is both watcher and
# host: started after the program, clicked with xdotool where the panel draws the icon,
# restarted, and its menu's Exit. Once with the statusnotifier plugin alone, once beside the
# X11 tray plugin, as Debian's default panel has them. The program is a copy of the binary
# alone, with no icon theme beside it or installed: this panel prefers an icon's name to its
# pixmaps, and draws nothing for a name that no theme holds.
# Usage: sni-lxqt-test.sh ZELVO
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
config=$(mktemp -d)
trap 'cleanup; rm -rf "$config"' EXIT
cp "$1" "$config/zelvo"
zelvo=$config/zelvo
# As LXQt's session sets them: Qt loads LXQt's platform theme where it is installed.
export XDG_CONFIG_HOME=$config QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96 XDG_CURRENT_DESKTOP=LXQt \
    DESKTOP_SESSION=lxqt XDG_SESSION_TYPE=x11
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'

start_panel() {
    run_desktop lxqt-panel
    panel=$desktop_pid
    wait_until sni_host_present
}
panel_top=728 panel_height=40 panel_class=lxqt-panel

for plugins in statusnotifier statusnotifier,tray; do
    echo "--- lxqt-panel with $plugins"
    cleanup
    mkdir -p "$config/lxqt"
    printf '[General]\npanels=panel1\n\n[panel1]\nplugins=%s\nposition=Bottom\n\n' "$plugins" \
        >"$config/lxqt/panel.conf"
    printf '[statusnotifier]\ntype=statusnotifier\n\n[tray]\ntype=tray\n' >>"$config/lxqt/panel.conf"
    start_x
    start_program
    start_panel
    check "a panel started later gets a StatusNotifierItem" wait_until sni_item_registered
    check "and draws its icon" wait_until icon_drawn
    check_platform_theme "$app" libqtlxqt.so
    wait_until icon_crisp
    check "at the panel's own size, crisp (grey, blended: $grey, $blended)" icon_crisp
    check "no icon of ours stands in an X11 tray" test -z "$(other_windows)"
    check_hide_and_click_back
    xdotool key alt+h
    wait_until is_not_viewable "$window"
    end_processes "$panel"
    start_panel
    check "the panel restarted, the item is registered once" wait_until sni_one_item
    check "and drawn again" wait_until icon_drawn
    click_icon 1
    check "and its click shows the window" wait_until is_viewable "$window"
    click_icon 3
    check "a right click opens the panel's menu" wait_until has_panel_menu
    check "whose item reads Exit" sni_menu_has_exit
    eval "$(xdotool getwindowgeometry --shell "$(panel_menu)")"
    check "the program still runs when Exit is chosen" alive "$app"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
    check "choosing Exit ends the program" wait_until process_ended "$app"
    check "with status 0" ended_with 0 "$app"
    check "and the item leaves the watcher's list" wait_until sni_no_item_registered
done
finish
