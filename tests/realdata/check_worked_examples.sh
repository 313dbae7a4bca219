#!/bin/sh
# The worked examples of README.md and man/stationfile.1, from the services'
# files to pluvo's hours: the Ruhr example (examples/ruhr; Datenbasis:
# Deutscher Wetterdienst) and the De Bilt example (examples/de-bilt; source:
# Royal Netherlands Meteorological Institute). Runs the commands the
# documents show (their console text is checked by the documentation tests),
# compares pluvo's hours with the measured ones by tools/compare_hours.py,
# which must find pluvo's correlation above the even spread's, and requires
# both documents to print exactly these figures.
#   check_worked_examples.sh PYTHON3 STATIONFILE PLUVO
set -eu
[ $# -eq 3 ] || { echo "usage: $0 PYTHON3 STATIONFILE PLUVO" >&2; exit 2; }
python=$1
stationfile=$2
pluvo=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/ruhr" "$work/de-bilt"
cp "$root/examples/ruhr/"* "$work/ruhr/"
cp "$root/examples/de-bilt/"* "$work/de-bilt/"

(cd "$work/ruhr" &&
  "$stationfile" anetz -o anetz_ruhr.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt \
    produkt_rr_stunde_*_00555.txt produkt_rr_stunde_*_01078.txt produkt_rr_stunde_*_05717.txt \
    produkt_rr_stunde_*_13696.txt &&
  "$stationfile" sammler -o sammler_essen.txt --stations RR_Tageswerte_Beschreibung_Stationen.txt \
    produkt_nieder_tag_19350101_20231231_01303.txt &&
  "$stationfile" anetz -o measured_essen.txt --stations RR_Stundenwerte_Beschreibung_Stationen.txt \
    produkt_rr_stunde_*_01303.txt &&
  "$pluvo" --anetz anetz_ruhr.txt --sammler sammler_essen.txt --output pluvo_essen.txt \
    --start 1.6.2010 --end 31.8.2010 --max-distance 100) >"$work/ruhr.log" 2>&1 ||
  { tail -n 5 "$work/ruhr.log" >&2; echo "the Ruhr example did not run to the end" >&2; exit 1; }
(cd "$work/de-bilt" &&
  "$stationfile" anetz -o anetz_260.txt --stations knmi_meteostation.json uurgeg_260_1991-2000.txt &&
  "$stationfile" sammler -o sammler_550.txt --stations knmi_neerslagstation.json neerslaggeg_DE-BILT_550.txt &&
  "$pluvo" --anetz anetz_260.txt --sammler sammler_550.txt --output pluvo_550.txt \
    --start 1.6.2000 --end 31.8.2000 --max-distance 100) >"$work/de-bilt.log" 2>&1 ||
  { tail -n 5 "$work/de-bilt.log" >&2; echo "the De Bilt example did not run to the end" >&2; exit 1; }

compared() {  # NAME FOLDER PLUVO_TABLE MEASURED SAMMLER
  name=$1; shift
  folder=$1; shift
  (cd "$folder" && "$python" "$root/tools/compare_hours.py" --require-gain "$@") >"$work/$name.txt" ||
    { echo "compare_hours.py on the $name example failed" >&2; exit 1; }
}
compared ruhr "$work/ruhr" pluvo_essen.txt measured_essen.txt sammler_essen.txt
compared de-bilt "$work/de-bilt" pluvo_550.txt anetz_260.txt sammler_550.txt

# Each document holds the figures between two marker lines (in the manual
# page inside an example block, escaped as roff writes it).
status=0
for name in ruhr de-bilt; do
  awk -v begin="<!-- compared hours: $name: begin -->" -v end="<!-- compared hours: $name: end -->" '
    $0 == end { inside = 0 }
    inside { print }
    $0 == begin { inside = 1; found = 1 }
    END { exit !found }' "$root/README.md" >"$work/readme-$name.txt" ||
    { echo "README.md has no figures of the $name example between marker lines" >&2; status=1; continue; }
  awk -v begin=".\\\\\" compared hours: $name: begin" -v end=".\\\\\" compared hours: $name: end" '
    $0 == end { inside = 0 }
    inside && $0 != ".EX" && $0 != ".EE" { print }
    $0 == begin { inside = 1; found = 1 }
    END { exit !found }' "$root/man/stationfile.1" |
    sed -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' >"$work/man-$name.txt"
  [ -s "$work/man-$name.txt" ] ||
    { echo "man/stationfile.1 has no figures of the $name example between marker lines" >&2; status=1; continue; }
  for doc in readme man; do
    if ! diff "$work/$doc-$name.txt" "$work/$name.txt" >&2; then
      echo "the $name figures in the $doc are not what compare_hours.py prints (above: < document, > now)" >&2
      status=1
    fi
  done
done
exit $status
