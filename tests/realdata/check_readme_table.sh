#!/bin/sh
# Runs the leave-one-out check on the Berlin example, requires pluvo's pooled
# correlation to be above the even spread's (and every pluvo run to end with
# exit 0), and compares what the check prints with the table in README.md.
#   check_readme_table.sh PYTHON3 PLUVO
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PYTHON3 PLUVO" >&2; exit 2; }
python=$1
pluvo=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
"$python" "$root/tools/leave_one_out.py" --require-gain "$pluvo" \
  "$root/examples/berlin/hourly_7_stations.txt" "$root/examples/berlin/stations_berlin.txt" \
  >"$work/table.txt" || status=$?
[ "$status" -eq 0 ] || { echo "the leave-one-out check ended with exit code $status" >&2; exit 1; }

# The README holds the output between these two marker lines.
awk '/^<!-- leave-one-out table: end -->$/ { inside = 0 }
     inside { print }
     /^<!-- leave-one-out table: begin -->$/ { inside = 1; found = 1 }
     END { exit !found }' "$root/README.md" >"$work/readme.txt" ||
  { echo "README.md has no leave-one-out table between its marker lines" >&2; exit 1; }
if ! diff "$work/readme.txt" "$work/table.txt" >&2; then
  echo "the leave-one-out table in README.md is not what the check prints (above: < README, > check)" >&2
  exit 1
fi
