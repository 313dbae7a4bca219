#!/usr/bin/env bash
# Runs the examples of a document and compares what they print, so that the
# README and the manual pages cannot drift away from the programs.
#
#   check_examples.sh DIR... -- DOCUMENT
#
# DIRs are put in front of PATH (where tabsum and pluvo are). In DOCUMENT a
# marker comment announces the next example block:
#   Markdown:  <!-- check: KIND -->  before a ``` fenced block
#   man page:  .\" check: KIND       before an .EX ... .EE block
# KIND is one of
#   file NAME    the block is the content of the file NAME (written as is)
#   run          lines "$ command" run in bash; the lines after each up to the
#                next "$ " are what it prints (standard output and error)
#   output NAME  after the last block, the file NAME must hold exactly this
#   copy NAME PATH  no block: the file NAME is a copy of PATH, a path from
#                the document's folder (for data too large to show)
# All blocks of one document share one fresh working directory, in order.
set -uo pipefail

dirs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  dirs+=("$(cd "$1" && pwd)")
  shift
done
[ "${1:-}" = "--" ] && shift
[ $# -eq 1 ] || { echo "usage: check_examples.sh DIR... -- DOCUMENT" >&2; exit 2; }
doc=$1
doc_dir=$(cd "$(dirname "$doc")" && pwd)
for d in "${dirs[@]}"; do PATH="$d:$PATH"; done
export PATH LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
blocks=0

# The text of a man-page example as a reader sees it.
unescape_roff() {
  sed -e 's/\\e/\x01/g' -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\(dq/"/g' -e 's/\\(ha/^/g' \
      -e 's/\\(:a/ä/g' -e 's/\\&//g' -e 's/\x01/\\/g'
}

case $doc in
  *.md) open_re='^```'; close_re='^```$'; marker_re='^<!-- check: (.*) -->$'; unescape=cat ;;
  *) open_re='^\.EX$'; close_re='^\.EE$'; marker_re='^\.\\" check: (.*)$'; unescape=unescape_roff ;;
esac

# Splits the document into one file per announced block: N.kind, N.text.
n=0; state=idle; kind=""
while IFS= read -r line || [ -n "$line" ]; do
  case $state in
    idle)
      if [[ $line =~ $marker_re ]]; then
        kind=${BASH_REMATCH[1]}; state=marked
        # A copy has no block of its own.
        if [[ $kind == copy\ * ]]; then
          n=$((n + 1)); printf '%s\n' "$kind" > "$work/$n.kind"; : > "$work/$n.raw"; state=idle
        fi
      fi ;;
    marked)
      if [[ $line =~ $open_re ]]; then
        n=$((n + 1)); printf '%s\n' "$kind" > "$work/$n.kind"; : > "$work/$n.raw"; state=inside
      fi ;;
    inside)
      if [[ $line =~ $close_re ]]; then state=idle; else printf '%s\n' "$line" >> "$work/$n.raw"; fi ;;
  esac
done < "$doc"
[ "$state" = idle ] || { echo "$doc: example block not closed" >&2; exit 1; }

mkdir "$work/dir"
fail() { echo "FAIL $doc: $*"; failures=$((failures + 1)); }

# One "$ command" with its expected lines, run in the working directory.
run_command() {
  local cmd=$1 expected=$2
  (cd "$work/dir" && bash -c "$cmd" < /dev/null) > "$work/actual" 2>&1
  if ! cmp -s "$expected" "$work/actual"; then
    fail "\$ $cmd"
    diff -u --label expected --label actual "$expected" "$work/actual" | head -n 40
  fi
}

run_block() {
  local text=$1 cmd="" line
  : > "$work/expected"
  while IFS= read -r line; do
    if [[ $line == '$ '* ]]; then
      [ -n "$cmd" ] && run_command "$cmd" "$work/expected"
      cmd=${line#'$ '}; : > "$work/expected"
    elif [ -n "$cmd" ]; then
      printf '%s\n' "$line" >> "$work/expected"
    else
      fail "run block does not start with a \"\$ \" command"; return
    fi
  done < "$text"
  [ -n "$cmd" ] && run_command "$cmd" "$work/expected"
}

outputs=()
for ((i = 1; i <= n; i++)); do
  blocks=$((blocks + 1))
  $unescape < "$work/$i.raw" > "$work/$i.text"
  read -r what name < "$work/$i.kind"
  case $what in
    file) cp "$work/$i.text" "$work/dir/$name" ;;
    run) run_block "$work/$i.text" ;;
    output) outputs+=("$i:$name") ;;
    copy)
      read -r _ name from < "$work/$i.kind"
      cp "$doc_dir/$from" "$work/dir/$name" || fail "cannot copy $from" ;;
    *) fail "unknown check '$what'" ;;
  esac
done
for entry in "${outputs[@]}"; do
  i=${entry%%:*}; name=${entry#*:}
  if [ ! -f "$work/dir/$name" ]; then
    fail "$name was not written"
  elif ! cmp -s "$work/$i.text" "$work/dir/$name"; then
    fail "$name differs"
    diff -u --label expected --label "$name" "$work/$i.text" "$work/dir/$name" | head -n 40
  fi
done

[ "$blocks" -gt 0 ] || fail "no example block is marked for checking"
[ "$failures" -eq 0 ] || exit 1
echo "$doc: every example block as documented"
