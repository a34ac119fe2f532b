# Talks to a StatusNotifierItem host and to the program's item over the session bus, as a
# panel does: the watcher's list, the item's properties, its activation and its exported
# menu. Source it after x11-session.sh (or with DBUS_SESSION_BUS_ADDRESS set).
set -uo pipefail

watcher_property() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1" 2>/dev/null
}
sni_host_present() { [ "$(watcher_property IsStatusNotifierHostRegistered)" = "(<true>,)" ]; }
# The registered items, one a line, as "bus-name/object/path".
sni_items() {
    watcher_property RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"
}
sni_item_registered() { [ -n "$(sni_items)" ]; }
sni_no_item_registered() { [ -z "$(sni_items)" ]; }

# The first registered item's bus name and object path.
item_service() { local item; item=$(sni_items | head -1); echo "${item%%/*}"; }
item_path() {
    local item
    item=$(sni_items | head -1)
    case $item in */*) echo "/${item#*/}" ;; *) echo /StatusNotifierItem ;; esac
}
# Calls a method on the item, or on another of its objects: item_call [PATH] METHOD ARGS...
item_call() {
    local path
    path=$(item_path)
    case $1 in /*) path=$1; shift ;; esac
    gdbus call --session --dest "$(item_service)" --object-path "$path" --method "$1" -- "${@:2}" 2>/dev/null
}
item_property() { item_call org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
# The tooltip's title: the second string of (icon name, pixmaps, title, text).
sni_tooltip() { item_property ToolTip | grep -o "'[^']*'" | sed -n 2p | tr -d "'"; }
sni_activate() { item_call org.kde.StatusNotifierItem.Activate 0 0 >/dev/null; }
sni_context_menu() { item_call org.kde.StatusNotifierItem.ContextMenu 0 0 >/dev/null; }

# The 16x16 image among the item's pixmaps (ARGB, most significant byte first): its grey
# and blue pixels counted, against the layout table's 7s and 4s.
sni_icon_colours() {
    item_property IconPixmap | sed 's/), (/\n/g' | grep -m1 '16, 16, \[' | grep -o '0x[0-9a-f]*' |
        paste -d' ' - - - - | awk '$0 == "0xff 0xc0 0xc0 0xc0" {g++} $0 == "0xff 0x00 0x00 0x80" {b++}
                                   END {printf "%d grey, %d blue\n", g, b}'
}
sni_icon_matches_table() {
    local rows grey blue
    rows=$(grep -o '"[0-9]\{16\}"' "$(dirname "${BASH_SOURCE[0]}")/../../ui/Layout.h" | tr -d '"\n')
    grey=$(tr -cd 7 <<<"$rows" | wc -c)
    blue=$(tr -cd 4 <<<"$rows" | wc -c)
    [ "$(sni_icon_colours)" = "$grey grey, $blue blue" ]
}

# The exported menu, as a host reads it: its path, its layout, and a click on an item.
menu_call() {
    item_call "$(item_property Menu | grep -o "'/[^']*'" | tr -d "'")" "com.canonical.dbusmenu.$1" "${@:2}"
}
sni_menu_layout() { menu_call GetLayout 0 -1 '[]'; }
sni_menu_has_exit() { sni_menu_layout | grep -q "'label': <'E_xit'>"; }
# The id of the item labelled Exit, then the calls a host makes when it is clicked.
sni_menu_click_exit() {
    local id
    id=$(sni_menu_layout | grep -o "([0-9]*, {[^}]*'label': <'E_xit'>" | grep -o '^([0-9]*' | tr -d '(')
    [ -n "$id" ] || return 1
    menu_call AboutToShow 0 >/dev/null
    menu_call Event "$id" clicked '<0>' 0 >/dev/null
}
