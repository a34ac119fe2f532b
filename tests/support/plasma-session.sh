# A KDE Plasma session as the desktop tests put it together, for X11 or Wayland: the
# variables Plasma's session sets (kded then loads its StatusNotifierWatcher module, Qt
# Plasma's platform theme, KWin finds plasmashell's desktop entry), and kded and plasmashell
# started and restarted. Source it after x11-session.sh, once start_x has run.
set -uo pipefail

kded=$(command -v kded6 || command -v kded5)
plasma_version=5
case $kded in *6) plasma_version=6 ;; esac

# The session's variables, set before the bus starts (the services it starts must write to
# this home): plasma_session x11|wayland
plasma_session() {
    local desktop_session=plasma
    [ "$1" = x11 ] && [ "$plasma_version" = 6 ] && desktop_session=plasmax11
    export HOME=$session_dir XDG_CONFIG_HOME=$session_dir/config XDG_DATA_HOME=$session_dir/data \
        XDG_CACHE_HOME=$session_dir/cache XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true \
        KDE_SESSION_VERSION=$plasma_version DESKTOP_SESSION=$desktop_session XDG_SESSION_TYPE=$1 \
        XDG_MENU_PREFIX=plasma- QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=96
    start_session_bus
}

start_watcher() {
    run_desktop "$kded"
    kded_pid=$desktop_pid
}
start_shell() {
    run_desktop QT_QUICK_BACKEND=software plasmashell
    shell=$desktop_pid
    wait_until sni_host_present
}

# kded restarted while the window is hidden: one item with the new watcher, and the program
# still running (a quit lock let go with the old item would end it within a second).
check_kded_restart() {
    end_processes "$kded_pid"
    start_watcher
    check "kded restarted while hidden, one item with its new watcher" wait_until sni_one_item
    sleep 2
    check "and the program, hidden all along, still runs" alive "$app"
    sleep 1 # the shell builds its icons anew for the new watcher
}
