#!/usr/bin/env bash
# Builds the Debian packages with dpkg-buildpackage from debian/ on this machine, and checks
# them: the changelog carries the project's version, lintian finds nothing in the .changes,
# blhc nothing in the build log, hardening-check passes on every program, zelvo-decode needs
# no Qt, and a second build in another path, with another umask, time zone and locale,
# gives the same bytes.
# Usage: debian-build-test.sh OUT_DIR   (from a git checkout; OUT_DIR is emptied)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
source "$here/../support/x11-session.sh"
out=$(mkdir -p "${1:?output directory}" && cd "$1" && pwd)
rm -rf "${out:?}"/*

version=$(sed -n 's/^project(Zelvo VERSION \([0-9.]*\).*/\1/p' "$project/CMakeLists.txt")
check "debian/changelog carries the project's version ($version)" \
    test "$(dpkg-parsechangelog -l "$project/debian/changelog" -S Version)" = "$version"

# build DIR [VARIABLE=VALUE...]: the source as git has it, built in DIR.
build() {
    local dir=$1
    shift
    mkdir -p "$dir/zelvo"
    (cd "$project" && git ls-files -z | tar --null -cf - -T -) | tar -xf - -C "$dir/zelvo"
    (cd "$dir/zelvo" && env "$@" dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$dir/build.log" 2>&1
}
# The tests ran in the clean roots' builds (debian-root-build-test.sh): not again here.
build "$out/a" TZ=UTC LC_ALL=POSIX DEB_BUILD_OPTIONS=nocheck
check "dpkg-buildpackage builds both packages" \
    test -f "$out/a/zelvo_${version}_amd64.deb" -a -f "$out/a/zelvo-decode_${version}_amd64.deb" ||
    tail -n 30 "$out/a/build.log"

findings=$(lintian --tag-display-limit 0 --fail-on error,warning "$out/a/zelvo_${version}_amd64.changes" 2>/dev/null)
status=$?
check "lintian finds nothing in the .changes${findings:+:
$findings}" test "$status" -eq 0 -a -z "$findings"
findings=$(blhc "$out/a/build.log" 2>&1)
status=$?
check "blhc finds nothing in the build log${findings:+:
$findings}" test "$status" -eq 0

for package in zelvo zelvo-decode; do
    dpkg-deb -x "$out/a/${package}_${version}_amd64.deb" "$out/a/$package.files"
done
source "$here/../support/hardening.sh"
for program in zelvo/usr/bin/zelvo zelvo-decode/usr/bin/zelvo-decode; do
    report=$(hardening_report "$out/a/${program%%/*}.files/${program#*/}")
    check "/${program#*/} is hardened${report:+:
$report}" test -z "$report"
done
depends=$(dpkg-deb -f "$out/a/zelvo-decode_${version}_amd64.deb" Depends)
check "zelvo-decode needs no Qt ($depends)" bash -c "! grep -qi qt <<<'$depends'"

# Another path, umask, time zone and locale. (A time zone in POSIX form needs no tzdata:
# 14 hours ahead of UTC.)
(umask 0002 && build "$out/b/another/path" TZ=XST-14 LC_ALL=C.UTF-8 DEB_BUILD_OPTIONS=nocheck)
for deb in "$out"/a/*.deb; do
    name=$(basename "$deb")
    check "a second build gives the same bytes: $name" cmp -s "$deb" "$out/b/another/path/$name"
done
finish
