#!/usr/bin/env bash
# Builds the .deb and checks it as a distribution and a user's machine would see it: its
# dependencies, its files, lintian, the desktop entry and AppStream data validated, the
# programs run from it. clean-root-test.sh installs it on a clean Debian system.
# Usage: deb-test.sh BUILD_DIR [--built]
#   --built: checks the package already in BUILD_DIR with this system's tools (on another
#   release than the one that built it) instead of building it first.
build=$(cd "${1:?build directory}" && pwd)
source "$(dirname "$0")/../support/x11-session.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$build")}

if [ "${2:-}" != --built ]; then
    (cd "$build" && cpack -G DEB >/dev/null) || { echo "cpack failed"; exit 1; }
fi
deb=$(ls "$build"/zelvo_*_*.deb | head -1)
root=$(mktemp -d)
trap 'rm -rf "$root"; cleanup' EXIT
dpkg-deb -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies come from the binaries ($depends)" \
    grep -q 'libqt6widgets6' <<<"$depends"
check "and bring Qt's Wayland plugin" grep -q 'qt6-wayland' <<<"$depends"
for file in usr/bin/zelvo usr/bin/zelvo-decode usr/share/man/man1/zelvo.1.gz \
    usr/share/man/man1/zelvo-decode.1.gz usr/share/doc/zelvo/copyright usr/share/doc/zelvo/changelog.gz \
    usr/share/applications/org.zelvo.Zelvo.desktop usr/share/metainfo/org.zelvo.Zelvo.metainfo.xml; do
    check "package holds /$file" test -f "$root/$file"
done
for size in 16 22 24 32 48 64 128; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zelvo.png"
    check "icon of ${size}x${size} pixels" test "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "the desktop entry validates" desktop-file-validate "$root/usr/share/applications/org.zelvo.Zelvo.desktop"
# Nothing but two known notes. The id keeps its capital: it is the desktop entry's name and
# the window's application id, which launchers, pinned favourites and window rules know the
# program by. AppStream before 1.0 (Debian 12) does not know the developer tag that 1.0 asks for.
appstream_notes() {
    local report
    report=$(appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.zelvo.Zelvo.metainfo.xml")
    [ $? -eq 0 ] || echo "appstreamcli: validation failed"
    grep '^[EWIP]: ' <<<"$report" | grep -v -e 'cid-contains-uppercase-letter org.zelvo.Zelvo$' \
        -e 'unknown-tag developer$'
}
notes=$(appstream_notes)
check "the AppStream data validates with no note${notes:+:
$notes}" test -z "$notes"
for page in zelvo zelvo-decode; do
    check "the man page of $page renders" \
        bash -c "man -l '$root/usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null | { ! grep -q .; }"
done
# Errors and warnings alike; lintian's own complaint about running as root is no finding.
findings=$(lintian --tag-display-limit 0 --fail-on error,warning "$deb" 2>/dev/null)
status=$?
check "lintian finds nothing${findings:+:
$findings}" test "$status" -eq 0 -a -z "$findings"
# The programs as this build made them (the other release's tools see the same bytes).
source "$(dirname "$0")/../support/hardening.sh"
[ "${2:-}" = --built ] || for program in zelvo zelvo-decode; do
    report=$(hardening_report "$root/usr/bin/$program")
    check "/usr/bin/$program is hardened${report:+:
$report}" test -z "$report"
done
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the packaged zelvo-decode decodes" \
    test "$(echo "$line" | "$root/usr/bin/zelvo-decode")" = $'000000002101482501\tIBN\t9780131103627'

finish
