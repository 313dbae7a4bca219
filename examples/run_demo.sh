#!/usr/bin/env bash
# Builds both tools (Release) and runs them on the example data: first on
# measured hourly precipitation of 7 stations in Berlin, then on a small
# generated data set for what the measured one cannot show. The results are
# written to build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHYDRO_TESTS=OFF -DHYDRO_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tabsum pluvo >/dev/null
tabsum="$build/aggregator/tabsum"
pluvo="$build/interpolator/pluvo"

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/berlin" "$demo/generated"
berlin="$root/examples/berlin"
cp "$berlin/"*.txt "$demo/berlin/"

same_as_stored() {
  if cmp -s "$demo/berlin/$1" "$berlin/expected/$1"; then
    echo "-- $1 is byte for byte the stored copy examples/berlin/expected/$1"
  else
    echo "-- $1 differs from the stored copy examples/berlin/expected/$1" >&2
    exit 1
  fi
}

echo "== Measured data: hourly precipitation of 7 stations in Berlin, 1 April to 1 October 2017"
echo "   Datenbasis: Deutscher Wetterdienst, Werte umformatiert und über Ablesefenster summiert"
echo "   (source and licence CC BY 4.0: examples/berlin/README.md)"
echo
echo "== tabsum: daily sums of the 7 stations (24 rows per interval)"
echo "\$ tabsum hourly_7_stations.txt daily_sums.txt 24"
(cd "$demo/berlin" && "$tabsum" hourly_7_stations.txt daily_sums.txt 24 | tail -n 3)
echo "-- header, 28 to 30 June and the totals row of $demo/berlin/daily_sums.txt:"
head -n 1 "$demo/berlin/daily_sums.txt"
awk '$2 == 6 && $3 >= 28' "$demo/berlin/daily_sums.txt"
tail -n 1 "$demo/berlin/daily_sums.txt"
same_as_stored daily_sums.txt
echo
echo "== tabsum: monthly sums by the calendar; a month with less than 90 % of its hours"
echo "   valid is missing (-999): October has only its first day"
echo "\$ tabsum --by month --min-valid 0.9 hourly_7_stations.txt monthly_sums.txt"
(cd "$demo/berlin" && "$tabsum" --by month --min-valid 0.9 hourly_7_stations.txt monthly_sums.txt | tail -n 2)
cat "$demo/berlin/monthly_sums.txt"
same_as_stored monthly_sums.txt

echo
echo "== pluvo: the six other stations as hourly (ANETZ) stations, interpolated onto"
echo "   00433 Berlin-Tempelhof as a twice-daily (Klima) and a daily (Sammler) station,"
echo "   1 April to 30 September 2017 (the last day whose 7 h to 6 h window the data cover)"
echo "\$ pluvo < answers.txt"
(cd "$demo/berlin" && "$pluvo" < answers.txt | tail -n 3)
echo "-- 29 June 2017, 9 h to 20 h: the last two columns are pluvo's hours for 00433"
echo "   (Klima, Sammler); 'measured' is what 00433 measured (hourly_7_stations.txt):"
awk -F '\t' 'NR == FNR { if ($2 == 6 && $3 == 29) m[$4] = $11; next }
             FNR == 5 { print $0 "\tmeasured" }
             $2 == 6 && $3 == 29 && $4 >= 9 && $4 <= 20 { print $0 "\t" m[$4] }' \
  "$demo/berlin/hourly_7_stations.txt" "$demo/berlin/pluvo_berlin.txt"
same_as_stored pluvo_berlin.txt
echo
echo "== How well such hours match measured ones: each of the 7 stations in turn rebuilt"
echo "   from its own Klima and Sammler totals and the other six stations' hours"
echo "\$ python3 tools/leave_one_out.py $pluvo examples/berlin/hourly_7_stations.txt examples/berlin/stations_berlin.txt"
if command -v python3 >/dev/null 2>&1; then
  python3 "$root/tools/leave_one_out.py" "$pluvo" \
    "$berlin/hourly_7_stations.txt" "$berlin/stations_berlin.txt"
  echo "   (r: correlation of the hours; wet: measured rain hours that get rain; dry: measured"
  echo "   dry hours that stay dry; volume: share of the measured volume kept; 'even': the"
  echo "   measured total spread evenly over its window; README.md explains the figures)"
else
  echo "-- (skipped: python3 is not installed)"
fi

echo
echo "== Generated data, for what the measured data cannot show: dates answered with"
echo "   two-digit years (98 is 1998) and twice-daily (Klima) stations with missing readings"
echo "== pluvo: February 1998, 6 hourly, 3 twice-daily and 2 daily stations"
cp "$root/examples/pluvo/"*.txt "$demo/generated/"
(cd "$demo/generated" && "$pluvo" < answers.txt | tail -n 3)
echo "-- 14 and 15 February 1998, 17 h to 8 h: K001 has no reading at 19 h on the 14th,"
echo "   so its hours from 19 h to 6 h are missing (-999.0):"
awk -F '\t' 'FNR == 5 || ($2 == 2 && (($3 == 14 && $4 >= 17) || ($3 == 15 && $4 <= 8)))' \
  "$demo/generated/pluvo_out.txt"
