#!/usr/bin/env bash
# Times pluvo on a national network on the real geometry of the German
# Weather Service's hourly precipitation stations (Datenbasis: Deutscher
# Wetterdienst): 1000 hourly, 500 twice-daily and 1500 daily stations,
# moving rain cells, maximum distance 30 km, power 2, for 1 and 10 years.
# Beside it, on the 1-year set (and with --plain-10 also on the 10-year
# set), the plain weighting of every source for every target of the same
# build (bench/pluvo_plain); the two tables must be identical.
#
#   bench/pluvo_national_bench.sh [--runs N] [--plain-10] BUILD_DIR
#
# Prints for each set the best time of N runs (default 3) with the cores
# the machine offers and with --threads 1, the peak resident memory, the
# time per year, and the plain program's time and the ratio. The data sets
# are made once by BUILD_DIR/bench/gen_stations and kept in
# $HYDRO_BENCH_DIR (default ${TMPDIR:-/tmp}/hydro_bench). Exits with 1 when
# the tables differ.
set -euo pipefail
export LC_ALL=C

RUNS=3
PLAIN_10=0
usage() {
  echo "usage: $0 [--runs N] [--plain-10] BUILD_DIR" >&2
  exit 2
}
while [[ ${1:-} == --* ]]; do
  case $1 in
    --runs)
      [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || usage
      RUNS=$2
      shift 2
      ;;
    --plain-10)
      PLAIN_10=1
      shift
      ;;
    *) usage ;;
  esac
done
[[ $# -eq 1 && -d $1 ]] || usage
build_dir=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
sites="$here/dwd-stations/RR_Stundenwerte_Beschreibung_Stationen.txt"
pluvo="$build_dir/interpolator/pluvo"
plain="$build_dir/bench/pluvo_plain"
gen="$build_dir/bench/gen_stations"
for program in "$pluvo" "$plain" "$gen"; do
  [[ -x $program ]] || { echo "$program has not been built" >&2; exit 1; }
done
[[ -f $sites ]] || { echo "station list not found: $sites" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is not installed" >&2; exit 1; }
base="${HYDRO_BENCH_DIR:-${TMPDIR:-/tmp}/hydro_bench}"
mkdir -p "$base"

# One run of a program (and its arguments) in directory $1: prints
# "seconds peak_kb".
time_one() {
  local dir=$1
  shift
  local start end
  rm -f "$dir/pluvo_out.txt"
  start=$EPOCHREALTIME
  # The run's warnings (stations out of reach, rain lost) are kept beside
  # its table, so that the figures stay readable.
  if ! (cd "$dir" && /usr/bin/time -f %M -o "$base/memory.txt" "$@" < answers.txt > /dev/null 2> warnings.txt); then
    echo "$* failed in $dir (see $dir/warnings.txt)" >&2
    exit 1
  fi
  end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" -v kb="$(tail -n 1 "$base/memory.txt")" 'BEGIN { printf "%.3f %d\n", b - a, kb }'
}

# Best time and largest peak memory of $2 runs of a program (and its
# arguments) in directory $1; the table is kept as $3.
best_of() {
  local dir=$1 runs=$2 kept=$3
  shift 3
  local best="" peak=0 seconds kb
  for ((r = 1; r <= runs; r++)); do
    read -r seconds kb < <(time_one "$dir" "$@")
    if [[ -z $best ]] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
    ((kb > peak)) && peak=$kb
  done
  mv "$dir/pluvo_out.txt" "$dir/$kept"
  echo "$best $peak"
}

differ=0
bench_set() {
  local years=$1 with_plain=$2
  local dir="$base/pluvo_national_${years}y"
  if [[ ! -s $dir/answers.txt ]]; then
    echo "generating $dir"
    rm -rf "$dir"
    "$gen" --seed 1 --years "$years" --start-year 2010 --anetz 1000 --klima 500 --sammler 1500 --sites "$sites" "$dir"
  fi
  local t_all kb_all t_one kb_one
  read -r t_all kb_all < <(best_of "$dir" "$RUNS" out_cores.txt "$pluvo")
  read -r t_one kb_one < <(best_of "$dir" "$RUNS" out_one.txt "$pluvo" --threads 1)
  printf '%2d years: %s s with %s threads, %s s with 1 (best of %d); %s s per year; peak resident memory %.1f / %.1f MB\n' \
    "$years" "$t_all" "$(nproc)" "$t_one" "$RUNS" "$(awk -v t="$t_all" -v y="$years" 'BEGIN { printf "%.3f", t / y }')" \
    "$(awk -v k="$kb_all" 'BEGIN { print k / 1024 }')" "$(awk -v k="$kb_one" 'BEGIN { print k / 1024 }')"
  if ! cmp -s "$dir/out_cores.txt" "$dir/out_one.txt"; then
    echo "          tables of $(nproc) threads and 1 thread differ" >&2
    differ=1
  fi
  if ((with_plain)); then
    local t_plain kb_plain
    read -r t_plain kb_plain < <(best_of "$dir" 1 out_plain.txt "$plain")
    printf '          plain weighting: %s s, peak resident memory %.1f MB; plain / pluvo: %s\n' "$t_plain" \
      "$(awk -v k="$kb_plain" 'BEGIN { print k / 1024 }')" \
      "$(awk -v p="$t_plain" -v t="$t_all" 'BEGIN { printf "%.1f", p / t }')"
    if cmp -s "$dir/out_cores.txt" "$dir/out_plain.txt"; then
      echo "          tables: identical"
    else
      echo "          tables: differ ($dir/out_cores.txt vs out_plain.txt)"
      differ=1
    fi
  fi
  # The tables are large; the last one is kept for a look.
  rm -f "$dir/out_one.txt" "$dir/out_plain.txt"
}

bench_set 1 1
bench_set 10 "$PLAIN_10"
exit "$differ"
