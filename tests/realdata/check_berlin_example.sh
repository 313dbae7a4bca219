#!/bin/sh
# Runs tabsum and pluvo on the Berlin example as the demo does and compares
# their tables byte for byte with the stored copies in examples/berlin/expected/.
#   check_berlin_example.sh TABSUM PLUVO
set -eu
[ $# -eq 2 ] || { echo "usage: $0 TABSUM PLUVO" >&2; exit 2; }
tabsum=$1
pluvo=$2
berlin=$(cd "$(dirname "$0")/../../examples/berlin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$berlin"/*.txt "$work/"
cd "$work"

status=0
"$tabsum" hourly_7_stations.txt daily_sums.txt 24 >tabsum_console.txt || status=$?
[ "$status" -eq 0 ] || { echo "tabsum ended with exit code $status" >&2; exit 1; }
"$tabsum" --by month --min-valid 0.9 hourly_7_stations.txt monthly_sums.txt >tabsum_monthly_console.txt || status=$?
[ "$status" -eq 0 ] || { echo "tabsum --by month ended with exit code $status" >&2; exit 1; }
"$pluvo" <answers.txt >pluvo_console.txt 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "pluvo ended with exit code $status:" >&2; tail -n 3 pluvo_console.txt >&2; exit 1; }

failed=0
for table in daily_sums.txt monthly_sums.txt pluvo_berlin.txt; do
  if ! cmp "$berlin/expected/$table" "$table"; then
    echo "$table differs from examples/berlin/expected/$table; first differing lines:" >&2
    diff "$berlin/expected/$table" "$table" | head -n 10 >&2 || true
    failed=1
  fi
done
exit $failed
