#!/usr/bin/env bash
# Builds the whole program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs every test there. Leaks inside the system's own libraries (fonts, the
# display) are not ours and are suppressed; any other report fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-sanitize
# Warnings stay warnings here: g++'s sanitizer instrumentation raises false ones inside the standard
# library; the plain and the fuzz builds hold the code to warnings as errors.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON -DQM_BENCH=OFF \
  -DQM_WERROR=OFF > /dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure --timeout 900
