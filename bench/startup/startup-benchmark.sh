#!/usr/bin/env bash
# Start-up time to first paint and peak memory of zelvo against a bare Qt window of the
# same size, medians of 10 alternating runs in one X server; then zelvo's CPU use at idle.
# Usage: bench/startup/startup-benchmark.sh BUILD_DIR
build=${1:?build directory}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/support/x11-session.sh"
export ZELVO_VERSION=${ZELVO_VERSION:-$(version_of_build "$build")}
start_x
probe="$build/bench/startup/startup_probe"

runs=10
declare -A ms kb
for i in $(seq "$runs"); do
    for kind in bare zelvo; do
        read -r t m < <("$probe" "$kind" "$(date +%s%N)" 2>/dev/null)
        ms[$kind]+="$t "
        kb[$kind]+="$m "
    done
done
median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for kind in bare zelvo; do
    eval "${kind}_ms=$(median <<<"${ms[$kind]}")"
    eval "${kind}_kb=$(median <<<"${kb[$kind]}")"
done
echo "start to first paint, median of $runs: bare window ${bare_ms} ms, zelvo ${zelvo_ms} ms" \
     "($(awk -v a="$zelvo_ms" -v b="$bare_ms" 'BEGIN {printf "%.2f", a / b}')x; target at most 1.3x)"
echo "peak memory, median of $runs: bare window ${bare_kb} KB, zelvo ${zelvo_kb} KB" \
     "($(awk -v a="$zelvo_kb" -v b="$bare_kb" 'BEGIN {printf "%.2f", a / b}')x; target at most 1.2x)"

"$build/ui/qt/zelvo" 2>/dev/null &
app=$!
pids+=($app)
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
before=$(ticks)
sleep 10
echo "idle CPU over 10 s: $(( $(ticks) - before )) clock ticks of $(getconf CLK_TCK) per second"
