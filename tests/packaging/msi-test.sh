#!/usr/bin/env bash
# The Windows installer of one Windows build, under Wine: msiexec installs the programs, the
# README, the licence and a Start-menu shortcut, with one entry in Apps and features; the
# installed programs run; the same version again, then a newer one, leave one entry; the
# uninstall removes everything.
# Usage: msi-test.sh BUILD_DIR (a Windows build with its test driver)
build=$(cd "${1:?build directory}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/x11-session.sh"
source "$here/../support/wine-session.sh"
start_x
wine_start
out=$(mktemp -d)
trap 'wine_stop; cleanup; rm -rf "$out"' EXIT

version=$(version_of_build "$build")
newer=${version%.*}.$((${version##*.} + 1))
msi=$("$here/../../packaging/windows/make-msi.sh" "$build" "$out" 2>/dev/null | tail -1)
newer_msi=$("$here/../../packaging/windows/make-msi.sh" "$build" "$out" "$newer" 2>/dev/null | tail -1)
check "wixl makes $(basename "$msi") ($(stat -c %s "$msi" 2>/dev/null) bytes)" test -s "$msi"

windows_path() { run_wine winepath -w "$1" 2>/dev/null; }
msiexec() { run_wine msiexec "$1" "$(windows_path "$2")" /qn >/dev/null 2>&1; }
# The Apps-and-features entries named Zelvo, one line each: key, version, publisher. Asked of
# the installer's own view of the registry: where Wine runs 32-bit programs, `wine reg` is
# the 32-bit reg.exe, which does not see what a 64-bit installer wrote.
case $msi in *-x64.msi) view=/reg:64 ;; *) view=/reg:32 ;; esac
entries() {
    run_wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "$view" 2>/dev/null |
        tr -d '\r' | awk '/^HKEY/ {if (name == "Zelvo") print key, version, publisher
                                    key = $0; name = version = publisher = ""}
            $1 == "DisplayName" {name = $3} $1 == "DisplayVersion" {version = $3}
            $1 == "Publisher" {publisher = $3 $4 $5}
            END {if (name == "Zelvo") print key, version, publisher}'
}
case $msi in *-x64.msi) dir="$WINEPREFIX/drive_c/Program Files/Zelvo" ;;
*) dir="$WINEPREFIX/drive_c/Program Files (x86)/Zelvo"
   [ -d "$WINEPREFIX/drive_c/Program Files (x86)" ] || dir="$WINEPREFIX/drive_c/Program Files/Zelvo" ;;
esac
shortcut() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Zelvo.lnk' 2>/dev/null; }

msiexec /i "$msi"
for file in zelvo.exe zelvo-decode.exe README.md LICENSE.txt; do
    check "the installer puts $file in $(basename "$(dirname "$dir")")\\Zelvo" test -f "$dir/$file"
done
check "and a Start-menu shortcut Zelvo" test -n "$(shortcut)"
check "one entry in Apps and features, with version and publisher: $(entries)" \
    test "$(entries | wc -l)" -eq 1 -a "$(entries | awk '{print $2, $3}')" = "$version TheZelvodevelopers"
# Windows shows the entry's icon from ARPPRODUCTICON; Wine does not copy it into the entry.
# msiinfo writes a table's binary column into files under the current directory: it runs in $out.
check "whose icon the installer names" \
    bash -c "cd '$out' && msiinfo export '$msi' Property | grep -q '^ARPPRODUCTICON	ZelvoIcon' &&
             msiinfo export '$msi' Icon | grep -q '^ZelvoIcon'"
check "which is the program's .ico, every size of it" \
    bash -c "msiinfo extract '$msi' Icon.ZelvoIcon | cmp -s - '$build/ui/win32/zelvo.ico'"
line='.AMPQAMPQAMPOA2PRBMjOB2PR.eXGu.y21IAMTPA2TQAwXOBq.'
check "the installed zelvo-decode decodes" \
    test "$(echo "$line" | run_wine "$dir/zelvo-decode.exe" 2>/dev/null | tr -d '\r')" = $'000000002101482501\tIBN\t9780131103627'
summary=$(timeout 300 "$wine_loader" "$build/tests/ui/win32/zelvo-driver.exe" "$(windows_path "$dir/zelvo.exe")" \
    "$(windows_path "$build/ui/win32/zelvo.ico")" 96 2>/dev/null | tr -d '\r' | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -1)
check "the installed zelvo passes the window driver ($summary)" test -n "$summary" -a "${summary##*, }" = "0 failed"

msiexec /i "$msi"
check "installed again, still one entry" test "$(entries | wc -l)" -eq 1
msiexec /i "$newer_msi"
check "a newer version replaces it: one entry, version $newer" \
    test "$(entries | wc -l)" -eq 1 -a "$(entries | awk '{print $2}')" = "$newer"
msiexec /x "$newer_msi"
check "the uninstall removes the programs" test ! -e "$dir"
check "the shortcut" test -z "$(shortcut)"
check "and the entry" test -z "$(entries)"
finish
