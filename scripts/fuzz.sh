#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on) and runs each
# one for a while on its seed corpus, made by the program's own writers, plus the corpus kept in
# fuzz/corpus/. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
build=build-fuzz

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_FUZZ=ON -DQM_SANITIZE=ON -DQM_BENCH=OFF > /dev/null
targets=$(sed -n 's/^set(QM_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt)
build_targets=(qmfuzzseeds)
for t in $targets; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j "$(nproc)" --target "${build_targets[@]}"

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/qmfuzzseeds" "$seeds"

status=0
for t in $targets; do
  corpus="$build/fuzz-corpus/$t"
  log="$build/fuzz-$t.log"
  mkdir -p "$corpus" "$build/fuzz-findings"
  extra=()
  [ -d "fuzz/corpus/$t" ] && extra+=("fuzz/corpus/$t")
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-findings/$t-" "$corpus" "$seeds/$t" "${extra[@]}" > "$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
    echo "fuzz_$t: ${seconds}s, $runs runs, $cov, no finding"
  else
    echo "fuzz_$t: FINDING (inputs in $build/fuzz-findings/)"
    tail -n 40 "$log"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "fuzz: every target ran without a finding"
exit "$status"
