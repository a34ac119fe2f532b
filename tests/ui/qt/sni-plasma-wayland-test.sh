#!/usr/bin/env bash
# The program behind its icon on KDE Plasma 6 on Wayland: kwin_wayland, kded holding the
# StatusNotifierWatcher and plasmashell's system tray as the host, the program a Wayland
# client. KWin draws its screen into a window on the test's X server, which passes it the
# test's pointer and keys as a seat's input: clicks land where the shell draws the icon, and
# KWin's own scripting tells how it shows the window. The shell and the watcher come after
# the program, then quit and restart while the window is hidden; the shell's menu ends it.
# Usage: sni-plasma-wayland-test.sh ZELVO   (exits 77, skipped, where Plasma 6 is not installed)
zelvo=$1
here=$(dirname "$0")
source "$here/../../support/x11-session.sh"
source "$here/../../support/sni-host.sh"
source "$here/../../support/plasma-session.sh"
# Plasma 6 only (Debian 13); the tests leave Debian 12's Plasma 5.27 on X11.
[ "$plasma_version" = 6 ] && command -v kwin_wayland >/dev/null ||
    { echo "no Plasma 6 here (kded6, kwin_wayland)"; exit 77; }
start_x # the screen KWin draws into; its bus knows nothing of the home set below
plasma_session wayland
panel_top=704 panel_height=64

run_desktop QT_LOGGING_RULES="kwin_scripting=true" kwin_wayland --x11-display "$DISPLAY" --width 1024 \
    --height 768 --socket wayland-zelvo --no-lockscreen --no-global-shortcuts
kwin_log=${desktop_log[$desktop_pid]}
export WAYLAND_DISPLAY=wayland-zelvo QT_QPA_PLATFORM=wayland
x_display=$DISPLAY
unset DISPLAY # nothing of the session but KWin reaches the X server
kwin_ready() { [ -S "$XDG_RUNTIME_DIR/wayland-zelvo" ]; }
wait_until kwin_ready

# What a JavaScript expression is worth in KWin, by a script that prints it to KWin's log.
evaluations=0
kwin_eval() {
    evaluations=$((evaluations + 1))
    local tag="zelvo-eval-$evaluations" script=$session_dir/eval-$evaluations.js id
    printf 'print("%s " + (%s));\n' "$tag" "$1" >"$script"
    id=$(gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.loadScript "$script" "$tag" 2>/dev/null | grep -o '[0-9]\+' | head -1)
    [ -n "$id" ] || return 1
    gdbus call --session --dest org.kde.KWin --object-path "/Scripting/Script$id" \
        --method org.kde.kwin.Script.run >/dev/null 2>&1
    for _ in $(seq 40); do
        grep -q "$tag " "$kwin_log" && break
        sleep 0.05
    done
    gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.unloadScript "$tag" >/dev/null 2>&1
    sed -n "s/.*$tag //p" "$kwin_log" | tail -1
}
# The window as KWin shows it: "none", or "shown", "minimised", with ",focused" when active.
js_window="workspace.windowList().find(w => w.caption == '$(window_caption)')"
window_state() {
    kwin_eval "(w => !w ? 'none' : (w.minimized ? 'minimised' : 'shown') + (w.active ? ',focused' : ''))($js_window)"
}
window_is() { [ "$(window_state)" = "$1" ]; }
describe_window() { echo "as KWin has it: $(window_state)"; }
# The shell's popup menu: the middle of its frame, or nothing.
menu_centre() {
    kwin_eval "workspace.windowList().filter(w => w.resourceClass == 'plasmashell' && w.popupWindow)
        .map(w => Math.round(w.frameGeometry.x + w.frameGeometry.width / 2) + ' ' +
                  Math.round(w.frameGeometry.y + w.frameGeometry.height / 2)).join(' ')"
}
has_menu() { [ -n "$(menu_centre)" ]; }
# The pointer and keys reach KWin through its window on the X server.
x() { DISPLAY=$x_display xdotool "$@"; }
icon_at() { DISPLAY=$x_display icon_centre; }
icon_shown() { [ -n "$(icon_at)" ]; }
click_at_icon() {
    local ix iy
    read -r ix iy < <(icon_at)
    x mousemove "$ix" "$iy" click "$1"
}
hide_by_keys() {
    x mousemove 500 320 click 1 # into the window, which takes the keys
    x key alt+h
    wait_until window_is none
}


run_zelvo
check "the window comes up focused" wait_until window_is shown,focused
check_platform_theme "$app" KDEPlasmaPlatformTheme6.so
start_watcher
start_shell
check "a watcher and a shell started after the program get one item" wait_until sni_one_item
check "the shell draws the icon" wait_until icon_shown
x mousemove 500 320 click 1
x key alt+h
check "Alt+H hides the window" wait_until window_is none
click_at_icon 1
check "a click on the icon shows it, focused" wait_until window_is shown,focused

hide_by_keys
end_processes "$shell"
gone=$(date +%s%N)
wait_until window_is minimised
ms=$((($(date +%s%N) - gone) / 1000000))
check "plasmashell gone while hidden, the window comes back minimised within 2 s ($ms ms)" \
    test "$ms" -le 2000
start_shell
check "plasmashell back, one item" wait_until sni_one_item
wait_until icon_shown
click_at_icon 1
check "and a click on its icon shows the window, focused" wait_until window_is shown,focused ||
    echo "  the window: $(window_state)"

hide_by_keys
check_kded_restart
wait_until icon_shown
click_at_icon 1
check "a click on the icon shows the window, focused" wait_until window_is shown,focused ||
    echo "  the window: $(window_state)"

click_at_icon 3
check "a right click opens the shell's menu" wait_until has_menu
check "whose item reads Exit" sni_menu_has_exit
read -r mx my < <(menu_centre)
check "the program still runs when Exit is chosen" alive "$app"
x mousemove "$mx" "$my"
sleep 0.3 # the menu takes a click on the item the pointer rests on
x click 1
check "choosing Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the item leaves the watcher's list" wait_until sni_no_item_registered
finish
