#!/usr/bin/env bash
# Builds the Debian packages in a clean root of a release, as its build daemons do:
# apt-get build-dep from debian/control, dpkg-buildpackage of source and binaries (the
# working tree's files as git knows them; their tarball without debian/ the upstream source), then lintian on
# the .changes,
# hardening-check on every program, and the packages' autopkgtest with the null runner,
# in the root itself. Each run works on a fresh copy of the root (made once per machine).
# Usage: debian-root-build-test.sh bookworm|trixie
set -uo pipefail
release=${1:?release}
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
source "$here/../support/x11-session.sh"
source "$here/../support/debian-root.sh"
if [ "$(id -u)" -ne 0 ]; then
    echo "a chroot needs root"
    exit 77
fi

root=$(debian_root "$release" debian-build) || { echo "no $release root to build in"; exit 1; }
work=$(mktemp -d "$roots_dir/run.XXXXXX")
trap 'cleanup; rm -rf "$work"' EXIT
cp -a "$root/." "$work/"
version=$(version_of_source "$project")
source=$work/build/zelvo-$version
mkdir -p "$source"
(cd "$project" && git ls-files -z | tar --null -cf - -T -) | tar -xf - -C "$source"
tar -C "$work/build" --exclude="zelvo-$version/debian" -czf "$work/build/zelvo_$version.orig.tar.gz" \
    "zelvo-$version"
in_root() { in_debian_root "$work" bash -c "cd /build/zelvo-$version && $1"; }

in_root "apt-get build-dep -y -q ./" >"$work/build/build-dep.log" 2>&1
check "apt-get build-dep finds what debian/control names on Debian $release" test $? -eq 0 ||
    tail -n 20 "$work/build/build-dep.log"
in_root "dpkg-buildpackage -us -uc -j$(nproc)" >"$work/build/build.log" 2>&1
check "dpkg-buildpackage builds zelvo and zelvo-decode" test $? -eq 0 || tail -n 30 "$work/build/build.log"

findings=$(in_root "lintian --tag-display-limit 0 --fail-on error,warning ../*.changes" 2>/dev/null)
status=$?
check "lintian finds nothing in the .changes of source and binaries${findings:+:
$findings}" test "$status" -eq 0 -a -z "$findings"
report=$(in_root "for deb in ../*.deb; do dpkg-deb -x \$deb ../files; done
    source '$here/../support/hardening.sh' && hardening_report ../files/usr/bin/*" 2>&1)
status=$?
[ "$status" -eq 0 ] && report=
check "hardening-check passes on every program${report:+:
$report}" test "$status" -eq 0

report=$(in_root "autopkgtest ../zelvo_*.deb ../zelvo-decode_*.deb ./ -- null" 2>&1)
status=$?
check "the autopkgtest passes with the null runner: $(sed -n '/@@@ summary/,$p' <<<"$report" |
    grep -E '^(decode-lines|window) ' | tr -s ' ' | paste -sd ';')" test "$status" -eq 0 ||
    tail -n 30 <<<"$report"
finish
