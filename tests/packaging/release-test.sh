#!/usr/bin/env bash
# Makes the release twice with scripts/release.sh, each in a clone of HEAD of its own: in
# another path, with another umask, time zone and locale. Checks what a distribution checks of
# the Debian packages (the changelog carries the project's version, lintian finds nothing in
# the .changes of source and binaries, blhc nothing in the build log, hardening-check passes,
# zelvo-decode needs no Qt), that SHA256SUMS lists every file, and that the two releases'
# tarball, .debs and Windows zip are the same bytes. The installers are not: each MSI gets a
# new product code, as Windows Installer's upgrades want.
# Usage: release-test.sh OUT_DIR   (from a git checkout: HEAD as committed; OUT_DIR is
# emptied, and OUT_DIR/a/release keeps the first release for the tests that follow)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
source "$here/../support/x11-session.sh"
out=$(mkdir -p "${1:?output directory}" && cd "$1" && pwd)
rm -rf "${out:?}"/*

version=$(version_of_source "$project")
debian_version=$(dpkg-parsechangelog -l "$project/debian/changelog" -S Version)
check "debian/changelog carries the project's version ($debian_version for $version)" \
    test "${debian_version%-*}" = "$version"

# release DIR [VARIABLE=VALUE...]: the release of HEAD, made in a clone in DIR. The tests ran
# in the clean roots' builds (debian-root-build-test.sh): not again here.
release() {
    local dir=$1
    shift
    mkdir -p "$dir" && git clone -q --no-local "$project" "$dir/zelvo" &&
        (cd "$dir/zelvo" && env "$@" DEB_BUILD_OPTIONS=nocheck scripts/release.sh --no-setup) \
            >"$dir/release.log" 2>&1
    local status=$?
    ln -s zelvo/build/release "$dir/release"
    return $status
}
a=$out/a
release "$a" TZ=UTC LC_ALL=POSIX
check "scripts/release.sh makes a release" test $? -eq 0 || tail -n 30 "$a/release.log"
files=(zelvo-$version.tar.gz zelvo_${debian_version}_amd64.deb zelvo-decode_${debian_version}_amd64.deb
       zelvo-$version-x64.msi zelvo-$version-x86.msi zelvo-$version-windows.zip)
listed=$(cd "$a/release" && sed 's/^[0-9a-f]*  //' SHA256SUMS | paste -sd ' ')
check "SHA256SUMS lists every file ($listed)" test "$listed" = "$(printf '%s\n' "${files[@]}" | sort | paste -sd ' ')"
check "and each file's sum" bash -c "cd '$a/release' && sha256sum --quiet -c SHA256SUMS"

debian=$a/zelvo/build/release-debian
findings=$(lintian --tag-display-limit 0 --fail-on error,warning "$debian/zelvo_${debian_version}_amd64.changes" 2>/dev/null)
status=$?
check "lintian finds nothing in the .changes of source and binaries${findings:+:
$findings}" test "$status" -eq 0 -a -z "$findings"
findings=$(blhc "$debian/build.log" 2>&1)
status=$?
check "blhc finds nothing in the build log${findings:+:
$findings}" test "$status" -eq 0
for package in zelvo zelvo-decode; do
    dpkg-deb -x "$a/release/${package}_${debian_version}_amd64.deb" "$a/files"
done
source "$here/../support/hardening.sh"
report=$(hardening_report "$a/files/usr/bin/zelvo" "$a/files/usr/bin/zelvo-decode")
check "hardening-check passes on both programs${report:+:
$report}" test -z "$report"
depends=$(dpkg-deb -f "$a/release/zelvo-decode_${debian_version}_amd64.deb" Depends)
check "zelvo-decode needs no Qt ($depends)" bash -c "! grep -qi qt <<<'$depends'"
listing=$(cmake -E tar tf "$a/release/zelvo-$version-windows.zip")
for file in x86/zelvo.exe x86/zelvo-decode.exe x64/zelvo.exe x64/zelvo-decode.exe README.md LICENSE; do
    check "the Windows zip holds $file" grep -q "/$file\$" <<<"$listing"
done

# Another path, umask, time zone and locale. (A time zone in POSIX form needs no tzdata:
# 14 hours ahead of UTC.)
b=$out/b/another/path
(umask 0002 && release "$b" TZ=XST-14 LC_ALL=C.UTF-8)
check "a second release, elsewhere" test $? -eq 0 || tail -n 30 "$b/release.log"
for name in "${files[@]}"; do
    [[ $name == *.msi ]] && continue
    check "it gives the same bytes: $name" cmp -s "$a/release/$name" "$b/release/$name"
done
finish
