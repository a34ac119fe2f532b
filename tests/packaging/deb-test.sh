#!/usr/bin/env bash
# Checks the two .debs as a user's machine would see them: their dependencies, their files,
# the desktop entry and AppStream data validated, the manual pages rendered, the decoder run
# from its package. clean-root-test.sh installs them on a clean Debian system.
# Usage: deb-test.sh DEB_DIR [--built]   (DEB_DIR holds zelvo_*.deb and zelvo-decode_*.deb,
#   as release-test.sh leaves them in OUT_DIR/a/release)
#   --built: checked with the tools of another release than the one that built them: lintian
#   too, which release-test.sh ran on the building one.
debs=$(cd "${1:?directory of the .debs}" && pwd)
source "$(dirname "$0")/../support/x11-session.sh"
deb=$(ls "$debs"/zelvo_*_*.deb | head -1)
decode_deb=$(ls "$debs"/zelvo-decode_*_*.deb | head -1)
root=$(mktemp -d)
trap 'rm -rf "$root"; cleanup' EXIT
dpkg-deb -x "$deb" "$root"
dpkg-deb -x "$decode_deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies come from the binaries ($depends)" \
    grep -q 'libqt6widgets6' <<<"$depends"
check "and bring Qt's Wayland plugin" grep -q 'qt6-wayland' <<<"$depends"
for file in usr/bin/zelvo usr/bin/zelvo-decode usr/share/man/man1/zelvo.1.gz \
    usr/share/man/man1/zelvo-decode.1.gz usr/share/doc/zelvo/copyright \
    usr/share/doc/zelvo-decode/copyright usr/share/doc/zelvo/changelog.Debian.gz \
    usr/share/applications/org.zelvo.Zelvo.desktop usr/share/metainfo/org.zelvo.Zelvo.metainfo.xml; do
    check "the packages hold /$file" test -f "$root/$file"
done
for size in 16 22 24 32 48 64 128; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zelvo.png"
    check "icon of ${size}x${size} pixels" test "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}"
done
for size in 16 44 64; do
    icon="$root/usr/share/zelvo/icons/hicolor/${size}x${size}/apps/zelvo.png"
    check "the tray item's own theme: $size pixels" test "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "and its index" grep -q '^\[44x44/apps\]$' "$root/usr/share/zelvo/icons/hicolor/index.theme"
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
if [ "${2:-}" = --built ]; then
    # Errors and warnings alike; lintian's own complaint about running as root is no finding.
    findings=$(lintian --tag-display-limit 0 --fail-on error,warning "$deb" "$decode_deb" 2>/dev/null)
    status=$?
    check "this release's lintian finds nothing${findings:+:
$findings}" test "$status" -eq 0 -a -z "$findings"
fi
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the packaged zelvo-decode decodes" \
    test "$(echo "$line" | "$root/usr/bin/zelvo-decode")" = $'000000002101482501\tIBN\t9780131103627'

finish
