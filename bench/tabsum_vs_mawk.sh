#!/usr/bin/env bash
# Times tabsum against a mawk program doing the same work on large tables:
# per-column sums over groups of 24 rows, skipping values at or below -998,
# a totals row, and one console line per data row. On the rain table,
# tabsum is also timed by the calendar (--by day, --by month --min-valid
# 0.9, --by day --stat max).
#
#   bench/tabsum_vs_mawk.sh [--mawk-only] [--runs N] [--shape SHAPE]... BUILD_DIR
#
# Each SHAPE is a form of the values that BUILD_DIR/bench/gen_table makes
# (rain, one-decimal, three-decimals, six-digits, integers, right-aligned,
# mixed); without --shape, all of them, in that order. The tables are made
# once and kept in $HYDRO_BENCH_DIR (default ${TMPDIR:-/tmp}/hydro_bench)
# for later runs.
set -euo pipefail

ROWS=200000
COLUMNS=100
INTERVALS=24
SEED=1
RUNS=3
ALL_SHAPES=(rain one-decimal three-decimals six-digits integers right-aligned mixed)

usage() {
  echo "usage: $0 [--mawk-only] [--runs N] [--shape SHAPE]... BUILD_DIR" >&2
  exit 2
}

mawk_only=0
shapes=()
while [[ $# -gt 1 ]]; do
  case $1 in
    --mawk-only) mawk_only=1; shift ;;
    --runs) [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || usage; RUNS=$2; shift 2 ;;
    --shape) [[ " ${ALL_SHAPES[*]} " == *" ${2:-} "* ]] || usage; shapes+=("$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $# -eq 1 ]] || usage
[[ ${#shapes[@]} -gt 0 ]] || shapes=("${ALL_SHAPES[@]}")
[[ -d $1 ]] || { echo "build directory $1 not found" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
tabsum="$build_dir/aggregator/tabsum"
gen_table="$build_dir/bench/gen_table"

if [[ $mawk_only -eq 0 && ! -x $tabsum ]]; then
  echo "tabsum has not been built yet: $tabsum does not exist" >&2
  exit 1
fi
[[ -x $gen_table ]] || { echo "gen_table has not been built: $gen_table does not exist" >&2; exit 1; }
command -v mawk > /dev/null || { echo "mawk is not installed" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed" >&2; exit 1; }

bench_dir="${HYDRO_BENCH_DIR:-${TMPDIR:-/tmp}/hydro_bench}"

# The same work as tabsum: the header row is copied, each completed group of
# rows gives a row of column sums stamped with its last row's date, the totals
# row includes an incomplete last group, and every row is reported on the
# console with its valid count and mean. The field separator is given with
# -F: a tab, or runs of blanks for the right-aligned table.
# shellcheck disable=SC2016 # the program is awk text, not for the shell to expand
MAWK_PROGRAM='
NR == 1 { printf "Sums from %s (%d intervals): %s\n", FILENAME, n, $0 > out; next }
NR == 2 { nf = NF }
{
  rs = 0; rc = 0
  for (j = 5; j <= nf; j++) { v = $j + 0; if (v > -998) { s[j] += v; rs += v; rc++ } }
  ts += rs; tc += rc
  printf "%d.%d.%d, %d: (cnt: %f) %f\n", $3, $2, $1, $4, rc, (rc > 0 ? rs / rc : -99999)
  if (++k == n) {
    printf "%s\t%s\t%s\t%s", $1, $2, $3, $4 > out
    for (j = 5; j <= nf; j++) { printf "\t%g", s[j] > out; t[j] += s[j]; s[j] = 0 }
    printf "\n" > out
    k = 0
  }
  d = $3; m = $2; y = $1; h = $4
}
END {
  printf "0\t0\t0\t0" > out
  for (j = 5; j <= nf; j++) printf "\t%g", t[j] + s[j] > out
  printf "\n" > out
  printf "%d.%d.%d, %d: (cnt: %f) %f\n", d, m, y, h, tc, (tc > 0 ? ts / tc : -99999)
}'

# Runs the command RUNS times with its standard output discarded and sets
# best_seconds (the shortest wall time) and peak_kb (the largest resident set).
time_best() {
  best_seconds=""
  peak_kb=0
  local run start end seconds kb
  for ((run = 1; run <= RUNS; run++)); do
    # The shell's own clock: a command that reads the clock would be timed
    # with the program.
    start=$EPOCHREALTIME
    if ! /usr/bin/time -f %M -o memory.txt "$@" > /dev/null; then
      echo "failed: $*" >&2
      tail -n 5 memory.txt >&2 || true
      exit 1
    fi
    end=$EPOCHREALTIME
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    kb=$(tail -n 1 memory.txt)
    if [[ -z $best_seconds ]] || awk -v a="$seconds" -v b="$best_seconds" 'BEGIN { exit !(a < b) }'; then
      best_seconds=$seconds
    fi
    if ((kb > peak_kb)); then peak_kb=$kb; fi
  done
}

to_mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }
rate() { awk -v b="$1" -v t="$2" 'BEGIN { if (t > 0) printf "%.0f MB/s", b / 1e6 / t; else print "too fast to measure" }'; }

echo "best of $RUNS runs, $ROWS rows x $COLUMNS columns, groups of $INTERVALS rows"
for shape in "${shapes[@]}"; do
  # The rain table keeps the folder name it has always had, so that tables
  # made by earlier runs are used again.
  suffix=""
  [[ $shape == rain ]] || suffix="_$shape"
  work="$bench_dir/tabsum_r${ROWS}_c${COLUMNS}_s${SEED}$suffix"
  mkdir -p "$work"
  cd "$work"
  if [[ ! -s table.txt ]]; then
    echo "generating $work/table.txt ($ROWS rows, $COLUMNS value columns, shape $shape)"
    # Renamed only when complete, so an interrupted run does not leave a short table behind.
    "$gen_table" --seed "$SEED" --rows "$ROWS" --columns "$COLUMNS" --shape "$shape" table.txt.part
    mv table.txt.part table.txt
  fi
  bytes=$(stat -c %s table.txt)
  separator=$'\t'
  [[ $shape == right-aligned ]] && separator=" "
  echo "$shape: $work/table.txt, $(awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1e6 }') MB"
  if [[ $mawk_only -eq 0 ]]; then
    time_best "$tabsum" table.txt out.txt "$INTERVALS"
    tabsum_seconds=$best_seconds
    tabsum_kb=$peak_kb
  fi
  time_best mawk -F "$separator" -v n="$INTERVALS" -v out=out_mawk.txt "$MAWK_PROGRAM" table.txt
  mawk_seconds=$best_seconds
  mawk_kb=$peak_kb
  if [[ $mawk_only -eq 0 ]]; then
    echo "  tabsum: $tabsum_seconds s, $(rate "$bytes" "$tabsum_seconds"), peak resident memory $(to_mb "$tabsum_kb") MB"
  fi
  echo "  mawk:   $mawk_seconds s, $(rate "$bytes" "$mawk_seconds"), peak resident memory $(to_mb "$mawk_kb") MB"
  if [[ $mawk_only -eq 0 ]]; then
    awk -v m="$mawk_seconds" -v t="$tabsum_seconds" \
      'BEGIN { if (t > 0) printf "  mawk / tabsum: %.2f\n", m / t; else print "  mawk / tabsum: tabsum too fast to measure" }'
    if [[ $shape == rain ]]; then
      # The same table by the calendar: days (as many groups as above), and
      # months with a share of valid values, which count each column's values.
      time_best "$tabsum" --by day table.txt out_day.txt
      day_seconds=$best_seconds
      day_kb=$peak_kb
      time_best "$tabsum" --by month --min-valid 0.9 table.txt out_month.txt
      month_seconds=$best_seconds
      month_kb=$peak_kb
      # The largest value of each day: the row step's instantiation that
      # keeps an extreme besides the sums.
      time_best "$tabsum" --by day --stat max table.txt out_max.txt
      max_seconds=$best_seconds
      max_kb=$peak_kb
      echo "  tabsum --by day: $day_seconds s, peak resident memory $(to_mb "$day_kb") MB"
      echo "  tabsum --by month --min-valid 0.9: $month_seconds s, peak resident memory $(to_mb "$month_kb") MB"
      echo "  tabsum --by day --stat max: $max_seconds s, peak resident memory $(to_mb "$max_kb") MB"
      awk -v d="$day_seconds" -v m="$month_seconds" -v x="$max_seconds" -v t="$tabsum_seconds" \
        'BEGIN { if (t > 0) printf "  by the calendar / groups of rows: day %.3f, month %.3f, day max %.3f\n", d / t, m / t, x / t }'
    fi
    # Both write the same table when they did the same work; a difference is
    # worth a look before trusting the ratio.
    if cmp -s out.txt out_mawk.txt; then
      echo "  output files: identical"
    else
      echo "  output files: differ ($work/out.txt vs out_mawk.txt)"
    fi
  fi
done
