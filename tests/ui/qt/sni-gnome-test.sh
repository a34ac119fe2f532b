#!/usr/bin/env bash
# The program on GNOME Shell (43 to 48), headless on Wayland or on X11 under Xvfb, with the
# AppIndicator extension as its StatusNotifierItem host. A test-only extension opens the
# shell's Eval, through which the test moves Clutter's virtual pointer and keyboard where
# the shell draws things, and reads the window's state, as a user's eyes would. The shell
# gets private session and system buses; on a system bus with nothing on it, it does without
# logind.
# Usage: sni-gnome-test.sh ZELVO [wayland|x11]   (x11: the shell under Xvfb)
zelvo=$(readlink -f "$1")
session=${2:-wayland}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
appindicator=ubuntu-appindicators@ubuntu.com
eval_extension=zelvo-test@zelvo.invalid

if [ "$session" = x11 ]; then
    start_x # its runtime folder serves; its bus knows nothing of the home set below
else
    unset DISPLAY
    session_dir=$(mktemp -d)
    chmod 700 "$session_dir"
    export XDG_RUNTIME_DIR=$session_dir
fi
# Set before the bus starts: the settings service it starts must write to this home.
# The session's variables are the ones GNOME's session sets, for Qt to load what it loads there.
desktop_session=gnome
[ "$session" = x11 ] && desktop_session=gnome-xorg
export HOME=$session_dir XDG_CONFIG_HOME=$session_dir/config XDG_DATA_HOME=$session_dir/data \
    XDG_SESSION_TYPE=$session XDG_CURRENT_DESKTOP=GNOME DESKTOP_SESSION=$desktop_session \
    GNOME_SHELL_SESSION_MODE=user
mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
# GNOME Shell 45 and later load extensions as modules, and no longer the older form.
shell_version=$(gnome-shell --version | grep -o '[0-9]*' | head -1)
if [ "$shell_version" -ge 45 ]; then
    cp -r "$here/hosts/gnome45/$eval_extension" "$XDG_DATA_HOME/gnome-shell/extensions/"
else
    cp -r "$here/hosts/$eval_extension" "$XDG_DATA_HOME/gnome-shell/extensions/"
fi
start_session_bus
session_bus=$DBUS_SESSION_BUS_ADDRESS
start_session_bus # a second one, as the system bus
export DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS=$session_bus
extensions() { gsettings set org.gnome.shell enabled-extensions "[$1]"; }
# On Wayland the AppIndicator extension comes after the program; on X11 it is there from the
# start, and is switched on while the program runs further down.
if [ "$session" = x11 ]; then
    extensions "'$appindicator', '$eval_extension'"
    run_desktop LIBGL_ALWAYS_SOFTWARE=1 gnome-shell --x11 --replace
else
    extensions "'$eval_extension'"
    run_desktop LIBGL_ALWAYS_SOFTWARE=1 gnome-shell --headless --wayland --no-x11 \
        --virtual-monitor 1280x800
fi

# What the shell's Eval returns, strings without their quotes; nothing on an error.
shell() {
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1" 2>/dev/null |
        sed -n "s/^(true, '\(.*\)')$/\1/p" | sed 's/^"\(.*\)"$/\1/'
}
shell_answers() { [ "$(shell 1)" = 1 ]; }
wait_until shell_answers
# GNOME Shell 43 now and then deadlocks for good right after an extension is switched on or
# off: its main thread waits for a GObject lock (the stacks of a failed check show where).
# With the program alive and the shell silent, the test ends with the status that runs it
# once more.
desktop_hung() { [ -n "${app:-}" ] && alive "$app" && ! shell_answers; }
js_window="global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() == '$(window_caption)')"
js_indicators="Object.entries(global._zelvo.Main.panel.statusArea).filter(([k]) => k.startsWith('appindicator'))"
# The window: "none", or "shown", "minimised", with ",focused" when it has the keyboard.
window_state() {
    shell "let w = $js_window; !w ? 'none' : (w.minimized ? 'minimised' : 'shown') + (w.has_focus() ? ',focused' : '')"
}
window_is() { [ "$(window_state)" = "$1" ]; }
icons() { shell "$js_indicators.length"; }
icons_are() { [ "$(icons)" = "$1" ]; }
# One icon, drawn where a pointer can reach it, with its menu: the shell lists the icon before
# it draws it, and ignores a click on an icon whose menu it has not read yet.
one_icon_ready() {
    icons_are 1 && [ "$(shell "let a = $js_indicators[0][1]; a.mapped && a.get_transformed_size()[0] > 0 &&
        !!a._indicator.menuPath && a.menu.numMenuItems > 0")" = true ]
}
# Debian 12's AppIndicator extension forgets an item's Id and Menu when its watch on the item's
# name answers after the item's properties did (GJS then throws on a null Variant), and now
# and then never finishes reading an item at all: races inside the shell, seen more under load,
# that leave the icon without its menu. When it happens, the icon's state is told, and the
# extension is switched off and on once more, as a user would.
icon_state() {
    shell "Object.keys(global._zelvo.Main.panel.statusArea).join(' ')"
    shell "JSON.stringify($js_indicators.map(([k, a]) => [k, a.mapped, a.get_transformed_size()[0],
        a._indicator.isReady, a._indicator.menuPath, a.menu.numMenuItems]))"
}
# What a failed check shows of the window and the tray, as the shell has them.
describe_window() {
    echo "$(window_state); the shell's focus: $(shell "let f = global.display.focus_window; f ? f.get_title() : 'none'");" \
        "modal grabs: $(shell "global._zelvo.Main.modalCount"); a panel menu open:" \
        "$(shell "!!global._zelvo.Main.panel.menuManager.activeMenu")"
    if [ "$session" = x11 ]; then
        echo "the X server's input focus: $(xdotool getwindowfocus getwindowname 2>&1 | paste -sd ' ');" \
            "the window: $(main_window)"
    fi
}
describe_tray() { icon_state | paste -sd ' '; }
wait_icon_ready() {
    wait_until one_icon_ready && return 0
    echo "note: the shell's icon is not ready: $(icon_state); the extension off and on again"
    extensions "'$eval_extension'"
    wait_until sni_no_host_present
    extensions "'$appindicator', '$eval_extension'"
    wait_until one_icon_ready || { echo "the icons: $(icon_state)"; return 1; }
}
# Real input through Clutter's virtual devices, made once.
shell "const {Clutter, seat} = global._zelvo; global._zp = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
    global._zk = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE); true" >/dev/null
click_icon() { # click_icon COUNT [BUTTON_PRIMARY|BUTTON_SECONDARY]
    shell "const {Clutter, GLib} = global._zelvo; let a = $js_indicators[0][1];
        let [x, y] = a.get_transformed_position(); let [w, h] = a.get_transformed_size();
        global._zp.notify_absolute_motion(GLib.get_monotonic_time(), x + w / 2, y + h / 2);
        for (let i = 0; i < $1; i++) {
            global._zp.notify_button(GLib.get_monotonic_time(), Clutter.${2:-BUTTON_PRIMARY}, Clutter.ButtonState.PRESSED);
            global._zp.notify_button(GLib.get_monotonic_time(), Clutter.${2:-BUTTON_PRIMARY}, Clutter.ButtonState.RELEASED);
        } true" >/dev/null
}
# On X11 the shell now and then keeps the X server's grab of a click on its panel after the
# click is over (3 of 10 loaded runs, after a double click on the icon): its own list of grabs
# is empty, yet every key and click goes to it, none to the window with the focus. A grab
# taken and let go, as each of its menus does, ends it; harmless when there is none.
end_stale_grab() {
    [ "$session" = x11 ] || return 0
    shell "let g = global.stage.grab(global.stage); g.dismiss(); true" >/dev/null
}
key() { # key KEYVAL: a press and a release on Clutter's virtual keyboard
    end_stale_grab
    shell "const {Clutter, GLib} = global._zelvo; let t = GLib.get_monotonic_time();
        global._zk.notify_keyval(t, Clutter.KEY_$1, Clutter.KeyState.PRESSED);
        global._zk.notify_keyval(t + 1, Clutter.KEY_$1, Clutter.KeyState.RELEASED); true" >/dev/null
}
alt_h() {
    end_stale_grab
    shell "const {Clutter, GLib} = global._zelvo; let t = GLib.get_monotonic_time();
        global._zk.notify_keyval(t, Clutter.KEY_Alt_L, Clutter.KeyState.PRESSED);
        global._zk.notify_keyval(t + 1, Clutter.KEY_h, Clutter.KeyState.PRESSED);
        global._zk.notify_keyval(t + 2, Clutter.KEY_h, Clutter.KeyState.RELEASED);
        global._zk.notify_keyval(t + 3, Clutter.KEY_Alt_L, Clutter.KeyState.RELEASED); true" >/dev/null
}
focus_zelvo() { shell "$js_window.activate(global.get_current_time()); true" >/dev/null; }
# The shell starts in its overview, whose search would take the test's keys. It is hidden
# only once the start-up animation has ended: GNOME Shell 48 hidden during it never ends its
# start-up, and the AppIndicator extension waits for that end before it draws any icon.
desktop_shown() {
    [ "$(shell "let m = global._zelvo.Main; if (!m.layoutManager._startingUp) m.overview.hide();
        !m.layoutManager._startingUp && !m.overview.visible")" = true ]
}
check "the shell has started, its overview closed" wait_until desktop_shown

# Each time a host comes, the item registers once: a second call at once makes the extension
# rebuild the icon. Registering again after the watcher dropped the item comes a second later.
dbus-monitor --session "type='method_call',member='RegisterStatusNotifierItem'" \
    >"$session_dir/registrations" 2>/dev/null &
pids+=($!)
doubled_registrations() {
    awk '/^method call/ { sub(/.*time=/, ""); time = $1; call = 1; next }
        call && /string "/ { if ($2 == name && time - last < 0.5) doubled++; name = $2; last = time }
        { call = 0 } END { print doubled + 0 }' "$session_dir/registrations"
}

if [ "$session" = x11 ]; then
    run_zelvo QT_QPA_PLATFORM=xcb
else
    run_zelvo QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-0
fi
check "the window comes up" wait_until window_is shown,focused
extensions "'$appindicator', '$eval_extension'"
check "the AppIndicator extension hosts StatusNotifierItems" wait_until sni_host_present
check "the item registers with it" wait_until sni_item_registered
check "the shell shows exactly one icon" wait_icon_ready
focused=0
for _ in $(seq 10); do
    focus_zelvo
    alt_h
    wait_until window_is none
    click_icon 2
    if wait_until window_is shown,focused; then
        focused=$((focused + 1))
    else
        echo "after the double click:"
        diagnose
    fi
    checked
done
check "a double click on the icon shows the window, focused: $focused of 10" test "$focused" -eq 10
click_icon 2
sleep 1
check "a double click while the window is shown leaves it shown" window_is shown,focused

# Switched on, the extension looks for items already on the bus while the program registers
# its item anew: whatever comes first, one icon.
single=0
for _ in $(seq 5); do
    extensions "'$eval_extension'"
    wait_until sni_no_host_present
    extensions "'$appindicator', '$eval_extension'"
    wait_until one_icon_ready
    sleep 1 # the scan has ended by then
    if icons_are 1 && sni_one_item; then
        single=$((single + 1))
    else
        echo "after switching on: $(icon_state); items: $(sni_items | tr '\n' ' ')"
    fi
done
check "switched off and on five times, exactly one icon: $single of 5" test "$single" -eq 5

extensions "'$eval_extension'"
wait_until sni_no_host_present
focus_zelvo
alt_h
check "the extension switched off, Hide minimises" wait_until window_is minimised
focus_zelvo
extensions "'$appindicator', '$eval_extension'"
check "on again: exactly one icon" wait_icon_ready
focus_zelvo
alt_h
check "Hide hides the window again" wait_until window_is none
extensions "'$eval_extension'"
check "off while the window is hidden: the window comes back" wait_until window_is minimised ||
    echo "  the window: $(window_state)"
extensions "'$appindicator', '$eval_extension'"
check "switched on again while the program runs: exactly one icon" wait_icon_ready
check "each host that comes gets the item registered once" test "$(doubled_registrations)" -eq 0

menu_exit="let m = $js_indicators[0][1].menu; m.isOpen && m._getMenuItems().find(i => i.label && i.label.text == 'Exit')"
menu_has_exit() { [ "$(shell "$menu_exit ? 'yes' : 'no'")" = yes ]; }
menu_closed() { [ "$(shell "$js_indicators[0][1].menu.isOpen")" = false ]; }
click_icon 1 BUTTON_SECONDARY
check "a right click opens the shell's menu, with Exit" wait_until menu_has_exit
key Escape
wait_until menu_closed
click_icon 1
check "so does one click" wait_until menu_has_exit
# The keyboard picks the item: the menu's first and only item, then Enter.
sleep 0.5
check "the program still runs when Exit is chosen" alive "$app"
for k in Down Return; do
    key $k
    sleep 0.2
done
check "choosing Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the icon is gone" wait_until icons_are 0
finish
