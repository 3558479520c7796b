#!/usr/bin/env bash
# Every option PROGRAM --help names (and, for vcctl, every command its usage
# lists) appears in the manual page PAGE.
# Usage: scripts/man-options-check.sh PAGE PROGRAM
set -euo pipefail
page=$1 program=$2
help=$("$program" --help)
# roff writes a hyphen as \- ; compare plain text.
text=$(sed 's/\\-/-/g; s/\\f[BIRP]//g' "$page")
names=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
# Commands: the words starting a two-space-indented line of the usage.
if [ "$(basename "$program")" = vcctl ]; then
  names+=$'\n'$(grep -oE '^  [a-z][a-z-]*( [a-z][a-z-]*)?' <<<"$help" |
                sed 's/^  //; s/ \(easy\|[a-z]*[A-Z].*\)$//' | sort -u)
fi
[ -n "$names" ] || { echo "$program --help names no option" >&2; exit 1; }
missing=0
while read -r name; do
  [ -n "$name" ] || continue
  if ! grep -qF -- "$name" <<<"$text"; then
    echo "$(basename "$page"): does not mention '$name' from $(basename "$program") --help" >&2
    missing=1
  fi
done <<<"$names"
exit $missing
