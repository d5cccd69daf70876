#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on) and runs each
# one for a while on its seed corpus, made by the program's own writers, plus the corpus kept in
# fuzz/corpus/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   run every target (default 10 seconds each)
#   scripts/fuzz.sh keep                   minimise what longer runs found (build-fuzz/fuzz-corpus/)
#                                          into fuzz/corpus/, leaving out what the seeds already reach
set -euo pipefail
cd "$(dirname "$0")/.."
mode=run
if [ "${1:-}" = keep ]; then
  mode=keep
  shift
fi
seconds="${1:-10}"
build=build-fuzz

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_FUZZ=ON -DQM_SANITIZE=ON -DQM_BENCH=OFF -DQM_WERROR="${QM_WERROR:-OFF}" > /dev/null
targets=$(sed -n 's/^set(QM_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt)
build_targets=(qmfuzzseeds)
for t in $targets; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j "$(nproc)" --target "${build_targets[@]}"

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/qmfuzzseeds" "$seeds"

if [ "$mode" = keep ]; then
  for t in $targets; do
    [ -d "$build/fuzz-corpus/$t" ] || continue
    # Merging into a copy of the seeds keeps only inputs that reach code the seeds do not (new edges,
    # not new hit counts of known ones: that keeps the corpus small).
    work="$build/fuzz-keep/$t"
    rm -rf "$work" && mkdir -p "$work" && cp "$seeds/$t"/* "$work"/
    extra=()
    [ -d "fuzz/corpus/$t" ] && extra+=("fuzz/corpus/$t")
    "$build/fuzz/fuzz_$t" -merge=1 -use_counters=0 -timeout=10 -rss_limit_mb=2048 "$work" "${extra[@]}" "$build/fuzz-corpus/$t" \
      > "$build/fuzz-keep-$t.log" 2>&1
    mkdir -p "fuzz/corpus/$t"
    for f in "$work"/*; do
      name=$(basename "$f")
      # Large inputs (whole Supaplex files) are left to the seeds, to keep the repository small.
      [ "$(stat -c %s "$f")" -le 65536 ] || continue
      [ -e "$seeds/$t/$name" ] || [ -e "fuzz/corpus/$t/$name" ] || cp "$f" "fuzz/corpus/$t/"
    done
    echo "fuzz/corpus/$t: $(ls "fuzz/corpus/$t" | wc -l) inputs, $(du -sk "fuzz/corpus/$t" | cut -f1) KB"
  done
  exit 0
fi

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
