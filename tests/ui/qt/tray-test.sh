#!/usr/bin/env bash
# The program behind its icon in a real notification area (trayer, XEmbed), driven with
# xdotool as a user would; then the same program on a desktop without a notification area.
# Usage: tray-test.sh ZELVO
zelvo=$1
source "$(dirname "$0")/../../support/x11-session.sh"
start_x
export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96

line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'

tray_icon() {
    for w in $(other_windows); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -le 32 ] && echo "$w"
    done
}
popup_menu() {
    for w in $(other_windows); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 32 ] && echo "$w"
    done
}
has_tray_icon() { [ -n "$(tray_icon)" ]; }
has_popup_menu() { [ -n "$(popup_menu)" ]; }
has_no_popup_menu() { [ -z "$(popup_menu)" ]; }
has_no_tray_icon() { [ -z "$(tray_icon)" ]; }
icon_centre() {
    eval "$(xdotool getwindowgeometry --shell "$(tray_icon)")"
    echo $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
}
colour_count() { # the number of the window's pixels of one colour
    local window=$1 colour=$2
    timeout -k 2 10 import -window "$window" "$XDG_RUNTIME_DIR/shot.png" 2>/dev/null
    convert "$XDG_RUNTIME_DIR/shot.png" -format %c histogram:info:- |
        awk -v c="$colour" 'toupper($0) ~ c {sum += $1} END {print sum + 0}'
}

start_trayer() { # start_trayer [HEIGHT]
    # Tinted: its background is a colour of its own, which the icon must not cover.
    run_desktop trayer --edge top --align right --widthtype request --height "${1:-24}" \
        --transparent true --tint 0x802020 --alpha 0
    trayer_pid=$desktop_pid
    wait_until test -n "$(xdotool search --name '^panel$' 2>/dev/null)"
}
start_window_manager() {
    run_desktop openbox
    wait_until wmctrl -m
}
activate_window() { timeout 5 xdotool windowactivate --sync "$window" 2>/dev/null; }
double_click_icon() {
    local ix iy
    read -r ix iy < <(icon_centre)
    xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
}

echo "--- with a notification area"
start_trayer
start_program
check "the icon docks in the notification area" wait_until has_tray_icon
check "exactly one icon of the program" test "$(tray_icon | wc -l)" -eq 1
icon=$(tray_icon)
# The tray draws the 16x16 image unscaled: exactly as many grey pixels as the table has.
rows=$(grep -o '"[0-9]\{16\}"' "$(dirname "$0")/../../../ui/Layout.h" | tr -d '"\n')
want_grey=$(tr -cd 7 <<<"$rows" | wc -c)
want_blue=$(tr -cd 4 <<<"$rows" | wc -c)
icon_drawn() { # the tray paints the docked window when it likes: waited for
    grey=$(colour_count "$icon" '#C0C0C0')
    blue=$(colour_count "$icon" '#000080')
    [ "$grey" -eq "$want_grey" -a "$blue" -ge "$want_blue" ]
}
wait_until icon_drawn
check "the icon shows the window's image ($grey of $want_grey grey, $blue of $want_blue blue)" \
    test "$grey" -eq "$want_grey" -a "$blue" -ge "$want_blue" ||
    xwininfo -id "$icon" | grep -E 'Width|Height|Map State'

check "around the image, the tray's own tint ($(around_image "$icon" | paste -sd' '))" \
    test "$(around_image "$icon")" = '#7F1F1F'

focus_window "$window"
xdotool type --delay 10 "$line"
xdotool key alt+d
sleep 0.3
serial=$(read_box "$window" 3)
xdotool key alt+h
check "Alt+H hides the window" wait_until is_not_viewable "$window"
read -r ix iy < <(icon_centre)
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
check "a double-click on the icon shows it again" wait_until is_viewable "$window"
check "with the same input line" test "$(read_box "$window" 0)" = "$line"
check "and the same decoded serial number" test "$(read_box "$window" 3)" = "$serial"

eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 494)) $((Y + 186)) mousedown 1 mousemove $((X + 515)) $((Y + 186)) \
    sleep 0.2 mousemove $((X + 516)) $((Y + 186)) sleep 0.2 mouseup 1
sleep 0.3
check "pointer moves past 515 and 516 pixels open no menu" has_no_popup_menu

xdotool mousemove "$ix" "$iy" mousedown 3 mouseup 3
check "a right-click on the icon opens the popup menu" wait_until has_popup_menu
eval "$(xdotool getwindowgeometry --shell "$(popup_menu)")"
check "at the pointer" test $((ix >= X && ix <= X + WIDTH && Y - iy <= 24 && Y - iy >= -24)) -eq 1
xdotool key Escape
check "Escape closes the menu" wait_until has_no_popup_menu
sleep 0.3
check "and nothing happens" is_viewable "$window"
xdotool mousemove "$ix" "$iy" mousedown 3 mouseup 3
wait_until has_popup_menu
eval "$(xdotool getwindowgeometry --shell "$(popup_menu)")"
xdotool mousemove 5 700 click 1
check "a click elsewhere closes the menu" wait_until has_no_popup_menu
xdotool mousemove "$ix" "$iy" mousedown 3 mouseup 3
wait_until has_popup_menu
eval "$(xdotool getwindowgeometry --shell "$(popup_menu)")"
check "the program still runs when Exit is chosen" alive "$app"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
check "Exit ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
check "and the icon is gone" wait_until has_no_tray_icon

start_program
wait_until has_tray_icon
kill -TERM "$app"
check "SIGTERM ends the program" wait_until process_ended "$app"
check "and removes the icon" wait_until has_no_tray_icon

echo "--- a notification area that starts after the program, restarts and goes away"
cleanup
start_x
start_window_manager
start_program
start_trayer
check "the icon docks in a tray started later" wait_until has_tray_icon
activate_window
xdotool key alt+h
check "then Hide hides the window" wait_until is_not_viewable "$window"
check_back_when_host_ends "$trayer_pid" "the tray"
start_trayer
sleep 2
check "a tray that comes back gets exactly one icon" test "$(tray_icon | wc -l)" -eq 1
activate_window
xdotool key alt+h
check "Hide hides the window again" wait_until is_not_viewable "$window"
double_click_icon
check "and a double-click on the icon shows it" wait_until is_viewable "$window"
end_processes "$trayer_pid"
activate_window
xdotool key alt+h
check "the tray gone while the window is shown, Hide minimises" wait_until iconic "$window"

echo "--- at 150 % and 200 %, in a tray 44 pixels high"
panel_top=0 panel_height=44
for scale in 1.5 2; do
    cleanup
    start_x
    start_trayer 44
    start_program QT_SCALE_FACTOR=$scale
    wait_until has_tray_icon
    # Hidden, so that the window, twice as large, does not stand over the tray.
    focus_window "$window"
    xdotool key alt+h
    wait_until is_not_viewable "$window"
    multiple=${scale%.*}
    wait_until icon_crisp
    check "at $scale, the design stands at ${multiple}x in screen pixels (grey, blended: $grey, $blended)" \
        test "$grey" -eq $((72 * multiple * multiple)) -a "$blended" -eq 0
done
unset panel_top panel_height

echo "--- without a notification area"
cleanup
start_x
start_window_manager
start_program
check "the window comes up" wait_until is_viewable "$window"
activate_window
xdotool key alt+h
check "Hide minimises instead of hiding" wait_until iconic "$window"
check "the minimised window stays on the desktop's window list" in_window_list
wmctrl -c "$(window_caption)"
check "closing the window ends the program" wait_until process_ended "$app"
check "with status 0" ended_with 0 "$app"
finish
