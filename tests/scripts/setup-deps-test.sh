#!/usr/bin/env bash
# scripts/setup-deps.sh on a new Debian 12 machine whose mirror fails as mirrors do: a copy of
# the clean Debian 12 root with a repository whose Release names the wrong hash for its index
# (apt-get update exits 100) and Wine's 32-bit half pinned away (no candidate). Set-up must
# still install every 64-bit package the tests call, say in one line why the 32-bit half is
# missing, and exit 0. Run by hand (it installs the whole list, several minutes); with --keep
# the root stays, a new machine for scripts/test.sh: its path is printed.
# Usage: tests/scripts/setup-deps-test.sh [--keep]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
source "$here/../support/x11-session.sh"
source "$here/../support/debian-root.sh"
[ "$(id -u)" -eq 0 ] || { echo "a chroot needs root"; exit 77; }

base=$(debian_root bookworm base) || exit 1
machine=$(mktemp -d "$roots_dir/machine.XXXXXX")
[ "${1:-}" = --keep ] || trap 'cleanup; rm -rf --one-file-system "$machine"' EXIT
cp -a "$base/." "$machine/"
in_machine() { in_debian_root "$machine" "$@"; }

# A repository whose Release file lists its index with a hash the index does not have.
repo=$machine/srv/broken
mkdir -p "$repo/dists/local/main/binary-amd64"
printf 'Package: zelvo-test-nothing\nVersion: 1\nArchitecture: all\n\n' \
    >"$repo/dists/local/main/binary-amd64/Packages"
size=$(stat -c %s "$repo/dists/local/main/binary-amd64/Packages")
printf 'Suite: local\nCodename: local\nArchitectures: amd64\nComponents: main\nSHA256:\n %s %s main/binary-amd64/Packages\n' \
    "$(printf '0%.0s' $(seq 64))" "$size" >"$repo/dists/local/Release"
echo 'deb [trusted=yes] file:/srv/broken local main' >"$machine/etc/apt/sources.list.d/broken.list"
# Wine's 32-bit half with no candidate.
printf 'Package: wine32:i386\nPin: release *\nPin-Priority: -1\n' >"$machine/etc/apt/preferences.d/no-wine32"

in_machine apt-get update -qq >/dev/null 2>&1
update_status=$?
check "the machine's apt-get update fails (status $update_status)" test "$update_status" -eq 100
output=$(in_machine "$project/scripts/setup-deps.sh" test 2>&1)
status=$?
echo "$output" | grep '^setup: ' | cut -c1-300
check "set-up exits 0 (status $status)" test "$status" -eq 0
missing=$(for package in $("$project/scripts/setup-deps.sh" --list test bookworm); do
    in_machine dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        echo "$package"
done)
check "every 64-bit package the tests call is installed${missing:+; not: $missing}" test -z "$missing"
check "and one line says why the 32-bit half is missing" \
    grep -q "^setup: 32-bit Wine not installed: .*wine32:i386.*candidate" <<<"$output"
[ "${1:-}" = --keep ] && echo "the machine: $machine"
finish
