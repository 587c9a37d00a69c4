#!/usr/bin/env bash
# The table commands as a learner runs them: a spreadsheet's CSV imported
# (the rows left out listed), the new file checked, every bundled file
# written out as a table and a deck and the table read back into the same
# event lines, byte for byte.
# Usage: table_commands.sh PROGRAM SAMPLES_DIR
set -euo pipefail
program="$1"
samples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
body() { tail -n +2 "$1"; }  # the lines after the header (its date differs)

mkdir "$work/data"
printf '\xef\xbb\xbf年,できごと,メモ\r\n794,"平安京, 遷都","鳴くよ\r\nうぐいす"\r\n,年のない行,\r\n前91,ある出来事,\r\n' \
  >"$work/sheet.csv"
"$program" --data-dir "$work/data" --import "$work/sheet.csv" --title 年表 2>"$work/err"
grep -q 'row 3: 年がありません' "$work/err" || { cat "$work/err" >&2; exit 1; }
"$program" --check "$work/data/年表.txt"
[ "$(body "$work/data/年表.txt")" = "$(printf 'BC0091;3,1,,;;ある出来事;;;\r\nAD0794;3,1,,;;平安京, 遷都;鳴くよ うぐいす;;\r\n;\r' | iconv -f UTF-8 -t CP932)" ] ||
  { echo "the imported file holds something else" >&2; exit 1; }
# Never over an existing file.
if "$program" --data-dir "$work/data" --import "$work/sheet.csv" --title 年表 2>/dev/null; then
  echo "imported over an existing file" >&2; exit 1
fi

files=0
for f in "$samples"/*.txt; do
  [ "$(basename "$f")" = "動作状態10.txt" ] && continue
  files=$((files + 1))
  out="$work/out$files"
  mkdir "$out"
  "$program" --export-table "$out/table.tsv" --export-deck "$out/deck.txt" "$f" >/dev/null
  head -n 1 "$out/deck.txt" | grep -qx $'#separator:tab\r'
  "$program" --data-dir "$out" --import "$out/table.tsv" --title back --out back.txt >/dev/null
  cmp <(body "$f") <(body "$out/back.txt") || { echo "$f came back otherwise" >&2; exit 1; }
done
echo "$files files written out and read back byte for byte"
