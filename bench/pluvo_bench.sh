#!/usr/bin/env bash
# Times pluvo on a 10-year and a 1-year data set of 60 hourly, 25 twice-daily
# and 15 daily stations.
#
#   bench/pluvo_bench.sh BUILD_DIR
#
# The data sets are made once by BUILD_DIR/bench/gen_stations and kept in
# $HYDRO_BENCH_DIR (default ${TMPDIR:-/tmp}/hydro_bench) for later runs.
set -euo pipefail

SEED=1
RUNS=3

[[ $# -eq 1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
[[ -d $1 ]] || { echo "build directory $1 not found" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
pluvo="$build_dir/interpolator/pluvo"
gen_stations="$build_dir/bench/gen_stations"

if [[ ! -x $pluvo ]]; then
  echo "pluvo has not been built yet: $pluvo does not exist" >&2
  exit 1
fi
[[ -x $gen_stations ]] || { echo "gen_stations has not been built: $gen_stations does not exist" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed" >&2; exit 1; }

base="${HYDRO_BENCH_DIR:-${TMPDIR:-/tmp}/hydro_bench}"

to_mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }

# Hours from 1 h of the start day to 24 h of the end day, as the answers ask.
period_hours() {
  local a=("${@}")
  local from to
  from=$(date -u -d "$(printf '%04d-%02d-%02d' "${a[2]}" "${a[1]}" "${a[0]}")" +%s)
  to=$(date -u -d "$(printf '%04d-%02d-%02d' "${a[5]}" "${a[4]}" "${a[3]}")" +%s)
  echo $(((to - from) / 3600 + 24))
}

bench_one() {
  local years=$1
  local dir="$base/pluvo_${years}y_s${SEED}"
  # answers.txt is written last: without it the set is incomplete.
  if [[ ! -s $dir/answers.txt ]]; then
    echo "generating $dir"
    rm -rf "$dir"
    "$gen_stations" --seed "$SEED" --years "$years" --anetz 60 --klima 25 --sammler 15 "$dir"
  fi

  local answers
  mapfile -t answers < "$dir/answers.txt"
  local output_name=${answers[3]}
  local expected
  expected=$(period_hours "${answers[@]:5:6}")

  local best="" peak=0 run start end seconds kb
  for ((run = 1; run <= RUNS; run++)); do
    rm -f "$dir/$output_name"
    start=$(date +%s%N)
    if ! (cd "$dir" && /usr/bin/time -f %M -o "$base/memory.txt" "$pluvo" < answers.txt > /dev/null); then
      echo "pluvo failed in $dir" >&2
      tail -n 5 "$base/memory.txt" >&2 || true
      exit 1
    fi
    end=$(date +%s%N)
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    kb=$(tail -n 1 "$base/memory.txt")
    if [[ -z $best ]] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$seconds
    fi
    if ((kb > peak)); then peak=$kb; fi
  done

  # The header lines start with text; every hour written is a row starting with its year.
  local rows
  rows=$(grep -c '^[0-9-]' "$dir/$output_name" || true)
  local rate
  rate=$(awk -v r="$rows" -v s="$best" 'BEGIN { if (s > 0) printf "%.0f", r / s; else print "n/a" }')
  printf '%2d years: %s s (best of %d), %s output rows (period: %s hours), %s hours/s, peak resident memory %s MB\n' \
    "$years" "$best" "$RUNS" "$rows" "$expected" "$rate" "$(to_mb "$peak")"
}

mkdir -p "$base"
bench_one 10
bench_one 1
