# What a desktop test prints when a check fails, so that a maintainer can tell a fault of the
# program from one of the desktop: the program's life and messages, its window, the tray, the
# bus between the two since the previous check, the test's processes and the program's
# threads. Sourced by x11-session.sh; a test may redefine describe_window and describe_tray
# for how its desktop tells them.
set -uo pipefail

diagnose_seconds=3 # each question asked for the diagnostics: a peer that hangs is seen, briefly
unanswered_seen=0
declare -A bus_logs=() bus_seen=() pid_names=() desktop_log=()
zelvo_log=$(mktemp)
desktop_logs=$(mktemp -d)

# The commands that ran out of time since the previous check.
unanswered() { tail -n +$((unanswered_seen + 1)) "$unanswered_log" 2>/dev/null; }
note_unanswered() { unanswered | sed 's/^/note: /'; }

# A check has ended: what is logged from now on belongs to the next one.
checked() {
    unanswered_seen=$(wc -l 2>/dev/null <"$unanswered_log" || echo 0)
    local address
    for address in "${!bus_logs[@]}"; do
        bus_seen[$address]=$(wc -l 2>/dev/null <"${bus_logs[$address]}" || echo 0)
    done
    remember_names
}
# The names of the test's processes, kept for when they have ended.
remember_names() {
    local pid
    for pid in "${pids[@]}"; do
        [ -r "/proc/$pid/comm" ] && pid_names[$pid]=$(cat "/proc/$pid/comm" 2>/dev/null)
    done
    return 0
}

# Every message on the bus at $DBUS_SESSION_BUS_ADDRESS goes to a log of the test's own.
monitor_session_bus() {
    local log
    log=$(mktemp -p "${session_dir:-/tmp}" bus.XXXXXX)
    bus_logs[$DBUS_SESSION_BUS_ADDRESS]=$log
    bus_seen[$DBUS_SESSION_BUS_ADDRESS]=0
    dbus-monitor --address "$DBUS_SESSION_BUS_ADDRESS" >"$log" 2>/dev/null &
    pids+=($!)
}

# The session bus's messages since the previous check, one a line, arguments joined to it.
bus_messages() {
    local address=${DBUS_SESSION_BUS_ADDRESS:-}
    local log=${bus_logs[$address]:-}
    [ -n "$log" ] || return 0
    tail -n +$((${bus_seen[$address]:-0} + 1)) "$log" | awk '
        /^(method call|method return|error|signal) / { if (m) print substr(m, 1, 300); m = $0; next }
        { gsub(/^ +/, " "); m = m $0 }
        END { if (m) print substr(m, 1, 300) }'
}

# The program's unique names on the session bus, while it lives.
zelvo_bus_names() {
    local names name
    names=$(timeout -k 2 "$ask_seconds" gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.ListNames 2>/dev/null | grep -o "':[0-9.]*'" | tr -d "'") || return 0
    for name in $names; do
        [ "$(timeout -k 2 "$ask_seconds" gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
            --method org.freedesktop.DBus.GetConnectionUnixProcessID "$name" 2>/dev/null |
            grep -o '[0-9]\+' | tail -1)" = "$app" ] && echo "$name"
    done
}

describe_window() {
    if [ -z "${window:-}" ]; then
        echo "no window of the program found"
        return
    fi
    echo "$window: map state $(map_state "$window"), WM_STATE" \
        "$(xprop -id "$window" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p;s/.*not found.*/none/p')," \
        "_NET_WM_STATE $(xprop -id "$window" _NET_WM_STATE 2>/dev/null | sed 's/.*= //;s/.*not found.*/none/')," \
        "the input focus on $(xdotool getwindowfocus 2>/dev/null)"
}

describe_tray() {
    local owner
    owner=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null)
    if [ "$owner" = "(true,)" ]; then
        local get="gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher"
        echo "StatusNotifierWatcher: host registered $($get IsStatusNotifierHostRegistered 2>/dev/null)," \
            "items $($get RegisteredStatusNotifierItems 2>/dev/null)"
    else
        echo "no StatusNotifierWatcher on the bus${owner:+ ($owner)}"
    fi
    [ -n "${DISPLAY:-}" ] || return 0
    echo "the program's other X11 windows (docked icon, menus): $(other_windows | paste -sd ' ')"
    if [ -n "${panel_top:-}" ]; then
        echo "the panel's navy pixels: $(navy_columns); the last click on the icon: ${last_click:-none}"
    fi
}

describe_processes() {
    remember_names
    local pid
    for pid in "${pids[@]}"; do
        printf '%s %s %s\n' "${pid_names[$pid]:-?}" "$pid" "$(process_state "$pid")"
    done | paste -sd ',' | sed 's/,/, /g'
}
# The last words of the desktop's programs, those that run and those that have ended: a
# panel tells there what it made of the items it found.
desktop_output() {
    local pid
    for pid in "${pids[@]}"; do
        [ -n "${desktop_log[$pid]:-}" ] || continue
        if alive "$pid"; then
            echo "${pid_names[$pid]} $pid, running; its last output:"
        else
            echo "${pid_names[$pid]} $pid ended; its last output:"
        fi
        tail -n 8 "${desktop_log[$pid]}" 2>/dev/null | cut -c1-200
    done
}

process_state() {
    local stat
    read -r stat 2>/dev/null </proc/"$1"/stat || { echo ENDED; return; }
    stat=${stat##*) }
    case ${stat%% *} in
    Z) echo ENDED ;;
    T) echo STOPPED ;;
    *) echo running ;;
    esac
}

# A process's threads as they stand, from gdb in batch mode: stacks PID [FRAMES [THREADS]].
stacks() {
    command -v gdb >/dev/null || { echo "(no gdb here)"; return; }
    local out
    out=$(timeout -k 2 30 gdb -batch -nx -p "$1" -ex "thread apply ${3:-all} bt ${2:-30}" 2>&1)
    if grep -qE '^(Thread |#)' <<<"$out"; then
        grep -E '^(Thread |#)' <<<"$out" | cut -c1-220
    else
        echo "(no stack: gdb said \"$(grep -v '^$' <<<"$out" | tail -n 1 | cut -c1-160)\")"
    fi
}
# Where the test's other processes wait: a desktop that holds the X server (a grab never let
# go, a wait on a peer that waits for it) shows itself here.
desktop_stacks() {
    local pid
    for pid in "${pids[@]}"; do
        [ "$pid" != "${app:-}" ] && [ "$(process_state "$pid")" = running ] || continue
        echo "${pid_names[$pid]:-?} $pid:"
        stacks "$pid" 8 "${1:-1}"
    done
}

diagnose() {
    local saved=$ask_seconds names hung
    ask_seconds=$diagnose_seconds
    remember_names
    hung=$(unanswered)
    {
        if [ -n "$hung" ]; then
            echo "ran out of time since the previous check:"
            echo "$hung"
        fi
        if [ -n "${app:-}" ]; then
            if alive "$app"; then
                echo "zelvo (PID $app): running"
            else
                echo "zelvo (PID $app): ENDED"
            fi
            if [ -s "$zelvo_log" ]; then
                echo "its last messages:"
                tail -n 15 "$zelvo_log"
            fi
        fi
        if [ -n "${DISPLAY:-}" ] && ! xprop -root -len 0 _NET_SUPPORTED >/dev/null 2>&1; then
            echo "the X server at $DISPLAY does not answer within $diagnose_seconds s; where the test's processes wait:"
            desktop_stacks
        else
            echo "its window: $(describe_window 2>&1 | paste -sd ';')"
            echo "the tray: $(describe_tray 2>&1 | paste -sd ';')"
            if [ -n "$hung" ]; then
                # All threads: a main thread that waits on a lock shows with the thread that holds it.
                echo "where the test's other processes wait, as one of them did not answer:"
                desktop_stacks all
            fi
        fi
        echo "the test's processes: $(describe_processes)"
        desktop_output
        if [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -n "${bus_logs[$DBUS_SESSION_BUS_ADDRESS]:-}" ]; then
            names=$( [ -n "${app:-}" ] && alive "$app" && zelvo_bus_names | paste -sd '|')
            if [ -n "$names" ]; then
                echo "the bus since the previous check, to and from zelvo ($names):"
                bus_messages | grep -E "(sender|destination)=($names)( |$)" | tail -n 40
            else
                echo "the bus since the previous check (zelvo's names unknown):"
                bus_messages | tail -n 40
            fi
        fi
        if [ -n "${app:-}" ] && alive "$app"; then
            echo "zelvo's threads:"
            stacks "$app"
        fi
    } | sed 's/^/  | /'
    ask_seconds=$saved
}
