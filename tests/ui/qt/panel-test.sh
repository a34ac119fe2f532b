#!/usr/bin/env bash
# The program behind its icon on a desktop's own panel, each started as its session starts it
# and with its session's variables: MATE (mate-panel's notification area, a StatusNotifierItem
# host), LXDE (lxpanel's tray, XEmbed), GNOME Flashback (gnome-panel's tray; gnome-flashback
# owns a watcher with no host) and Cinnamon (its XApp status applet, through
# xapp-sn-watcher; the shell is the window manager too, on Mesa's software renderer); and
# xfce4-panel's GTK tray with XEmbed alone. The story is panel-story.sh's; a desktop adds
# how its panel starts and where it draws.
# Usage: panel-test.sh mate|lxde|flashback|cinnamon|xfce-xembed ZELVO
desktop=$1
zelvo=$2
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
config=$(mktemp -d)
trap 'cleanup; rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96 XDG_SESSION_TYPE=x11

need() {
    local program
    for program in "$@"; do
        command -v "$program" >/dev/null || [ -x "$program" ] || {
            echo "FAILED: $program is not installed (scripts/setup-deps.sh desktops installs it)"
            exit 1
        }
    done
}
panel_up() { test -n "$(xdotool search --onlyvisible --classname "^$panel_class\$" 2>/dev/null)"; }

case $desktop in
mate)
    need mate-panel marco
    export XDG_CURRENT_DESKTOP=MATE DESKTOP_SESSION=mate
    # Its default layout: the notification area on the top panel, a window list at the foot.
    panel_top=0 panel_height=24 panel_class=mate-panel
    start_window_manager() { run_desktop marco --no-composite; }
    start_panel() {
        run_desktop mate-panel
        panel=$desktop_pid
        wait_until sni_host_present
    }
    ;;
lxde)
    need lxpanel openbox
    export XDG_CURRENT_DESKTOP=LXDE DESKTOP_SESSION=LXDE
    # The session's panel profile, with the tray and the clock alone.
    mkdir -p "$config/lxpanel/LXDE/panels"
    cat >"$config/lxpanel/LXDE/panels/panel" <<'PANEL'
Global {
  edge=bottom
  widthtype=percent
  width=100
  height=26
}
Plugin {
  type=tray
}
Plugin {
  type=dclock
}
PANEL
    panel_top=742 panel_height=26 panel_class=lxpanel
    start_window_manager() { run_desktop openbox; }
    start_panel() {
        run_desktop lxpanel --profile LXDE
        panel=$desktop_pid
        wait_until panel_up
    }
    ;;
flashback)
    need gnome-flashback gnome-panel metacity
    export XDG_CURRENT_DESKTOP=GNOME-Flashback:GNOME DESKTOP_SESSION=gnome-flashback-metacity \
        XDG_SESSION_DESKTOP=gnome-flashback-metacity
    # The notification area stands on the top panel, left of the clock; the user menu's
    # blue screen icon stands right of it.
    panel_top=0 panel_height=24 panel_left=512 panel_width=400 panel_class=gnome-panel
    start_window_manager() {
        run_desktop metacity
        run_desktop gnome-flashback
    }
    start_panel() {
        run_desktop gnome-panel
        panel=$desktop_pid
        wait_until panel_up
    }
    ;;
xfce-xembed)
    need xfce4-panel openbox
    export XDG_CURRENT_DESKTOP=XFCE DESKTOP_SESSION=xfce
    # The panel's notification area alone, on a bus of its own: the program meets only its
    # X11 tray, GTK's, as beside a panel whose StatusNotifierItem half is off.
    mkdir -p "$config/xfce4/xfconf/xfce-perchannel-xml"
    cp "$here/hosts/xfce4-panel.xml" "$config/xfce4/xfconf/xfce-perchannel-xml/"
    panel_top=742 panel_height=26 panel_class=xfce4-panel
    start_window_manager() {
        run_desktop openbox
        local address_file
        address_file=$(mktemp -p "$config")
        run_desktop dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$address_file"
        wait_until test -s "$address_file"
        panel_bus=$(head -1 "$address_file")
    }
    start_panel() {
        run_desktop DBUS_SESSION_BUS_ADDRESS="$panel_bus" xfce4-panel --disable-wm-check
        panel=$desktop_pid
        wait_until panel_up
    }
    ;;
cinnamon)
    # As the session starts it: its path differs between releases.
    watcher=$(sed -n 's/^Exec=//p' /etc/xdg/autostart/xapp-sn-watcher.desktop 2>/dev/null)
    need cinnamon "${watcher:-xapp-sn-watcher}"
    export XDG_CURRENT_DESKTOP=X-Cinnamon DESKTOP_SESSION=cinnamon XDG_SESSION_DESKTOP=cinnamon
    # The panel's right half: its tray applets, away from the window list.
    panel_top=728 panel_height=40 panel_left=512 panel_width=512 panel_manages_windows=true
    start_window_manager() {
        # Its panel with the menu, both trays and the clock. Its network applet fails here
        # (no NetworkManager), and the shell started again says so in a notice whose counter
        # shifts the applets a few seconds later, under a click on the icon.
        gsettings set org.cinnamon enabled-applets "['panel1:left:0:menu@cinnamon.org:0',
            'panel1:right:0:systray@cinnamon.org:1', 'panel1:right:1:xapp-status@cinnamon.org:2',
            'panel1:right:2:calendar@cinnamon.org:3']"
        run_desktop "$watcher"
    }
    start_panel() {
        run_desktop cinnamon
        panel=$desktop_pid
        wait_until sni_host_present
    }
    ;;
*)
    echo "usage: panel-test.sh mate|lxde|flashback|cinnamon|xfce-xembed ZELVO" >&2
    exit 2
    ;;
esac

source "$here/../../support/panel-story.sh"
tell_panel_story
finish
