#!/usr/bin/env bash
# Makes the seed corpora fuzz/corpus/<target>/ from the end-to-end cases in
# tests/e2e/cases, in the input layout each target documents at its top.
# Seeds are cut to a few KB: the fuzzer grows what it needs.
#
#   bash fuzz/make_corpus.sh      (replaces fuzz/corpus)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cases="$root/tests/e2e/cases"
out="$root/fuzz/corpus"
limit=4096

rm -rf "$out"
mkdir -p "$out"/{text_reader,number_format,tabsum_run,station_file,pluvo_run,idw_plan,batch_options,dialogue_answers,service_readers}

# A seed's name is the hash of its bytes, so that equal seeds are one file.
save() {
  local dir=$1 tmp
  tmp=$(mktemp)
  cat >"$tmp"
  mv "$tmp" "$dir/$(sha1sum "$tmp" | cut -c1-16)"
}

byte() { printf "\\x$(printf %02x "$1")"; }

# text_reader: flags, operation count, operations, text. The operations mix
# every kind; the flags take turns between memory, a file and the three
# paddings that put the text at the end of the reader's first block.
ops=(1 0 6 4 2 0 1 3 5 6 7 1 1 0 2 4 6 6 1 5 0 1 2 3)
flag_cycle=(0 1 2 11 20 5 30 0)
n=0
while IFS= read -r -d '' file; do
  flags=${flag_cycle[$((n % ${#flag_cycle[@]}))]}
  { byte "$flags"; byte "${#ops[@]}"; for o in "${ops[@]}"; do byte "$o"; done; head -c "$limit" "$file"; } |
    save "$out/text_reader"
  n=$((n + 1))
done < <(find "$cases" \( -path '*/in/*' -o -name stdin \) -type f -size -64k -print0 | sort -z)

# The same texts read as from a pipe (operation count from 128 up), in reads
# of a few bytes or all at once, with returns to the start at several
# depths (the kept start replayed, and a return beyond it that fails) and
# lines read in pieces.
pipe_ops=(4 8 8 7 4 5 0 1 2 7 6 8 3 4 5 7 4 4 4 5 7 8 0 6)
chunk_cycle=(0 1 3 7 64 0 2)
n=0
while IFS= read -r -d '' file; do
  { byte 0; byte $((128 + ${#pipe_ops[@]})); byte "${chunk_cycle[$((n % ${#chunk_cycle[@]}))]}"
    for o in "${pipe_ops[@]}"; do byte "$o"; done; head -c "$limit" "$file"; } | save "$out/text_reader"
  n=$((n + 1))
done < <(find "$cases/tabsum" -path '*/in/*' -type f -size -64k -print0 | sort -z)

# number_format: mode (precision times two, text follows), width, number.
# The numbers are those of the expected tables and console texts.
find "$cases" -path '*/expect/*' -type f -print0 | xargs -0 cat |
  grep -aoE -- '-?[0-9]+\.[0-9]+(e[-+]?[0-9]+)?' | sort -u | head -n 80 |
  while read -r number; do
    decimals=${number#*.}
    decimals=${decimals%%e*}
    { byte $(((${#decimals} % 18) * 2)); byte 10; printf %s "$number"; } | save "$out/number_format"
  done

# tabsum_run: the arguments after the two file names on one line, separated
# by tabs, then the input table.
for dir in "$cases"/tabsum/*/; do
  [[ -f $dir/args ]] || continue
  mapfile -t args <"$dir/args"
  rest=("${args[@]:3}")
  joined=$(IFS=$'\t'; printf %s "${rest[*]}")
  input=""
  [[ ${#args[@]} -ge 1 && -f $dir/in/${args[0]} ]] && input=$dir/in/${args[0]}
  { printf '%s\n' "$joined"; [[ -n $input ]] && head -c "$limit" "$input"; true; } | save "$out/tabsum_run"
done

# Rows of the forms the row reading takes on its fast paths: runs of dry
# fields (tab-separated 0.0, counted sixteen characters at a time), four
# one-decimal fields in one step, and other forms between them. A fifth
# field on the first line puts the rows across the reader's block edge.
dry_table() {
  printf 'YY\tMM\tDD\tHH'; for ((c = 1; c <= 40; c++)); do printf '\ts%d' "$c"; done; printf '\n'
  for ((h = 1; h <= 6; h++)); do
    printf '2017\t4\t1\t%d' "$h"; for ((c = 1; c <= 40; c++)); do printf '\t0.0'; done; printf '\n'
  done
}
mixed_table() {
  printf 'YY\tMM\tDD\tHH\ta\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\n'
  for ((h = 1; h <= 12; h++)); do
    printf '2017\t4\t1\t%d\t1.2\t0.0\t3.4\t-999\t12.5\t0.0\t0.0\t0.0\t0.0\t7.1\t0.25\t%d.%d\n' "$h" "$h" "$h"
  done
}
{ printf '24\n'; dry_table; } | save "$out/tabsum_run"
{ printf '2\n'; mixed_table; } | save "$out/tabsum_run"
for edge in 0 5 17 63 150 700; do
  { printf '3\t1\t40\t0\t%d\n' "$edge"; dry_table; } | save "$out/tabsum_run"
  { printf '2\t1\t12\t0\t%d\n' "$edge"; mixed_table; } | save "$out/tabsum_run"
done

# tabsum_run: tables of each form that the row step reads at speed, from a
# fixed sequence of numbers: one decimal, three decimals, six significant
# digits (some with an exponent), integers, right-aligned with blanks, and
# all of them mixed in one table; missing values in each form's own spelling,
# -0.0, and fields at the edges of the exact conversion now and then.
for shape in one-decimal three-decimals six-digits integers right-aligned mixed; do
  awk -v shape="$shape" '
    function next_unit() { x = (x * 16807) % 2147483647; return x / 2147483647 }
    function value(form, u) {
      if (form == "one-decimal") return sprintf("%.1f", 20 * u)
      if (form == "three-decimals") return sprintf("%.3f", 500 * u)
      if (form == "six-digits") return sprintf("%.6g", (u < 0.1 ? -1 : 1) * 10 ^ (12 * u - 6))
      if (form == "integers") return sprintf("%d", int(5000 * u))
      return sprintf("%8.2f", 200 * u * u)
    }
    BEGIN {
      x = 2121
      split("one-decimal three-decimals six-digits integers", forms, " ")
      split("-999 -998 -998.001 -997.999 -0.0 1234567890123456789 12345678901234567890 1e22 1e23 1e-23 1.2e-05", edges, " ")
      aligned = shape == "right-aligned"
      print aligned ? "  YY MM DD HH      st1      st2      st3      st4      st5      st6" : "YY\tMM\tDD\tHH\tst1\tst2\tst3\tst4\tst5\tst6"
      for (r = 0; r < 30; ++r) {
        line = sprintf(aligned ? "%4d%3d%3d%3d" : "%d\t%d\t%d\t%d", 1990, 1, 1 + int(r / 24), r % 24)
        for (f = 0; f < 6; ++f) {
          u = next_unit()
          form = shape == "mixed" ? forms[1 + f % 4] : shape
          v = value(form, u)
          if (next_unit() < 0.05) v = edges[1 + int(next_unit() * 11)]
          line = line (aligned ? " " : "\t") v
        }
        print line
      }
    }' | { printf '3\n'; cat; } | head -c "$limit" | save "$out/tabsum_run"
done

# station_file: a choice byte (first index, factor, skip) and a station file.
choices=(0 24 2 12 4 16 6 0)
n=0
for dir in "$cases"/pluvo/*/; do
  [[ -f $dir/stdin ]] || continue
  mapfile -t answers <"$dir/stdin"
  for name in "${answers[@]:0:3}"; do
    name=${name%$'\r'}
    [[ -n $name && -f $dir/in/$name ]] || continue
    { byte "${choices[$((n % ${#choices[@]}))]}"; head -c "$limit" "$dir/in/$name"; } | save "$out/station_file"
    n=$((n + 1))
  done
done

# The number of stations of a station file (fields of its heights line
# behind the four labels), 0 without one.
stations_of() {
  [[ -n $1 && -f $1 ]] || { echo 0; return; }
  awk 'NR == 2 { print (NF > 4 ? NF - 4 : 0); exit }' "$1"
}
# Line $2 of the file's header behind its labels.
header_values() { [[ -n $1 && -f $1 ]] && awk -v n="$2" 'NR == n { for (i = 5; i <= NF; ++i) printf "%s ", $i; exit }' "$1"; true; }

# pluvo_run and idw_plan from the cases' station files and answers.
for dir in "$cases"/pluvo/*/; do
  [[ -f $dir/stdin ]] || continue
  mapfile -t a <"$dir/stdin"
  [[ ${#a[@]} -ge 17 ]] || continue
  a=("${a[@]%$'\r'}")
  anetz=${a[0]:+$dir/in/${a[0]}}
  klima=${a[1]:+$dir/in/${a[1]}}
  sammler=${a[2]:+$dir/in/${a[2]}}
  na=$(stations_of "$anetz")
  nk=$(stations_of "$klima")
  ns=$(stations_of "$sammler")
  [[ $na -ge 1 ]] || continue

  # The generator's leading bytes: station counts, start date, lead days,
  # days and extra hours of data; the rest stays zero (values 0.0, no damage).
  year=$((a[7] < 100 ? a[7] + 1900 : a[7]))
  days=$(((a[8] - a[5] + 31) % 31))
  [[ $days -le 4 ]] || days=4
  { byte $(((na > 5 ? 5 : na) - 1)); byte $((nk > 3 ? 3 : nk)); byte $((ns > 3 ? 3 : ns))
    byte $(((year - 1990 + 300) % 30)); byte $(((a[6] + 11) % 12)); byte $(((a[5] + 30) % 31))
    byte 0; byte "$days"; byte 12; head -c 64 /dev/zero; } | save "$out/pluvo_run"

  # idw_plan: counts, parameters, sites, then the first hours' values.
  nt=$((nk + ns))
  [[ $((na + nt)) -le 100 ]] || continue
  {
    echo "$na $nt ${a[11]} ${a[12]} ${a[4]} ${a[13]} ${a[14]} ${a[15]} ${a[16]}"
    echo "$(header_values "$anetz" 3)$(header_values "$klima" 3)$(header_values "$sammler" 3)"
    echo "$(header_values "$anetz" 4)$(header_values "$klima" 4)$(header_values "$sammler" 4)"
    awk -v nt="$nt" 'NR > 5 && NR <= 29 { for (i = 5; i <= NF; ++i) printf "%s ", $i; for (i = 0; i < nt; ++i) printf "0 "; print "" }' "$anetz"
  } | head -c "$limit" | save "$out/idw_plan"
done

# batch_options: the arguments of every pluvo case, and its options, one per
# line.
for dir in "$cases"/pluvo/*/; do
  for f in args options; do
    [[ -s $dir/$f ]] && head -c "$limit" "$dir/$f" | save "$out/batch_options"
  done
done

# and the refusals and defaults no case shows on its own.
req=$'--anetz\na.txt\n--output\no.txt\n--start\n2016-11-01\n--end=1.11.2016\n'
for more in $'--\n-answers.txt' $'--power\n2\n--power=3' $'--keep-unmatched-rain=yes' $'--power' \
  $'--upper-replacement\n5' $'--upper-limit=1e400' $'--nodata\n0' $'--nodata=inf' $'--max-distance\n-0' \
  $'--klima=k.txt' $'--sammler\ns.txt\n--max-distance\n1e3' $'--start\n1.6.98' $'--lower-limit\n+-1' \
  $'--lower-replacement\n0x10' $'--end\n0016-11-01' $'--anetz='; do
  printf '%s%s\n' "$req" "$more" | save "$out/batch_options"
done

# dialogue_answers: a mode byte (checked, then plain) and the answers of
# every pluvo case, on standard input or in a named answers file.
for dir in "$cases"/pluvo/*/; do
  for f in "$dir/stdin" "$dir"/in/answers*.txt; do
    [[ -f $f ]] || continue
    for mode in 1 0; do { byte "$mode"; head -c "$limit" "$f"; } | save "$out/dialogue_answers"; done
  done
done

# Checked answers typed with mistakes: a name that cannot be read, empty
# lines and words for numbers, a decimal comma, a two-digit year, several
# answers on one line, and the end of the input in the middle.
for answers in $'no such file.txt\nanetz.txt\n\n\nout.txt\n\nx\n998\n1 6 16\n1\nsix\n6\n98\n2,5\n2.5\n100 km\n100\n0\n0\ninf\n500\n500\n' \
  $'anetz.txt\nklima.txt\nnone.txt\n\nout.txt\n998\n1\n6\n-5\n1\n6\n0\n' $'anetz.txt klima.txt\nsammler.txt\nout.txt\n1e400\n'; do
  for mode in 1 0; do { byte "$mode"; printf '%s' "$answers"; } | save "$out/dialogue_answers"; done
done

# service_readers: the reader's byte, then a file of the stationfile cases
# (Datenbasis: Deutscher Wetterdienst; source: Royal Netherlands
# Meteorological Institute).
service_readers_seeds() {
  local f kind
  for f in "$cases"/stationfile/*/in/* "$cases"/stationfile/*/in/*/*; do
    [ -f "$f" ] || continue
    case $(basename "$f") in
      produkt_*) kind=0 ;;
      RR_*) kind=1 ;;
      Metadaten_Geographie_*) kind=2 ;;
      *.zip) kind=3 ;;
      uurgeg_* | neerslaggeg_*) kind=4 ;;
      *.json) kind=5 ;;
      daily.txt | stations.txt) kind=6 ;;
      ogd-*_meta_stations.csv) kind=9 ;;
      ogd-*.csv) kind=8 ;;
      *) continue ;;
    esac
    { byte $kind; cat "$f"; } | head -c "$limit" | save "$out/service_readers"
  done
}
service_readers_seeds

for d in "$out"/*/; do echo "$(basename "$d"): $(find "$d" -type f | wc -l) seeds, $(cat "$d"/* | wc -c) bytes"; done
