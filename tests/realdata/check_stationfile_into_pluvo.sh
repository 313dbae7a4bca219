#!/bin/sh
# stationfile's files are read by pluvo: the four Ruhr hourly stations other
# than Essen as ANETZ file, Essen's daily totals as Sammler file (fixtures of
# tests/fixtures/dwd-ruhr; Datenbasis: Deutscher Wetterdienst). pluvo must
# run to the end, and every daily window of Essen in pluvo's table must add
# up to the service's daily total RS of that day: that holds only when the
# Sammler reading of day D lands on the hours 7 of D to 6 of D+1 that the
# hourly files give.
#   check_stationfile_into_pluvo.sh STATIONFILE PLUVO
set -eu
[ $# -eq 2 ] || { echo "usage: $0 STATIONFILE PLUVO" >&2; exit 2; }
stationfile=$1
pluvo=$2
fixtures=$(cd "$(dirname "$0")/../fixtures/dwd-ruhr" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$stationfile" anetz -o anetz.txt --stations "$fixtures/RR_Stundenwerte_Beschreibung_Stationen.txt" \
  "$fixtures"/produkt_rr_stunde_*_00555.txt "$fixtures"/produkt_rr_stunde_*_01078.txt \
  "$fixtures"/produkt_rr_stunde_*_05717.txt "$fixtures"/produkt_rr_stunde_*_13696.txt >anetz_console.txt
"$stationfile" sammler -o sammler.txt --stations "$fixtures/RR_Tageswerte_Beschreibung_Stationen.txt" \
  "$fixtures/produkt_nieder_tag_19350101_20231231_01303.txt" >sammler_console.txt
status=0
"$pluvo" --anetz anetz.txt --sammler sammler.txt --output pluvo.txt --start 5.6.2010 --end 9.6.2010 \
  --power 2 --max-distance 100 --upper-limit 500 --upper-replacement 500 >pluvo_console.txt 2>&1 || status=$?
[ "$status" -eq 0 ] || { echo "pluvo ended with exit code $status:" >&2; tail -n 3 pluvo_console.txt >&2; exit 1; }

# Essen's column is the last one; the window of day D is hours 7..24 of D and
# 1..6 of D+1, so the window of the end date 9 June runs past the table. The
# service's totals of 5 to 8 June 2010 (RS, mm).
awk -F'\t' '
  BEGIN { rs[5] = 0.0; rs[6] = 23.1; rs[7] = 0.0; rs[8] = 4.9 }
  NR > 5 { d = ($4 >= 7) ? $3 : $3 - 1; if (d in rs) { sum[d] += $NF; n[d]++ } }
  END {
    bad = 0
    for (d in rs) {
      diff = sum[d] - rs[d]; if (diff < 0) diff = -diff
      # pluvo writes its hours with one decimal: up to 0.05 mm off each.
      if (n[d] != 24 || diff > 24 * 0.05 + 1e-9) {
        printf "day %d: %d hours summing to %.2f mm, the daily total is %.1f mm\n", d, n[d], sum[d], rs[d] > "/dev/stderr"
        bad = 1
      }
    }
    exit bad
  }' pluvo.txt
