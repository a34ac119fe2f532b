# Shared steps of the real-window tests, the Wine tests, the package test and the scripts
# that drive real windows: a private X server and session bus, the program's window, and
# checks that count. Source it; call finish at the end. Everything started is ended on exit.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/processes.sh"
source "$(dirname "${BASH_SOURCE[0]}")/diagnostics.sh"

# The version the window's caption carries: set by CTest from the build, or read from a
# build's CMake cache with version_of_build.
version_of_build() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }
# The version as the source writes it, once, in project() (SOURCE_DIR: a checkout).
version_of_source() { sed -n 's/^project(Zelvo VERSION \([0-9.]*\).*/\1/p' "$1/CMakeLists.txt"; }

passed=0
failed=0
grey=0 blended=0 # what icon_crisp measured last
check() {
    local what=$1 started=$SECONDS
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok: $what"
        note_unanswered
        checked
        return 0
    fi
    failed=$((failed + 1))
    echo "FAILED: $what (after $((SECONDS - started)) s)"
    # Taken before the diagnostics, whose own questions may go to a peer that hangs on purpose.
    local hung
    hung=$(unanswered)
    diagnose
    if [ -n "$hung" ]; then
        echo "stopped: a peer stopped answering, and every later check would wait for it too"
        finish
        # A test that knows its desktop hangs now and then says so with status 75.
        if declare -F desktop_hung >/dev/null && desktop_hung; then
            echo "the desktop stopped answering while the program lived: a fault of the desktop"
            exit 75
        fi
        exit 1
    fi
    checked
    return 1
}

finish() {
    echo "$(basename "$0" .sh): $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Every command that asks the X server, a bus or a desktop is bounded in time: a peer that
# never answers (an X server stopped, a grab never let go, a bus call never replied to) fails
# the check that waits for it, with the diagnostics below, instead of hanging the test until
# CTest's timeout. Each command that ran out of time is noted.
ask_seconds=10
unanswered_log=$(mktemp)
ask() { # ask COMMAND ARGS...
    timeout -k 2 "$ask_seconds" "$@"
    local status=$?
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "$(date +%T) no answer within $ask_seconds s: ${*:1:8}" | cut -c1-200 >>"$unanswered_log"
    fi
    return "$status"
}
for peer_command in xdotool xprop xwininfo import xclip wmctrl busctl gdbus dbus-send gsettings \
    swaymsg wtype wl-paste; do
    eval "$peer_command() { ask $peer_command \"\$@\"; }"
done
unset peer_command
pids=()
cleanup() {
    end_processes "${pids[@]}"
    pids=()
    [ -n "${session_dir:-}" ] && rm -rf "$session_dir"
    # Written again by the next command that runs out of time, or by the next program started.
    rm -rf "$unanswered_log" "$zelvo_log" "$desktop_logs"
    unanswered_seen=0
}
trap cleanup EXIT

# A session bus of the test's own, never the desktop's and never an autolaunched one that
# would outlive the test. It holds no StatusNotifierWatcher, so Qt's tray icon uses XEmbed.
start_session_bus() {
    local address_file
    address_file=$(mktemp)
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$address_file" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$address_file" ] && break
        sleep 0.05
    done
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$address_file")
    export DBUS_SESSION_BUS_ADDRESS
    rm -f "$address_file"
    monitor_session_bus
}

start_x() {
    local fd_file
    fd_file=$(mktemp)
    # -noreset: by default the server resets whenever its last client leaves, and refuses a
    # client that connects meanwhile; the tests' short-lived xdotool and wmctrl leave while a
    # desktop's program starts (KWin then aborted: "could not connect to display").
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fd_file" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -1 "$fd_file")"
    rm -f "$fd_file"
    [ -n "${session_dir:-}" ] && rm -rf "$session_dir"
    session_dir=$(mktemp -d)
    chmod 700 "$session_dir"
    export XDG_RUNTIME_DIR=$session_dir
    start_session_bus
}

# Starts a program of the desktop in the background, VARIABLE=VALUE settings first if any:
# $desktop_pid is its PID. What it prints is kept, and shown if it ends before a check fails.
run_desktop() {
    local name log
    for name in "$@"; do [[ $name == *=* ]] || break; done
    name=$(basename "$name")
    mkdir -p "$desktop_logs"
    log=$(mktemp -p "$desktop_logs" "$name.XXXXXX")
    env "$@" >"$log" 2>&1 &
    desktop_pid=$!
    pids+=($desktop_pid)
    pid_names[$desktop_pid]=$name
    desktop_log[$desktop_pid]=$log
}

# Runs a check until it holds, for at most 20 s of wall time however slow each try is.
wait_until() { wait_within 20 "$@"; }
wait_within() { # wait_within SECONDS CHECK...
    local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME/./}" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# Starts the window program $zelvo, with VARIABLE=VALUE settings if given: $app is its PID.
# Its messages, its tray's account among them, go to the log that a failed check shows.
run_zelvo() {
    env QT_LOGGING_RULES="${QT_LOGGING_RULES:+$QT_LOGGING_RULES;}zelvo.tray.debug=true" "$@" \
        "$zelvo" 2>>"$zelvo_log" &
    app=$!
    pids+=($app)
}
# The same, then $window is its main window.
start_program() {
    run_zelvo "$@"
    wait_until has_main_window
    window=$(main_window)
}

window_caption() { echo "Zelvo - ${ZELVO_VERSION:?set ZELVO_VERSION to the build version}"; }
main_window() {
    local caption
    caption=$(window_caption)
    xdotool search --name "^${caption//./\\.}\$" 2>/dev/null | head -1
}
has_main_window() { [ -n "$(main_window)" ]; }
map_state() { xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p'; }
is_viewable() { [ "$(map_state "$1")" = IsViewable ]; }
is_not_viewable() { [ "$(map_state "$1")" != IsViewable ]; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }
# Whether the child PID has ended with STATUS; never waits for one still running.
ended_with() { # ended_with STATUS PID
    process_ended "$2" || return 1
    wait "$2"
    [ $? -eq "$1" ]
}

# Windows of the program other than its main window: the docked icon and popup menus.
other_windows() {
    local main
    main=$(main_window)
    for w in $(xdotool search --classname '^zelvo$' 2>/dev/null); do
        [ "$w" != "$main" ] && is_viewable "$w" && echo "$w"
    done
}

# The session's variables make Qt load the desktop's platform theme where this system has it
# for Qt 6: checks that the program PID did. check_platform_theme PID PLUGIN_FILE
check_platform_theme() {
    if ! compgen -G "/usr/lib/*/qt6/plugins/platformthemes/$2" >/dev/null; then
        echo "note: no Qt 6 platform theme $2 on this system"
        return 0
    fi
    check "Qt loaded the desktop's platform theme ($2)" grep -q "/$2\$" /proc/"$1"/maps
}

# Under a window manager: whether it shows the window minimised, and lists it.
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'Iconic'; }
in_window_list() { wmctrl -l | grep -qF "$(window_caption)"; }
# Ends the tray host PID while $window is hidden: the window must come back within 2 s,
# minimised and on the window list where a window manager outlives the host, shown where the
# host was the window manager too (panel_manages_windows=true, Cinnamon's shell).
check_back_when_host_ends() {
    local host=$1 what=$2 gone ms back=iconic how=minimised
    ${panel_manages_windows:-false} && back=is_viewable how=shown
    end_processes "$host"
    gone=$(date +%s%N)
    wait_until "$back" "$window"
    ms=$((($(date +%s%N) - gone) / 1000000))
    check "$what gone while hidden, the window comes back $how within 2 s ($ms ms)" \
        test "$ms" -le 2000
    ${panel_manages_windows:-false} || check "on the desktop's window list" in_window_list
}

# The pixels of a panel, from row $panel_top and $panel_height rows high, across the screen
# or from column $panel_left and $panel_width wide (the part where the tray stands, on a
# panel that also shows the window's icon in a window list), one a line: x, y (from the
# panel's top), red, green, blue.
# The colours the screen shows over a rectangle WxH+X+Y, but for the image's navy and grey.
colours_at() {
    timeout -k 2 "$ask_seconds" import -window root -crop "$1" +repage -depth 8 txt:- 2>/dev/null |
        awk 'NR > 1 {print $3}' | grep -v -e '#000080' -e '#C0C0C0' | sort -u
}
# A docked icon's window around its image: the tray's own background, as the screen shows it
# there and beside the window.
# Of a docked window, the part its tray's socket shows: a tray may give the socket less room
# than the window asks for.
geometry_of() {
    local parent
    parent=$(xwininfo -tree -id "$1" 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    { xwininfo -id "$1"; xwininfo -id "$parent"; } 2>/dev/null |
        awk 'BEGIN {n = 0} /Absolute upper-left X/ {x[n] = $4} /Absolute upper-left Y/ {y[n] = $4}
             /Width/ {w[n] = $2} /Height/ {h[n++] = $2}
             END {l = x[0] > x[1] ? x[0] : x[1]; t = y[0] > y[1] ? y[0] : y[1]
                  r = x[0] + w[0] < x[1] + w[1] ? x[0] + w[0] : x[1] + w[1]
                  b = y[0] + h[0] < y[1] + h[1] ? y[0] + h[0] : y[1] + h[1]
                  print r - l, b - t, l, t}'
}
# Its first and last two rows, over the image: a panel may draw its next applet into the
# columns beside the image (lxpanel's clock).
around_image() {
    local w h x y
    read -r w h x y <<<"$(geometry_of "$1")"
    { colours_at "${w}x2+$x+$y"; colours_at "${w}x2+$x+$((y + h - 2))"; } | sort -u
}
beside_window() {
    local w h x y
    read -r w h x y <<<"$(geometry_of "$1")"
    # Off the screen, the crop is transparent (#RRGGBB00): no colour of the panel.
    { colours_at "4x$h+$((x - 4))+$y"; colours_at "4x$h+$((x + w))+$y"; } | grep -v '^#.\{6\}00$' | sort -u
}
tray_background_around() { # tray_background_around WINDOW
    [ -n "$(around_image "$1")" ] && [ -z "$(comm -23 <(around_image "$1") <(beside_window "$1"))" ]
}

panel_pixels() {
    local left=${panel_left:-0}
    # Bounded: once, on Plasma 6, a screen read never returned and the test hung until its
    # timeout; the next try of the caller's wait reads again.
    timeout -k 2 "$ask_seconds" import -window root -crop "${panel_width:-1024}x$panel_height+$left+$panel_top" \
        -depth 8 txt:- 2>/dev/null |
        sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p' |
        awk -v left="$left" '{$1 += left; print}'
}
# Navy, or navy blended by scaling: blue with as much red as green (a panel's highlight
# colours have more green).
navyish='$5 >= 100 && $5 - $3 >= 30 && $4 - $3 <= 20 && $3 - $4 <= 20'
# Where the panel draws the icon, the middle of its navy pixels, and within their frame how
# many pixels are the table's grey exactly and how many are neither its grey nor its navy
# (blended by a panel that scaled the image): x y grey blended, or nothing with no icon.
icon_measures() {
    panel_pixels | awk -v top="$panel_top" "$navyish"' {
             if (!n++) {x0 = x1 = $1; y0 = y1 = $2}
             if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1; if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2}
             {colour[$1 "," $2] = $3 " " $4 " " $5}
             END {if (!n) exit
                  for (x = x0; x <= x1; x++) for (y = y0; y <= y1; y++) {
                      c = colour[x "," y]
                      if (c == "192 192 192") grey++; else if (c != "0 0 128") blended++}
                  print int((x0 + x1) / 2), top + int((y0 + y1) / 2), grey + 0, blended + 0}'
}
icon_centre() { icon_measures | awk '{print $1, $2}'; }
icon_grey_and_blended() { icon_measures | awk '{print $3, $4}'; }
# The drawn icon is the table's image at a whole multiple (MIN_MULTIPLE or more): 72 grey
# pixels times the square of the multiple, none blended.
icon_crisp() { # icon_crisp [MIN_MULTIPLE]
    local measured
    measured=$(icon_grey_and_blended)
    [ -n "$measured" ] || return 1
    read -r grey blended <<<"$measured"
    local scale
    for scale in $(seq "${1:-1}" 4); do
        [ "$blended" -eq 0 ] && [ "$grey" -eq $((72 * scale * scale)) ] && return 0
    done
    return 1
}
icon_drawn() { [ -n "$(icon_centre)" ]; }
# The columns of the panel's navy pixels, as runs: "x 162-177", or "x 60-75 x 162-177" when
# something else navy stands beside the icon and the middle of them all is no icon.
navy_columns() {
    panel_pixels | awk "$navyish"' {print $1}' | sort -nu |
        awk '{if (n++ && $1 > last + 1) {printf "x %d-%d ", first, last; first = $1}
              if (n == 1) first = $1; last = $1}
             END {if (n) printf "x %d-%d\n", first, last}'
}
# The icon's centre once it stays put: a panel may still move its applets about (Cinnamon's
# shifts them when its notices' counter shows up).
settled_icon_centre() {
    local before after
    before=$(icon_centre)
    for _ in $(seq 20); do
        sleep 0.25
        after=$(icon_centre)
        [ -n "$after" ] && [ "$after" = "$before" ] && break
        before=$after
    done
    echo "$after"
}
click_icon() { # click_icon BUTTON
    local x y
    read -r x y < <(settled_icon_centre)
    last_click="button $1 at $x,$y"
    xdotool mousemove "$x" "$y" click "$1"
}
# What shows the window from its icon: one click where a panel draws the item (it calls
# Activate), a double click on an icon window of our own docked in an X11 tray.
click_to_show() {
    if [ -z "$(other_windows)" ]; then
        click_icon 1
        return
    fi
    local x y
    read -r x y < <(settled_icon_centre)
    last_click="double click at $x,$y"
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
}
# The round trip a user makes with a panel's icon: $line typed and decoded, Alt+H, then a
# click on the icon brings the window back as it was.
check_hide_and_click_back() {
    focus_window "$window"
    xdotool type --delay 10 "$line"
    xdotool key alt+d alt+h
    check "Alt+H hides the window" wait_until is_not_viewable "$window"
    click_to_show
    check "a click on the icon shows it again" wait_until is_viewable "$window"
    local read
    read=$(read_box "$window" 0)
    check "with its line (read: \"$read\")" test "$read" = "$line"
}
# The panel's menu: an override-redirect window of the $panel_class program.
panel_menu() {
    for w in $(xdotool search --onlyvisible --classname "^$panel_class\$" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w"
    done | head -1
}
has_panel_menu() { [ -n "$(panel_menu)" ]; }

# --sync waits for the focus to change, which never happens when it is there already. A
# window manager hands the focus on only to a window that is activated.
# A window manager may mark a window active before the X server gives it the input focus,
# and a key typed meanwhile is lost: the focus itself is what counts.
focus_window() {
    if wmctrl -m >/dev/null 2>&1; then
        timeout 5 xdotool windowactivate --sync "$1" 2>/dev/null
    else
        timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
    fi
    wait_until has_input_focus "$1"
}
has_input_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# The text of a box reached from the input box with `tabs` presses of Tab, copied as a
# user would copy it.
read_box() {
    local window=$1 tabs=$2
    focus_window "$window"
    # Relative to the window itself: under metacity, getwindowgeometry's position is off by the
    # frame.
    xdotool mousemove --window "$window" 100 40 click 1
    for _ in $(seq "$tabs"); do xdotool key Tab; done
    xdotool key ctrl+a ctrl+c
    sleep 0.2
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}
