# Shared steps of the real-window tests: a private X server, the program under test, and
# checks that count. Source it; call finish at the end.
set -uo pipefail

passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

finish() {
    echo "$(basename "$0" .sh): $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
}
trap cleanup EXIT

start_x() {
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -1 "$fd_file")"
    rm -f "$fd_file"
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d)
    # Without a session bus, Qt's tray icon uses the XEmbed protocol of the tray host.
    unset DBUS_SESSION_BUS_ADDRESS
}

# Waits up to 10 s for a command to succeed.
wait_until() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

main_window() { xdotool search --name '^Zelvo - 1\.0\.6$' 2>/dev/null | head -1; }
has_main_window() { [ -n "$(main_window)" ]; }
map_state() { xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p'; }
is_viewable() { [ "$(map_state "$1")" = IsViewable ]; }
is_not_viewable() { [ "$(map_state "$1")" != IsViewable ]; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }

# --sync waits for the focus to change, which never happens when it is there already.
focus_window() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null; }

# The text of a box reached from the input box with `tabs` presses of Tab, copied as a
# user would copy it.
read_box() {
    local window=$1 tabs=$2
    focus_window "$window"
    local x y
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 100)) $((Y + 40)) click 1
    for _ in $(seq "$tabs"); do xdotool key Tab; done
    xdotool key ctrl+a ctrl+c
    sleep 0.2
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}
