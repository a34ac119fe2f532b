#!/usr/bin/env bash
# Installs the .deb on a clean Debian 12 (debootstrap --variant=minbase, kept under build/ so
# that only the first run pays for it) with apt, which must bring every dependency: the
# installed zelvo-decode decodes, the installed zelvo shows its window; then apt-get purge
# leaves no file of the package behind. Each run works on a fresh copy of the clean root, so
# the machine running the test, and the kept root, stay untouched.
# Usage: clean-root-test.sh BUILD_DIR (run deb-test.sh first: it makes the package)
set -uo pipefail
build=$(cd "${1:?build directory}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/x11-session.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$build")}
deb=$(ls "$build"/zelvo_*_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "no package in $build: run deb-test.sh first"; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    echo "a chroot needs root"
    exit 77
fi

kept=$(dirname "$build")/clean-root/base
mirror=${ZELVO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
if [ ! -f "$kept/.complete" ]; then
    rm -rf "$kept"
    mkdir -p "$(dirname "$kept")"
    debootstrap --variant=minbase bookworm "$kept" "$mirror" >/dev/null ||
        { echo "debootstrap failed"; exit 1; }
    touch "$kept/.complete"
fi

work=$(mktemp -d "$(dirname "$kept")/run.XXXXXX")
mounts=()
finish_root() {
    cleanup
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[$i]}" 2>/dev/null; done
    rm -rf "$work"
}
trap finish_root EXIT
cp -a "$kept/." "$work/"
cp /etc/resolv.conf "$work/etc/resolv.conf"
mount -t proc proc "$work/proc" && mounts+=("$work/proc")
in_root() { chroot "$work" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

cp "$deb" "$work/tmp/"
in_root apt-get update -qq >/dev/null 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" \
    >"$work/tmp/install.log" 2>&1
installed() { in_root dpkg -s zelvo >/dev/null 2>&1; }
check "apt installs the package and its dependencies" installed
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the installed zelvo-decode decodes" \
    test "$(echo "$line" | in_root zelvo-decode)" = $'000000002101482501\tIBN\t9780131103627'

# The window on a private X server of the test, reached through its socket.
start_x
mkdir -p "$work/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$work/tmp/.X11-unix" && mounts+=("$work/tmp/.X11-unix")
in_root env DISPLAY="$DISPLAY" DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/zelvo-no-bus \
    zelvo 2>/dev/null &
app=$!
pids+=($app)
check "the installed zelvo shows its window with its caption" wait_until has_main_window
in_root env QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/zelvo-no-bus \
    timeout 3 zelvo 2>/dev/null
check "and starts on the offscreen platform too" test $? -eq 124
end_processes "$app"

files=$(in_root dpkg -L zelvo | while read -r f; do [ -f "$work$f" ] && echo "$f"; done)
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zelvo >/dev/null 2>&1
check "apt-get purge removes the package" bash -c "! chroot '$work' dpkg -s zelvo >/dev/null 2>&1"
left=$(for f in $files; do [ -e "$work$f" ] && echo "$f"; done)
check "and leaves none of its $(wc -w <<<"$files") files behind${left:+: $left}" test -z "$left"
finish
