#!/usr/bin/env bash
# Sets up what is missing, builds Zelvo and runs every test suite; ends with a summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/setup-deps.sh test || { echo "setup: 0 passed, 1 failed"; exit 1; }

passed=0
failed=0
stage() {
    local name=$1
    shift
    echo "=== $name"
    if "$@"; then
        passed=$((passed + 1))
        echo "=== $name: passed"
    else
        failed=$((failed + 1))
        echo "=== $name: FAILED"
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

echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
