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
# The reference fit and its figures must not have moved either: the same
# numbers but for the fit's time and the last digits of single-precision sums.
node - "$here/fit_reference.json" "$out/fit_reference.json" <<'JS'
const { readFileSync } = require('node:fs');
const [a, b] = process.argv.slice(2).map((f) => JSON.parse(readFileSync(f, 'utf8')));
const differ = (x, y, path) => {
  if (path.endsWith('binding_fit_seconds')) return [];
  if (typeof x === 'number' && typeof y === 'number') {
    return Math.abs(x - y) <= 1e-6 * Math.max(1, Math.abs(x)) ? [] : [`${path}: ${x} ${y}`];
  }
  if (typeof x === 'object' && x && y && typeof y === 'object') {
    const keys = new Set([...Object.keys(x), ...Object.keys(y)]);
    return [...keys].flatMap((k) => differ(x[k], y[k], `${path}.${k}`));
  }
  return x === y ? [] : [`${path}: ${x} ${y}`];
};
const found = differ(a, b, '');
if (found.length) {
  console.error('fit_reference.json moved:\n' + found.join('\n'));
  process.exit(1);
}
JS
