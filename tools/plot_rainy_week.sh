#!/bin/sh
# Draws one week of one station of the Berlin example as a PNG: the measured
# hours, the hours pluvo rebuilds from the station's daily (Sammler) totals
# when the other six stations are the hourly stations, and the daily totals
# spread evenly over their 24 hours.
#
#   tools/plot_rainy_week.sh PLUVO [STATION [FIRST_DAY [OUT.png]]]
#
# FIRST_DAY is YYYY-MM-DD (default 2017-07-21, station default 00433, output
# default examples/berlin/rainy_week.png). Needs Python 3 (for the leave-one-out
# check that supplies the hours) and gnuplot with its cairo terminals, on
# Debian and Ubuntu:  apt-get install gnuplot-nox
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 PLUVO [STATION [FIRST_DAY [OUT.png]]]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
pluvo=$1
station=${2:-00433}
first_day=${3:-2017-07-21}
out=${4:-$root/examples/berlin/rainy_week.png}
if ! command -v gnuplot >/dev/null 2>&1; then
  echo "$0: gnuplot is not installed (Debian/Ubuntu: apt-get install gnuplot-nox)" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$root/tools/leave_one_out.py" --series "$work/series.tsv" "$pluvo" \
  "$root/examples/berlin/hourly_7_stations.txt" "$root/examples/berlin/stations_berlin.txt" \
  >/dev/null

# x is the time in days from 0 h of FIRST_DAY; hour h covers (h-1)..h.
year=${first_day%%-*}; rest=${first_day#*-}; month=${rest%%-*}; day=${rest#*-}
awk -F '\t' -v st="$station" -v y="$year" -v m="$month" -v d="$day" '
  function daynum(yy, mm, dd,   a, b) {    # days since a fixed origin
    a = int((14 - mm) / 12); yy = yy + 4800 - a; mm = mm + 12 * a - 3
    return dd + int((153 * mm + 2) / 5) + 365 * yy + int(yy / 4) - int(yy / 100) + int(yy / 400)
  }
  BEGIN { origin = daynum(y + 0, m + 0, d + 0) }
  $1 == st {
    t = daynum($2, $3, $4) - origin + ($5 - 1) / 24
    if (t >= 0 && t < 7) print t, $6, $9, $10
  }' "$work/series.tsv" >"$work/week.dat"
if [ ! -s "$work/week.dat" ]; then
  echo "$0: no hours of station $station in the week from $first_day" >&2
  exit 1
fi

name=$(awk -F '\t' -v st="$station" '$1 == st { print $NF }' "$root/examples/berlin/stations_berlin.txt")

tics=$(awk -v y="$year" -v m="$month" -v d="$day" 'BEGIN {
  split("31 28 31 30 31 30 31 31 30 31 30 31", len, " ")
  if ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) len[2] = 29
  mm = m + 0; dd = d + 0; s = ""
  for (i = 0; i <= 7; i++) {
    s = s sprintf("%s\"%d.%d.\" %d", (i ? ", " : ""), dd, mm, i)
    if (++dd > len[mm]) { dd = 1; if (++mm > 12) mm = 1 }
  }
  print s }')

gnuplot <<EOF
set terminal pngcairo size 1200,560 font "Sans,11"
set output "$out"
set datafile missing "-"
set title "$station ${name:-}, 7 days from $first_day: measured hours and hours rebuilt from daily totals (7 h to 6 h)"
set label 1 "Datenbasis: Deutscher Wetterdienst, Werte umformatiert und über Ablesefenster summiert" \
    at screen 0.01, screen 0.025 font "Sans,9"
set bmargin 5
set xrange [0:7]
set xtics ($tics)
set mxtics 4
set grid xtics ytics
set xlabel "day (hours in UTC)"
set ylabel "precipitation per hour [mm]"
set yrange [0:*]
set key top right
set style fill solid 0.6 noborder
plot "$work/week.dat" using (\$1 + 0.5/24):2:(1.0/24) with boxes lc rgb "#9ecae1" title "measured", \
     "" using 1:3 with steps lw 2 lc rgb "#d62728" title "pluvo from the daily totals, other six stations hourly", \
     "" using 1:4 with steps lw 2 dt 2 lc rgb "#404040" title "daily total spread evenly"
EOF
echo "$out"
