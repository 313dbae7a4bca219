#!/usr/bin/env bash
# A national network of 1000 hourly, 500 twice-daily and 1500 daily stations
# on the German Weather Service's station geometry (Datenbasis: Deutscher
# Wetterdienst), a few days long, made at test time: pluvo with 1, 2 and 3
# threads and the plain weighting (pluvo_plain) must give the same console,
# table and exit code, and every station must be in the table.
#
#   national_threads.sh GEN_STATIONS PLUVO PLUVO_PLAIN STATION_LIST WORK_DIR
set -euo pipefail
[[ $# -eq 5 ]] || { echo "usage: $0 GEN_STATIONS PLUVO PLUVO_PLAIN STATION_LIST WORK_DIR" >&2; exit 2; }
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
gen=$(absolute "$1") pluvo=$(absolute "$2") plain=$(absolute "$3") sites=$(absolute "$4") work=$5
rm -rf "$work"
"$gen" --seed 7 --days 4 --start-year 2015 --anetz 1000 --klima 500 --sammler 1500 --sites "$sites" "$work" > /dev/null
cd "$work"
run() {
  local name=$1
  shift
  local code=0
  "$@" < answers.txt > "console_$name.txt" 2> "errors_$name.txt" || code=$?
  echo "$code" > "exit_$name.txt"
  mv pluvo_out.txt "table_$name.txt"
}
run plain "$plain"
run t1 "$pluvo" --threads 1
run t2 "$pluvo" --threads 2
run t3 "$pluvo" --threads 3
[[ $(cat exit_plain.txt) == 0 ]] || { echo "the plain run ended with $(cat exit_plain.txt)" >&2; exit 1; }
# Standard error holds only warnings (stations out of reach, rain lost).
! grep -qv '^pluvo: warning: ' errors_plain.txt || { echo "the plain run wrote more than warnings to standard error" >&2; exit 1; }
grep -q '^Gesamtzahl der Stationen : 3000' console_plain.txt || { echo "not all 3000 stations taken" >&2; exit 1; }
# 5 header lines, 96 rows of the 4 stamp fields and 3000 values.
fields=$(awk -F'\t' 'NR > 1 { print NF }' table_plain.txt | sort -u)
rows=$(wc -l < table_plain.txt)
[[ $fields == 3004 && $rows == 101 ]] || { echo "table of $rows lines with $fields fields" >&2; exit 1; }
status=0
for name in t1 t2 t3; do
  for part in console exit errors table; do
    if ! cmp -s "${part}_plain.txt" "${part}_$name.txt"; then
      echo "$part of $name differs from the plain run" >&2
      status=1
    fi
  done
done
[[ $status == 0 ]] && echo "1, 2 and 3 threads and the plain weighting: identical"
exit "$status"
