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
mkdir -p "$out"/{text_reader,number_format,tabsum_run,station_file,pluvo_run,idw_plan,service_readers}

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
