#!/usr/bin/env bash
# Makes the Windows zip from the two cross-builds: x86 and x64 folders, each with zelvo.exe
# and zelvo-decode.exe, the README and the licence.
# Usage: scripts/package-windows.sh I686_BUILD_DIR X86_64_BUILD_DIR OUTPUT_DIR
set -euo pipefail
i686=$(cd "$1" && pwd)
x86_64=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$i686/CMakeCache.txt")
name=zelvo-$version-windows
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/x86" "$stage/$name/x64"
cp "$i686/ui/win32/zelvo.exe" "$i686/tools/zelvo-decode.exe" "$stage/$name/x86/"
cp "$x86_64/ui/win32/zelvo.exe" "$x86_64/tools/zelvo-decode.exe" "$stage/$name/x64/"
cp "$root/README.md" "$root/LICENSE" "$stage/$name/"
rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "$out/$name.zip"
