#!/usr/bin/env bash
# Renders manual pages with every warning on and fails on any warning:
# groff always, mandoc's lint (style hints included) where it is installed.
set -uo pipefail
status=0
for page in "$@"; do
  warnings=$(groff -man -ww -z "$page" 2>&1)
  if command -v mandoc > /dev/null; then
    warnings+=$(mandoc -Tlint "$page" 2>&1)
  fi
  if [ -n "$warnings" ]; then
    echo "FAIL $page:"; echo "$warnings"; status=1
  else
    echo "$page: no warnings"
  fi
done
exit $status
