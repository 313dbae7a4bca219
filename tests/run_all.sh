#!/usr/bin/env bash
# Builds the Release and the sanitizer (AddressSanitizer and
# UndefinedBehaviorSanitizer) configurations and runs every test in both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

run_config() {
  local name=$1
  shift
  local dir="$root/build-$name"
  echo "== $name"
  cmake -S "$root" -B "$dir" -DHYDRO_BENCH=OFF "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run_config release -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_config sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHYDRO_SANITIZE=ON
