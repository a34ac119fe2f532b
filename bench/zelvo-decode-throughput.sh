#!/usr/bin/env bash
# Times zelvo-decode on a million scan lines; prints ns per line and lines per second.
# Usage: bench/zelvo-decode-throughput.sh BUILD_DIR [LINES]
set -euo pipefail
build=${1:?build directory}
lines=${2:-1000000}
input=$(mktemp)
trap 'rm -f "$input"' EXIT
"$build/bench/make_scans" "$lines" > "$input"
for format in "" --json; do
    start=$(date +%s%N)
    "$build/tools/zelvo-decode" $format "$input" > /dev/null
    end=$(date +%s%N)
    ns=$(( (end - start) / lines ))
    echo "zelvo-decode ${format:-(tabs)}: $lines lines in $(( (end - start) / 1000000 )) ms," \
         "$ns ns/line, $(( lines * 1000000000 / (end - start) )) lines/s"
done
