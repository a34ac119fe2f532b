#!/usr/bin/env bash
# Sets up what is missing, builds Zelvo and runs every test suite; prints the time of each
# stage and ends with a summary line. A stage that cannot run on this machine is reported as
# skipped, with its reason, never as passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

# Set-up goes on without Wine's 32-bit half when apt cannot install it, and says why.
setup_log=$(mktemp)
scripts/setup-deps.sh test | tee "$setup_log"
[ "${PIPESTATUS[0]}" -eq 0 ] || { rm -f "$setup_log"; echo "setup: 0 passed, 1 failed"; exit 1; }
no_wine32_reason=$(sed -n 's/^setup: 32-bit Wine not installed: //p' "$setup_log")
rm -f "$setup_log"
source tests/support/wine-session.sh
# Asked once; the Wine tests read the answer from the environment.
can_run_32bit || export ZELVO_NO_32BIT=1

# Everything this run starts carries its mark; only marked processes can be left behind,
# and only they are ever ended here. Others of the same kinds (a desktop session, another
# run) are none of this run's business.
source tests/support/processes.sh
mark_test_run
# The Wine prefix is the run's own too: ending its wineserver ends no one else's programs.
export ZELVO_WINE_DIR=$root/build/wine

# Proof of that, on every run: an X server and a bus started beside the run, unmarked and
# not its children, must outlive it; a marked orphan must be found.
foreign=()
start_foreign() {
    local pid_file
    pid_file=$(mktemp)
    (env -u ZELVO_TEST_RUN "$@" >/dev/null 2>&1 & echo $! >"$pid_file")
    foreign+=("$(cat "$pid_file")")
    rm -f "$pid_file"
}
start_foreign Xvfb -displayfd 1 -nolisten tcp
start_foreign dbus-daemon --session --nofork --nopidfile
sleep 0.5
marked_orphan=$( (sleep 600 >/dev/null 2>&1 & echo $!) )
found=$(marked_processes "$ZELVO_TEST_RUN" $$)
end_processes "$marked_orphan"
if ! alive "${foreign[0]}" || ! alive "${foreign[1]}" ||
    ! grep -qx "$marked_orphan sleep" <<<"$found" ||
    grep -qwF -e "${foreign[0]}" -e "${foreign[1]}" <<<"$found"; then
    echo "the run's process mark does not tell its own processes from others: ${found:-none found}"
    kill "${foreign[@]}" 2>/dev/null
    exit 1
fi

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
    -DZELVO_BUILD_QT=OFF -DZELVO_HARDENING=OFF \
    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

windows_build_and_test() {
    local arch=$1 dir=build/windows-$1
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$dir" -j"$jobs" &&
        tests/ui/win32/pe-check.sh "$dir" "$arch" || return 1
    if [ "$arch" = i686 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
        skip_reason="built and checked statically; not run, Wine's 32-bit half is not installed: ${no_wine32_reason:-not asked for}"
        return "$skip_status"
    fi
    if [ "$arch" = i686 ] && ! can_run_32bit; then
        skip_reason="built and checked statically; not run, this machine cannot execute 32-bit programs"
        return "$skip_status"
    fi
    tests/ui/win32/wine-test.sh "$dir" && tests/packaging/msi-test.sh "$dir"
}

stage "Windows i686 build and installer, tested under Wine" windows_build_and_test i686
stage "Windows x86_64 build and installer, tested under Wine" windows_build_and_test x86_64

packages() {
    tests/packaging/release-test.sh build/release-test &&
        tests/packaging/deb-test.sh build/release-test/a/release &&
        tests/packaging/clean-root-test.sh build/release-test/a/release bookworm &&
        tests/packaging/debian-root-build-test.sh bookworm
}

stage "packages" packages

# Debian 13 in roots of its own, made once per machine in the user's cache: the program built
# there and every test run against its desktops, then the package built above checked with
# its tools and installed on a clean Debian 13, and the Debian packages built in a clean
# Debian 13 root from debian/.
debian13() {
    if [ "$(id -u)" -ne 0 ]; then
        skip_reason="a Debian 13 root needs root (chroot)"
        return "$skip_status"
    fi
    source tests/support/debian-root.sh
    local desktops
    desktops=$(debian_root trixie desktops) &&
        in_debian_root "$desktops" bash -c "cd '$root' &&
            cmake -S . -B build/debian13 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
            cmake --build build/debian13 -j$jobs &&
            ctest --test-dir build/debian13 --output-on-failure -j$jobs &&
            tests/packaging/deb-test.sh build/release-test/a/release --built" &&
        tests/packaging/clean-root-test.sh build/release-test/a/release trixie &&
        tests/packaging/debian-root-build-test.sh trixie
}

stage "Debian 13: build, tests on its desktops, the package" debian13

# Nothing of the run may outlive it: a leftover X server, bus or tray would be a test that
# does not clean up after itself.
leftovers() { marked_processes "$ZELVO_TEST_RUN" $$; }
for _ in $(seq 50); do
    [ -z "$(leftovers)" ] && break
    sleep 0.2
done
left=$(leftovers)
if [ -n "$left" ]; then
    echo "=== processes left behind by the tests:"
    echo "$left"
    end_processes $(awk '{print $1}' <<<"$left")
    failed=$((failed + 1))
else
    echo "=== no process of the tests left behind"
fi
survivors=0
for pid in "${foreign[@]}"; do alive "$pid" && survivors=$((survivors + 1)); done
if [ "$survivors" -eq "${#foreign[@]}" ]; then
    echo "=== the X server and bus started beside the run are still running"
else
    echo "=== the run ended processes it did not start"
    failed=$((failed + 1))
fi
kill "${foreign[@]}" 2>/dev/null

for reason in "${skip_reasons[@]}"; do echo "skipped: $reason"; done
echo "stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
