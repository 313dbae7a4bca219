#!/usr/bin/env bash
# Builds the three tools (Release) and runs them on the example data: first on
# measured hourly precipitation of 7 stations in Berlin, then stationfile and
# pluvo on the German Weather Service's own files of the Ruhr area, then on a
# small generated data set for what the measured ones cannot show. The
# results are written to build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHYDRO_TESTS=OFF -DHYDRO_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tabsum pluvo stationfile >/dev/null
tabsum="$build/aggregator/tabsum"
pluvo="$build/interpolator/pluvo"
stationfile="$build/importer/stationfile"

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/berlin" "$demo/ruhr" "$demo/generated"
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
echo "== The service's own files, Ruhr area, June to August 2010: stationfile writes the"
echo "   four hourly stations other than 01303 Essen-Bredeney as ANETZ file and Essen's"
echo "   daily totals as Sammler file; pluvo makes Essen's hours from them"
echo "   Datenbasis: Deutscher Wetterdienst (source and licence CC BY 4.0: examples/ruhr/README.md)"
cp "$root/examples/ruhr/"* "$demo/ruhr/"
cd "$demo/ruhr"
echo "\$ stationfile anetz -o anetz_ruhr.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt produkt_rr_stunde_*_{00555,01078,05717,13696}.txt"
"$stationfile" anetz -o anetz_ruhr.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt \
  produkt_rr_stunde_*_00555.txt produkt_rr_stunde_*_01078.txt produkt_rr_stunde_*_05717.txt \
  produkt_rr_stunde_*_13696.txt
echo "\$ stationfile sammler -o sammler_essen.txt --stations RR_Tageswerte_Beschreibung_Stationen.txt produkt_nieder_tag_19350101_20231231_01303.txt"
"$stationfile" sammler -o sammler_essen.txt --stations RR_Tageswerte_Beschreibung_Stationen.txt \
  produkt_nieder_tag_19350101_20231231_01303.txt
echo "-- Essen's measured hours as a station file, only to compare with:"
echo "\$ stationfile anetz -o measured_essen.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt produkt_rr_stunde_*_01303.txt"
"$stationfile" anetz -o measured_essen.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt \
  produkt_rr_stunde_*_01303.txt
echo "\$ pluvo --anetz anetz_ruhr.txt --sammler sammler_essen.txt --output pluvo_essen.txt --start 1.6.2010 --end 31.8.2010 --max-distance 100"
"$pluvo" --anetz anetz_ruhr.txt --sammler sammler_essen.txt --output pluvo_essen.txt \
  --start 1.6.2010 --end 31.8.2010 --max-distance 100 >/dev/null
echo "-- pluvo_essen.txt: Essen's hours in the last column"
echo "-- pluvo's hours for Essen against Essen's measured hours:"
echo "\$ python3 tools/compare_hours.py pluvo_essen.txt measured_essen.txt sammler_essen.txt"
if command -v python3 >/dev/null 2>&1; then
  python3 "$root/tools/compare_hours.py" pluvo_essen.txt measured_essen.txt sammler_essen.txt
else
  echo "-- (skipped: python3 is not installed)"
fi
cd "$root"

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
