#!/usr/bin/env bash
# Makes the Windows installer of one Windows build with wixl: zelvo-VERSION-x64.msi or -x86.msi.
# Usage: make-msi.sh BUILD_DIR OUTPUT_DIR [VERSION]   (VERSION: the build's own by default)
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
version=${3:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
if grep -q 'x86_64' "$build/CMakeCache.txt"; then
    arch=x64 win64=yes folder=ProgramFiles64Folder
else
    arch=x86 win64=no folder=ProgramFilesFolder
fi
msi=$out/zelvo-$version-$arch.msi
source=$(cd "$here/../.." && pwd)
# wixl finds no file by an absolute path: every path is given from the root directory.
(cd / && wixl -a "$arch" -D Version="$version" -D Build="${build#/}" -D Source="${source#/}" \
    -D Win64=$win64 -D ProgramFiles=$folder -o "${msi#/}" "${here#/}/zelvo.wxs")
echo "$msi"
