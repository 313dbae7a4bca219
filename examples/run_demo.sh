#!/usr/bin/env bash
# Builds both tools (Release) and runs them on the example data. The results
# are written to build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHYDRO_TESTS=OFF -DHYDRO_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tabsum pluvo >/dev/null

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/tabsum" "$demo/pluvo"

echo "== tabsum: daily sums of an hourly table (24 rows per interval)"
cp "$root/examples/tabsum/hourly.txt" "$demo/tabsum/"
(cd "$demo/tabsum" && "$build/aggregator/tabsum" hourly.txt daily_sums.txt 24 | tail -n 4)
echo "-- $demo/tabsum/daily_sums.txt:"
cat "$demo/tabsum/daily_sums.txt"

echo
echo "== pluvo: February 1998, 6 hourly, 3 twice-daily and 2 daily stations"
cp "$root/examples/pluvo/"*.txt "$demo/pluvo/"
(cd "$demo/pluvo" && "$build/interpolator/pluvo" < answers.txt | tail -n 6)
echo
echo "-- first rows of $demo/pluvo/pluvo_out.txt:"
head -n 12 "$demo/pluvo/pluvo_out.txt"
