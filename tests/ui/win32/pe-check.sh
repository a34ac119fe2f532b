#!/usr/bin/env bash
# Static checks of a Windows build that need no Windows: each program is a PE image of the
# build's machine type and subsystem, imports only DLLs that every Windows has, and stays
# small. Runs wherever the cross tools do, also where Wine cannot run the build.
# Usage: pe-check.sh BUILD_DIR ARCH (i686 or x86_64)
set -uo pipefail
build=$(cd "${1:?build directory}" && pwd)
arch=${2:?i686 or x86_64}
objdump=$arch-w64-mingw32-objdump
case $arch in
i686) format=pei-i386 ;;
x86_64) format=pei-x86-64 ;;
*) echo "unknown architecture $arch"; exit 2 ;;
esac
system_dlls='^(KERNEL32|USER32|GDI32|SHELL32|msvcrt)\.dll$'

failed=0
# program, subsystem (2 window, 3 console), size limit in bytes
while read -r program subsystem limit; do
    file=$build/$program
    dump=$("$objdump" -p "$file" 2>/dev/null)
    size=$(stat -c %s "$file" 2>/dev/null || echo 0)
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort -u | tr '\n' ' ')
    problems=()
    grep -q "file format $format\$" <<<"$dump" || problems+=("not $format")
    grep -qE "^Subsystem\s+0*$subsystem\s" <<<"$dump" || problems+=("subsystem is not $subsystem")
    for dll in $imports; do
        [[ $dll =~ $system_dlls ]] || problems+=("imports $dll")
    done
    [ "$size" -gt 0 ] && [ "$size" -le "$limit" ] || problems+=("$size bytes, over $limit")
    if [ ${#problems[@]} -eq 0 ]; then
        echo "ok: $program: $format, subsystem $subsystem, $size bytes, imports $imports"
    else
        echo "FAILED: $program: ${problems[*]}"
        failed=$((failed + 1))
    fi
done <<'PROGRAMS'
ui/win32/zelvo.exe 2 524288
tools/zelvo-decode.exe 3 2097152
PROGRAMS
[ "$failed" -eq 0 ]
