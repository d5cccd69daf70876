#!/usr/bin/env bash
# Builds and runs the benchmarks, then prints the goal ratios.
#   scripts/bench.sh [BUILD_DIR] [-- qmbench options]
# Environment: REPETITIONS (default 7), MIN_TIME (seconds a repetition, default 0.2), OUT (the JSON,
# default BUILD_DIR/bench.json), STARTUP_JSON (a scripts/startup.sh result to report as well).
# Each case runs REPETITIONS times; the report takes medians, so a busy machine moves the numbers less.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target qmbench qmemptywindow gamefiles
out=${OUT:-$build/bench.json}
"$build/bench/qmbench" --benchmark_repetitions="${REPETITIONS:-7}" --benchmark_min_time="${MIN_TIME:-0.2}" \
  --benchmark_enable_random_interleaving=true --benchmark_out="$out" --benchmark_out_format=json \
  --benchmark_display_aggregates_only=true "$@"
echo
python3 bench/report.py "$out" ${STARTUP_JSON:+"$STARTUP_JSON"}
