#!/usr/bin/env bash
# Times pluvo on a 10-year and a 1-year data set of 60 hourly, 25 twice-daily
# and 15 daily stations; with a second pluvo program (for example a build of
# an earlier commit) it times both on the same data in one run, alternating
# their runs, and checks that they write the same output file.
#
#   bench/pluvo_bench.sh [--runs N] BUILD_DIR [OTHER_PLUVO]
#
# The data sets are made once by BUILD_DIR/bench/gen_stations and kept in
# $HYDRO_BENCH_DIR (default ${TMPDIR:-/tmp}/hydro_bench) for later runs.
# Exits with 1 when the two programs' output files differ.
set -euo pipefail
export LC_ALL=C  # the shell clock and awk agree on the decimal point

SEED=1
RUNS=5

usage() {
  echo "usage: $0 [--runs N] BUILD_DIR [OTHER_PLUVO]" >&2
  exit 2
}

if [[ ${1:-} == --runs ]]; then
  [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || usage
  RUNS=$2
  shift 2
fi
[[ $# -eq 1 || $# -eq 2 ]] || usage
[[ -d $1 ]] || { echo "build directory $1 not found" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
pluvo="$build_dir/interpolator/pluvo"
gen_stations="$build_dir/bench/gen_stations"
other=""
if [[ $# -eq 2 ]]; then
  [[ -x $2 && -f $2 ]] || { echo "second pluvo program $2 not found or not executable" >&2; exit 2; }
  other=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
fi

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

# One run of program $1 in directory $2; its output file ($3) is kept as $4.
# Keeps the shortest wall time and the largest peak memory under key $5.
declare -A best peak
time_one() {
  local program=$1 dir=$2 output_name=$3 kept=$4 key=$5
  local start end seconds kb
  rm -f "$dir/$output_name"
  cd "$dir"
  # The clock of the shell itself: a command to read it would be timed too.
  start=$EPOCHREALTIME
  # The run's warnings (rain lost) are kept beside its table.
  if ! /usr/bin/time -f %M -o "$base/memory.txt" "$program" < answers.txt > /dev/null 2> warnings.txt; then
    echo "$program failed in $dir" >&2
    tail -n 5 "$base/memory.txt" >&2 || true
    exit 1
  fi
  end=$EPOCHREALTIME
  cd - > /dev/null
  mv "$dir/$output_name" "$dir/$kept"
  seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
  kb=$(tail -n 1 "$base/memory.txt")
  if [[ -z ${best[$key]:-} ]] || awk -v a="$seconds" -v b="${best[$key]}" 'BEGIN { exit !(a < b) }'; then
    best[$key]=$seconds
  fi
  if ((kb > ${peak[$key]:-0})); then peak[$key]=$kb; fi
}

outputs_differ=0
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

  local run
  for ((run = 1; run <= RUNS; run++)); do
    time_one "$pluvo" "$dir" "$output_name" out_this.txt "this$years"
    if [[ -n $other ]]; then time_one "$other" "$dir" "$output_name" out_other.txt "other$years"; fi
  done

  # The header lines start with text; every hour written is a row starting with its year.
  local rows rate
  rows=$(grep -c '^[0-9-]' "$dir/out_this.txt" || true)
  rate=$(awk -v r="$rows" -v s="${best[this$years]}" 'BEGIN { if (s > 0) printf "%.0f", r / s; else print "n/a" }')
  printf '%2d years: %s s (best of %d), %s output rows (period: %s hours), %s hours/s, peak resident memory %s MB\n' \
    "$years" "${best[this$years]}" "$RUNS" "$rows" "$expected" "$rate" "$(to_mb "${peak[this$years]}")"
  if [[ -n $other ]]; then
    printf '          other: %s s, peak resident memory %s MB; other / this: %s\n' "${best[other$years]}" \
      "$(to_mb "${peak[other$years]}")" \
      "$(awk -v o="${best[other$years]}" -v t="${best[this$years]}" 'BEGIN { if (t > 0) printf "%.2f", o / t; else print "n/a" }')"
    if cmp -s "$dir/out_this.txt" "$dir/out_other.txt"; then
      echo "          output files: identical"
    else
      echo "          output files: differ ($dir/out_this.txt vs out_other.txt)"
      outputs_differ=1
    fi
  fi
}

mkdir -p "$base"
if [[ -n $other ]]; then echo "this: $pluvo"$'\n'"other: $other"; fi
bench_one 10
bench_one 1
exit "$outputs_differ"
