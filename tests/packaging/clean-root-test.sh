#!/usr/bin/env bash
# Installs the .debs on a clean Debian root of the given release (debootstrap
# --variant=minbase, kept in the user's cache so that only a machine's first run pays for it)
# with apt, which must bring every dependency: zelvo-decode alone, without Qt, and it decodes;
# then zelvo, which shows its window; then apt-get purge leaves no file of either behind. Each
# run works on a fresh copy of the clean root, so the machine running the test, and the kept
# root, stay untouched.
# Usage: clean-root-test.sh DEB_DIR [bookworm|trixie]   (DEB_DIR holds zelvo_*.deb and
# zelvo-decode_*.deb, as release-test.sh leaves them in OUT_DIR/a/release)
set -uo pipefail
debs=$(cd "${1:?directory of the .debs}" && pwd)
release=${2:-bookworm}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/x11-session.sh"
source "$here/../support/debian-root.sh"
deb=$(ls "$debs"/zelvo_*_*.deb 2>/dev/null | head -1)
decode_deb=$(ls "$debs"/zelvo-decode_*_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] && [ -n "$decode_deb" ] || { echo "no packages in $debs: run release-test.sh first"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
export ZELVO_VERSION=${version%-*}
if [ "$(id -u)" -ne 0 ]; then
    echo "a chroot needs root"
    exit 77
fi

base=$(debian_root "$release" base) || { echo "no clean $release root"; exit 1; }
work=$(mktemp -d "$roots_dir/run.XXXXXX")
trap 'cleanup; rm -rf "$work"' EXIT
cp -a "$base/." "$work/"
# The root reaches the test's X server through its abstract socket, which a chroot shares.
export ZELVO_ROOT_ENV="DISPLAY"
in_root() { in_debian_root "$work" "$@"; }

in_root apt-get update -qq >/dev/null 2>&1
installed() { in_root dpkg -s "$1" >/dev/null 2>&1; }
in_root apt-get install -y -qq "$decode_deb" >"$work/install.log" 2>&1
check "apt installs zelvo-decode alone on Debian $release" installed zelvo-decode ||
    tail -n 20 "$work/install.log"
qt=$(in_root dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' 2>/dev/null | awk '/^ii/ && /qt/ {print $2}')
check "without Qt${qt:+: $qt}" test -z "$qt"
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the installed zelvo-decode decodes" \
    test "$(echo "$line" | in_root zelvo-decode)" = $'000000002101482501\tIBN\t9780131103627'
in_root apt-get install -y -qq "$deb" >>"$work/install.log" 2>&1
check "apt installs zelvo and its dependencies" installed zelvo || tail -n 20 "$work/install.log"

start_x
exec_in_debian_root "$work" env DISPLAY="$DISPLAY" \
    DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/zelvo-no-bus zelvo 2>/dev/null &
app=$!
pids+=($app)
check "the installed zelvo shows its window with its caption" wait_until has_main_window
in_root env QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/zelvo-no-bus \
    timeout 3 zelvo 2>/dev/null
check "and starts on the offscreen platform too" test $? -eq 124
end_processes "$app"

files=$(in_root dpkg -L zelvo zelvo-decode | while read -r f; do [ -f "$work$f" ] && echo "$f"; done)
in_root apt-get purge -y -qq zelvo zelvo-decode >/dev/null 2>&1
both_gone() { ! installed zelvo && ! installed zelvo-decode; }
check "apt-get purge removes both packages" both_gone
left=$(for f in $files; do [ -e "$work$f" ] && echo "$f"; done)
check "and leaves none of its $(wc -w <<<"$files") files behind${left:+: $left}" test -z "$left"
finish
