#!/usr/bin/env bash
# Sets up what is missing, builds Zelvo and runs every test suite; prints the time of each
# stage and ends with a summary line. A stage that cannot run on this machine is reported as
# skipped, with its reason, never as passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/setup-deps.sh test || { echo "setup: 0 passed, 1 failed"; exit 1; }
source tests/support/wine-session.sh
# Asked once; the Wine tests read the answer from the environment.
can_run_32bit || export ZELVO_NO_32BIT=1

# Processes of the kinds the tests start; any that the run leaves behind fails it.
test_processes() {
    ps -eo pid=,stat=,comm= | awk '$2 !~ /^Z/ && $3 ~ /^(Xvfb|dbus-daemon|dbus-launch|wineserver|trayer|openbox|xfce4-panel|xfconfd|wrapper-.*|panel-.*|sway|swaybg|waybar|wtype|Xwayland|zelvo.*|.*\.exe)$/ {print $1, $3}'
}
before=$(test_processes)

readonly skip_status=77
passed=0
failed=0
skipped=0
skip_reasons=()
stage() {
    local name=$1 start=$SECONDS status
    shift
    echo "=== $name"
    "$@"
    status=$?
    local took="$((SECONDS - start)) s"
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "=== $name: passed in $took"
    elif [ "$status" -eq "$skip_status" ]; then
        skipped=$((skipped + 1))
        skip_reasons+=("$name: $skip_reason")
        echo "=== $name: skipped in $took ($skip_reason)"
    else
        failed=$((failed + 1))
        echo "=== $name: FAILED in $took"
    fi
}

build_and_test() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null &&
        cmake --build "$dir" -j"$jobs" &&
        ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

stage "native build and tests" build_and_test build/native

stage "address and undefined-behaviour sanitizers" build_and_test build/sanitize \
    -DZELVO_BUILD_QT=OFF \
    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

windows_build_and_test() {
    local arch=$1 dir=build/windows-$1
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$dir" -j"$jobs" &&
        tests/ui/win32/pe-check.sh "$dir" "$arch" || return 1
    if [ "$arch" = i686 ] && ! can_run_32bit; then
        skip_reason="built and checked statically; not run, this machine cannot execute 32-bit programs"
        return "$skip_status"
    fi
    tests/ui/win32/wine-test.sh "$dir"
}

stage "Windows i686 build, tested under Wine" windows_build_and_test i686
stage "Windows x86_64 build, tested under Wine" windows_build_and_test x86_64

packages() {
    tests/packaging/deb-test.sh build/native &&
        zip=$(scripts/package-windows.sh build/windows-i686 build/windows-x86_64 build/packages) &&
        listing=$(cmake -E tar tf "$zip") &&
        for file in x86/zelvo.exe x86/zelvo-decode.exe x64/zelvo.exe x64/zelvo-decode.exe README.md; do
            grep -q "/$file\$" <<<"$listing" || { echo "$zip lacks $file"; return 1; }
        done && echo "$zip holds both builds and the README"
}

stage "packages" packages

# Nothing of the run may outlive it: a leftover X server, bus or tray would be a test that
# does not clean up after itself.
leftovers() { comm -13 <(sort <<<"$before") <(test_processes | sort); }
for _ in $(seq 50); do
    [ -z "$(leftovers)" ] && break
    sleep 0.2
done
left=$(leftovers)
if [ -n "$left" ]; then
    echo "=== processes left behind by the tests:"
    echo "$left"
    kill $(awk '{print $1}' <<<"$left") 2>/dev/null
    failed=$((failed + 1))
else
    echo "=== no process of the tests left behind"
fi

for reason in "${skip_reasons[@]}"; do echo "skipped: $reason"; done
echo "stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
