#!/bin/sh
# stationfile on KNMI's De Bilt files (fixtures of tests/fixtures/knmi-de-bilt;
# source: Royal Netherlands Meteorological Institute): station 260's hours as
# ANETZ file, gauge 550's daily totals as Sammler file, both in UTC-2, where
# the gauge's reading at 08:00 UTC is pluvo's 6 h. pluvo must read them to the
# end, and the hours of 260 must match 550's totals far better in the
# windows the Sammler records name than a day earlier or later: a total
# placed on the wrong day would not.
#   check_stationfile_knmi.sh STATIONFILE PLUVO
set -eu
[ $# -eq 2 ] || { echo "usage: $0 STATIONFILE PLUVO" >&2; exit 2; }
stationfile=$1
pluvo=$2
fixtures=$(cd "$(dirname "$0")/../fixtures/knmi-de-bilt" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$stationfile" anetz -o anetz.txt --stations "$fixtures/knmi_meteostation.json" \
  "$fixtures/uurgeg_260_1991-2000.txt" >anetz_console.txt
"$stationfile" sammler -o sammler.txt --stations "$fixtures/knmi_neerslagstation.json" \
  "$fixtures/neerslaggeg_DE-BILT_550.txt" >sammler_console.txt
grep -q '^time base: UTC-2 ' sammler_console.txt || { echo "the Sammler file is not in UTC-2" >&2; exit 1; }
status=0
"$pluvo" --anetz anetz.txt --sammler sammler.txt --output pluvo.txt --start 5.6.2000 --end 12.6.2000 \
  --power 2 --max-distance 100 --upper-limit 500 --upper-replacement 500 >pluvo_console.txt 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "pluvo ended with exit code $status:" >&2; tail -n 3 pluvo_console.txt >&2; exit 1; }

# Hour h of day D as an hour count; each Sammler reading of D (in units of
# 10 mm) against 260's hours 7 of D to 6 of D+1, shifted by -24, 0, +24 h.
awk -F'\t' '
  # Days from 1 March of year 0 (Gregorian), by plain arithmetic.
  function days(y, m, d) {
    if (m <= 2) { y -= 1; m += 12 }
    return 365 * y + int(y / 4) - int(y / 100) + int(y / 400) + int((153 * (m - 3) + 2) / 5) + d
  }
  FNR <= 5 { next }
  FILENAME == "anetz.txt" { rain[days($1, $2, $3) * 24 + $4] = $5; next }
  { total[days($1, $2, $3)] = $5 * 10 }
  END {
    for (shift = -24; shift <= 24; shift += 24) {
      err[shift] = 0
      for (d in total) {
        s = 0; whole = 1
        for (h = 7; h <= 30; ++h) { k = d * 24 + h + shift; if (!(k in rain)) whole = 0; s += rain[k] }
        if (whole) { e = s - total[d]; err[shift] += e < 0 ? -e : e; n[shift]++ }
      }
    }
    printf "mismatch of 260 against 550, mm (days): day before %.1f (%d), same day %.1f (%d), day after %.1f (%d)\n",
      err[-24], n[-24], err[0], n[0], err[24], n[24]
    exit !(n[0] >= 5 && err[0] * 3 < err[-24] && err[0] * 3 < err[24])
  }' anetz.txt sammler.txt
