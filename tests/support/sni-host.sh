# Talks to a StatusNotifierItem host and to the program's item over the session bus, as a
# panel does: the watcher's list, the item's properties, its activation and its exported
# menu. Source it after x11-session.sh (or with DBUS_SESSION_BUS_ADDRESS set).
set -uo pipefail

watcher_property() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1" 2>/dev/null
}
sni_host_present() { [ "$(watcher_property IsStatusNotifierHostRegistered)" = "(<true>,)" ]; }
sni_no_host_present() { ! sni_host_present; }
# The registered items, one a line, as "bus-name/object/path", or "bus-name@/object/path" as
# GNOME's AppIndicator watcher lists them.
sni_items() {
    watcher_property RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"
}
sni_item_registered() { [ -n "$(sni_items)" ]; }
sni_no_item_registered() { [ -z "$(sni_items)" ]; }
sni_one_item() { [ "$(sni_items | wc -l)" -eq 1 ]; }

# The first registered item's bus name and object path.
item_service() {
    local item
    item=$(sni_items | head -1)
    item=${item%%@*}
    echo "${item%%/*}"
}
item_path() {
    local item
    item=$(sni_items | head -1)
    item=${item#*@}
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

# Calls every method of the item and its menu the way no host would: wrong types, unknown
# ids, huge and negative values, a long token. Each call must be answered, with a reply or
# an error, within 5 s; prints the calls that were not.
sni_odd_calls() {
    local service item menu call
    service=$(item_service)
    item=$(item_path)
    menu=$(item_property Menu | grep -o "'/[^']*'" | tr -d "'")
    local long
    long=$(head -c 100000 /dev/zero | tr '\0' t)
    while IFS= read -r call; do
        [ -n "$call" ] || continue
        eval "set -- $call"
        local path=$1
        shift
        timeout 5 dbus-send --session --print-reply --dest="$service" "$path" "$@" >/dev/null 2>&1
        [ $? -le 1 ] || echo "no answer: $call"
    done <<CALLS
$item org.kde.StatusNotifierItem.Activate string:x string:y
$item org.kde.StatusNotifierItem.SecondaryActivate
$item org.kde.StatusNotifierItem.ContextMenu int32:-2147483648 int32:2147483647
$item org.kde.StatusNotifierItem.Scroll int32:-1 string:sideways
$item org.kde.StatusNotifierItem.Scroll string:x
$item org.kde.StatusNotifierItem.ProvideXdgActivationToken string:$long
$item org.kde.StatusNotifierItem.ProvideXdgActivationToken int32:1
$item org.kde.StatusNotifierItem.NoSuchMethod
$item org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:NoSuchProperty
$item org.freedesktop.DBus.Properties.Get int32:1 int32:2
$item org.freedesktop.DBus.Properties.Set string:org.kde.StatusNotifierItem string:Title variant:string:x
$item org.freedesktop.DBus.Properties.GetAll string:org.example.Other
$menu com.canonical.dbusmenu.GetLayout int32:-5 int32:-1 array:string:label
$menu com.canonical.dbusmenu.GetLayout int32:2147483647 int32:2147483647 array:string:
$menu com.canonical.dbusmenu.GetLayout string:x
$menu com.canonical.dbusmenu.GetGroupProperties array:int32:-1,0,1,99999 array:string:label
$menu com.canonical.dbusmenu.GetProperty int32:99 string:label
$menu com.canonical.dbusmenu.GetProperty int32:1 string:no-such-property
$menu com.canonical.dbusmenu.Event int32:99 string:clicked variant:int32:0 uint32:0
$menu com.canonical.dbusmenu.Event int32:0 string:clicked variant:int32:0 uint32:4294967295
$menu com.canonical.dbusmenu.Event int32:1 string:hovered variant:string:$long uint32:0
$menu com.canonical.dbusmenu.Event int32:1 string:clicked
$menu com.canonical.dbusmenu.AboutToShow int32:-1
$menu com.canonical.dbusmenu.AboutToShowGroup array:int32:-7,2147483647
$menu com.canonical.dbusmenu.EventGroup array:int32:1
$menu org.freedesktop.DBus.Properties.Get string:com.canonical.dbusmenu string:Version
CALLS
    # Structures dbus-send cannot write: gdbus then, an unknown id among them.
    timeout 5 gdbus call --session --dest "$service" --object-path "$menu" \
        --method com.canonical.dbusmenu.EventGroup "[(99, 'clicked', <0>, uint32 0)]" \
        >/dev/null 2>&1
    [ $? -le 1 ] || echo "no answer: EventGroup with an unknown id"
}
sni_title() { item_property Title | grep -o "'[^']*'" | tr -d "'"; }
