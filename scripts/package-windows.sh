#!/usr/bin/env bash
# Makes the Windows zip from the two cross-builds: x86 and x64 folders, each with zelvo.exe
# and zelvo-decode.exe, the README and the licence. The same programs give the same zip: the
# entries in one order, with fixed modes and the time of SOURCE_DATE_EPOCH (by default the
# last commit's), written in UTC; zip -X leaves out the owner and the access and change times.
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
install -m 0644 -D -t "$stage/$name/x86" "$i686/ui/win32/zelvo.exe" "$i686/tools/zelvo-decode.exe"
install -m 0644 -D -t "$stage/$name/x64" "$x86_64/ui/win32/zelvo.exe" "$x86_64/tools/zelvo-decode.exe"
install -m 0644 -t "$stage/$name" "$root/README.md" "$root/LICENSE"
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
rm -f "$out/$name.zip"
(cd "$stage" && find "$name" -exec touch -h -d "@$epoch" {} + &&
    find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$out/$name.zip" -@)
echo "$out/$name.zip"
