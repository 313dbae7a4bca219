#!/bin/sh
# stationfile with a wide table as source, on the Berlin example
# (examples/berlin; Datenbasis: Deutscher Wetterdienst, Werte umformatiert
# und über Ablesefenster summiert). From hourly_7_stations.txt and the
# station list it must write the ANETZ file of the six stations other than
# 00433 and the Klima file of 00433 with the same header lines 2 to 5 and the
# same records as the example's own anetz_berlin.txt and klima_berlin.txt
# (whose last day, 1 October, has a 19 h window that runs past the hours of
# the table: stationfile ends the Klima file on 30 September).
#   check_stationfile_berlin_table.sh STATIONFILE
set -eu
[ $# -eq 1 ] || { echo "usage: $0 STATIONFILE" >&2; exit 2; }
stationfile=$1
berlin=$(cd "$(dirname "$0")/../../examples/berlin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

grep -v '^00433' "$berlin/stations_berlin.txt" >anetz_stations.txt
awk 'NR == 1 || /^00433/' "$berlin/stations_berlin.txt" >klima_stations.txt
"$stationfile" anetz -o anetz.txt --stations anetz_stations.txt "$berlin/hourly_7_stations.txt" >anetz_console.txt
"$stationfile" klima -o klima.txt --stations klima_stations.txt "$berlin/hourly_7_stations.txt" >klima_console.txt
# The same places from latitude and longitude in UTM zone 33.
"$stationfile" anetz -o projected.txt --stations anetz_stations.txt --projection utm:33 \
  "$berlin/hourly_7_stations.txt" >projected_console.txt

failed=0
same() { # what expected actual
  if ! cmp -s "$2" "$3"; then
    echo "$1 differs:" >&2
    diff "$2" "$3" | head -n 10 >&2 || true
    failed=1
  fi
}
tail -n +2 "$berlin/anetz_berlin.txt" >want_anetz.txt
tail -n +2 anetz.txt >got_anetz.txt
same "the ANETZ file" want_anetz.txt got_anetz.txt
tail -n +2 projected.txt >got_projected.txt
same "the ANETZ file with projected coordinates" want_anetz.txt got_projected.txt
head -n -2 "$berlin/klima_berlin.txt" | tail -n +2 >want_klima.txt
tail -n +2 klima.txt >got_klima.txt
same "the Klima file" want_klima.txt got_klima.txt
grep -q '^station 00433: not in anetz_stations.txt, left out$' anetz_console.txt ||
  { echo "no line about the column left out" >&2; failed=1; }
exit $failed
