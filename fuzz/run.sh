#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on its
# seed corpus. Any crash, leak, sanitizer report, mismatch, exceeded bound
# or hang is a finding: the input is kept as build-fuzz/findings/<target>/
# crash-* (or leak-*, timeout-*) and the script fails.
#
#   FUZZ_SECONDS=60 bash fuzz/run.sh [target...]      (default: every target)
#
# Reproduce a finding:  build-fuzz/fuzz/<target>_fuzz <file>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(text_reader number_format tabsum_run station_file pluvo_run idw_plan batch_options dialogue_answers service_readers)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHYDRO_FUZZ=ON -DHYDRO_TESTS=OFF -DHYDRO_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/%/_fuzz}"

# A huge allocation gives null, as the tools expect of a failed one.
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}

failed=()
summary=()
for t in "${targets[@]}"; do
  work="$build/fuzz-work/$t"
  findings="$build/findings/$t"
  rm -rf "$work" "$findings"
  mkdir -p "$work/corpus" "$findings"
  log="$work/log"
  echo "== fuzz $t for ${seconds} s"
  status=0
  # New inputs go to the work corpus; the seeds in the repository stay as they are.
  nice -n 10 "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work/corpus" "$root/fuzz/corpus/$t" >"$log" 2>&1 ||
    status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  count=$(find "$findings" -type f | wc -l)
  line=$(printf '%-14s %4s s %10s executions  %s finding(s)' "$t" "${took:-?}" "${runs:-?}" "$count")
  summary+=("$line")
  if [[ $status -ne 0 || $count -ne 0 ]]; then
    failed+=("$t")
    echo "-- $t failed (exit $status); the end of its log:"
    tail -n 40 "$log"
    ls -l "$findings"
  fi
done

echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
