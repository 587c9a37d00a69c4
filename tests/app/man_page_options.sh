#!/usr/bin/env bash
# The manual page names every option that --help lists, and no other.
# Usage: man_page_options.sh PROGRAM MANUAL_PAGE
set -euo pipefail
options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
help="$(QT_QPA_PLATFORM=offscreen "$1" --help | options)"
manual="$(sed 's/\\-/-/g' "$2" | options)"
if [ "$help" != "$manual" ]; then
  echo "--help and $2 list different options:" >&2
  diff <(echo "$help") <(echo "$manual") >&2
  exit 1
fi
echo "1 passed, 0 failed"
