#!/usr/bin/env bash
# The manual page: mandoc's lint finds nothing in it, man renders it without
# a warning, and the rendering shows every section and the version. Skips (77)
# without mandoc or man, unless running under CI, where that is a failure.
#
# man_test.sh PAGE VERSION
set -u
page="$1" version="$2"
source "$(dirname "$0")/../require_tools.sh"
require_tools mandoc man
status=0
if lint=$(mandoc -T lint -W all "$page" 2>&1) && [ -z "$lint" ]; then
  echo "ok   mandoc -T lint -W all finds nothing"
else
  echo "FAIL mandoc -T lint -W all:"; echo "$lint"; status=1
fi
warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$warnings")
if [ -s "$warnings" ]; then
  echo "FAIL man -l warns:"; cat "$warnings"; status=1
else
  echo "ok   man -l renders it without a warning"
fi
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES "SEE ALSO"; do
  grep -qx "$heading" <<<"$text" || { echo "FAIL no section $heading"; status=1; }
done
for key in "LeftMargin=n" "RightMargin=n" "DoURLs=n" "KeepLinefeeds=n" "Space2AfterPeriod=n"; do
  grep -q "^ *$key\$" <<<"$text" || { echo "FAIL the key $key is not described"; status=1; }
done
if tail -1 <<<"$text" | grep -q "^qln $version "; then
  echo "ok   the page shows version $version"
else
  echo "FAIL the page shows version $version: $(tail -1 <<<"$text")"; status=1
fi
exit $status
