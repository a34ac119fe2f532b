#!/usr/bin/env bash
# Builds every file of a release into build/release/: the Debian packages (zelvo and
# zelvo-decode, built from debian/ by dpkg-buildpackage), the Windows installers for x64 and
# x86, the portable Windows zip, the source tarball of HEAD, and SHA256SUMS over them all.
# Usage: scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
scripts/setup-deps.sh test
out=build/release
rm -rf "$out"
mkdir -p "$out"

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZELVO_BUILD_TESTS=OFF "$@" >/dev/null
    cmake --build "$dir" -j"$jobs" >/dev/null
}
# The Debian packages from the source as committed, built apart from the working tree.
rm -rf build/release-debian
mkdir -p build/release-debian/zelvo
git archive HEAD | tar -xf - -C build/release-debian/zelvo
(cd build/release-debian/zelvo && dpkg-buildpackage -us -uc -b -j"$jobs" >../build.log 2>&1) || {
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
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release-x86_64/CMakeCache.txt)
git archive --format=tar.gz --prefix="zelvo-$version/" -o "$out/zelvo-$version.tar.gz" HEAD
(cd "$out" && sha256sum -- * >SHA256SUMS)
ls -l "$out"
