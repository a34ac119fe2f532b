#!/usr/bin/env bash
# Builds every file of a release into build/release/: the source tarball of HEAD, the Debian
# packages built from it (zelvo and zelvo-decode, by dpkg-buildpackage from debian/), the
# Windows installers for x64 and x86, the portable Windows zip, and SHA256SUMS over them all.
# The tarball, the packages and the zip are the same bytes wherever and whenever they are
# built from one commit (tests/packaging/release-test.sh checks it).
# Usage: scripts/release.sh [--no-setup]   (--no-setup: the tools are known to be there)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
[ "${1:-}" = --no-setup ] || scripts/setup-deps.sh test
out=build/release
rm -rf "$out"
mkdir -p "$out"

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZELVO_BUILD_TESTS=OFF "$@" >/dev/null
    cmake --build "$dir" -j"$jobs" >/dev/null
}
version=$(sed -n 's/^project(Zelvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# The source as committed; git writes the commit's time into it, so it is the same every time.
git archive --format=tar.gz --prefix="zelvo-$version/" -o "$out/zelvo-$version.tar.gz" HEAD
# The Debian packages, built from that tarball; their upstream source is the same without
# debian/, which the Debian source package adds.
rm -rf build/release-debian
mkdir -p build/release-debian
git archive --format=tar.gz --prefix="zelvo-$version/" -o "build/release-debian/zelvo_$version.orig.tar.gz" \
    HEAD -- . ':(exclude)debian'
tar -xzf "$out/zelvo-$version.tar.gz" -C build/release-debian
(cd "build/release-debian/zelvo-$version" && dpkg-buildpackage -us -uc -j"$jobs" >../build.log 2>&1) || {
    tail -n 30 build/release-debian/build.log
    exit 1
}
cp build/release-debian/zelvo_*.deb build/release-debian/zelvo-decode_*.deb "$out/"
for arch in i686 x86_64; do
    configure_and_build "build/release-$arch" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake"
    packaging/windows/make-msi.sh "build/release-$arch" "$out" >/dev/null 2>&1
done
scripts/package-windows.sh build/release-i686 build/release-x86_64 "$out" >/dev/null
(cd "$out" && sha256sum -- * >SHA256SUMS)
ls -l "$out"
