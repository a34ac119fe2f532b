# The tests' processes: ended by PID, never by name, and a test run's mark. Every process
# the run starts inherits ZELVO_TEST_RUN from it, so what the run leaves behind can be found
# without touching anyone else's processes (a desktop session, another run). Source it.
set -uo pipefail

# Whether a process still runs: a zombie has ended, only its parent has not asked yet.
alive() {
    local stat
    read -r stat 2>/dev/null </proc/"$1"/stat || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

# Ends the given processes, ours by PID: TERM, up to 5 s for them to go, then KILL. A child
# that ignores TERM cannot hang the test.
end_processes() {
    [ $# -gt 0 ] || return 0
    local pid
    kill "$@" 2>/dev/null
    for _ in $(seq 50); do
        local running=false
        for pid in "$@"; do alive "$pid" && running=true; done
        $running || break
        sleep 0.1
    done
    kill -KILL "$@" 2>/dev/null
    wait "$@" 2>/dev/null
    return 0
}

# Gives this shell, and so everything it starts from now on, a mark of its own.
mark_test_run() {
    ZELVO_TEST_RUN="$$-$(date +%s%N)"
    export ZELVO_TEST_RUN
}

# The live processes that carry the mark MARK, "PID NAME" a line, except ROOT and the
# processes below it (the runner, and this check itself, carry it too).
marked_processes() {
    local mark="ZELVO_TEST_RUN=$1" root=$2 dir pid stat entry
    local -A parent=() name=()
    local marked=()
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        read -r stat 2>/dev/null <"$dir/stat" || continue
        name[$pid]=${stat#*(}
        name[$pid]=${name[$pid]%)*}
        stat=${stat##*) }
        [ "${stat%% *}" = Z ] && continue
        stat=${stat#* }
        parent[$pid]=${stat%% *}
        while IFS= read -r -d '' entry; do
            if [ "$entry" = "$mark" ]; then
                marked+=("$pid")
                break
            fi
        done 2>/dev/null <"$dir/environ"
    done
    for pid in "${marked[@]}"; do
        local up=$pid
        while [ -n "$up" ] && [ "$up" != 0 ] && [ "$up" != "$root" ]; do
            up=${parent[$up]:-}
        done
        [ "$up" = "$root" ] || echo "$pid ${name[$pid]}"
    done
}
