#!/usr/bin/env bash
# Builds the .deb and checks it as a user's machine would see it: its dependencies, its
# files, the desktop entry and AppStream data validated, the programs run from it. In CI
# (CI=true, a throw-away machine) it is installed for real with apt and started from its
# desktop entry.
# Usage: deb-test.sh BUILD_DIR
build=$(cd "${1:?build directory}" && pwd)
source "$(dirname "$0")/../support/x11-session.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$build")}

(cd "$build" && cpack -G DEB >/dev/null) || { echo "cpack failed"; exit 1; }
deb=$(ls "$build"/zelvo_*_*.deb | head -1)
root=$(mktemp -d)
trap 'rm -rf "$root"; cleanup' EXIT
dpkg-deb -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies come from the binaries ($depends)" \
    grep -q 'libqt6widgets6' <<<"$depends"
check "and bring Qt's Wayland plugin" grep -q 'qt6-wayland' <<<"$depends"
for file in usr/bin/zelvo usr/bin/zelvo-decode usr/share/man/man1/zelvo-decode.1 \
    usr/share/applications/org.zelvo.Zelvo.desktop usr/share/metainfo/org.zelvo.Zelvo.metainfo.xml; do
    check "package holds /$file" test -f "$root/$file"
done
for size in 16 32 48 64 128; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zelvo.png"
    check "icon of ${size}x${size} pixels" test "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "the desktop entry validates" desktop-file-validate "$root/usr/share/applications/org.zelvo.Zelvo.desktop"
check "the AppStream data validates" appstreamcli validate --no-net --pedantic \
    "$root/usr/share/metainfo/org.zelvo.Zelvo.metainfo.xml"
check "the man page renders" bash -c "man -l '$root/usr/share/man/man1/zelvo-decode.1' 2>&1 >/dev/null | { ! grep -q .; }"
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the packaged zelvo-decode decodes" \
    test "$(echo "$line" | "$root/usr/bin/zelvo-decode")" = $'000000002101482501\tIBN\t9780131103627'

if [ "${CI:-}" = true ]; then
    check "apt installs the package" apt-get install -y -qq "$deb"
    exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.zelvo.Zelvo.desktop)
    start_x
    $exec_line 2>/dev/null &
    app=$!
    pids+=($app)
    check "the desktop entry starts the window" wait_until has_main_window
    kill -TERM "$app"
    check "which ends cleanly" wait_until process_ended "$app"
fi
finish
