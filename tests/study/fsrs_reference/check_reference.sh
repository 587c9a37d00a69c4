#!/usr/bin/env bash
# Makes the memory model's reference data again with the npm packages in
# MODULES_DIR and compares it with the committed copy beside this script.
# Exits 77 (skipped) without node or the packages.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
modules="${1:-}"
if ! command -v node >/dev/null || [ ! -d "$modules/node_modules/ts-fsrs" ] ||
  [ ! -d "$modules/node_modules/@open-spaced-repetition/binding" ]; then
  echo "node or the reference packages are missing: skipped"
  exit 77
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
node "$here/make_reference.mjs" "$modules" "$out"
for file in memory_states.csv memory_curve.csv fit_reviews.csv; do
  cmp "$here/$file" "$out/$file"
done
# The reference fit itself (its time aside) must not have moved either.
strip() { grep -v '"binding_fit_seconds"' "$1"; }
diff <(strip "$here/fit_reference.json") <(strip "$out/fit_reference.json")
