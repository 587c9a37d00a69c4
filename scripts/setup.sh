#!/usr/bin/env bash
# Installs what building, running and testing QEV Line need on a Debian machine.
# Only missing packages are installed; apt-get is the only source of the
# program's, npm only of the test-time reference checks'.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
  fonts-ipafont-mincho fonts-ipafont-gothic
  poppler-utils
  dpkg-dev file desktop-file-utils imagemagick appstream
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Node and npm for the reference checks, unless a node of another origin
# (which brings its own npm) is there already.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The memory model's reference implementations (ts-fsrs and the reference
# optimizer), for the test that makes its test data again: under build/,
# never part of the program. Without them that test is skipped.
reference=build/fsrs_reference
if [ ! -d "$reference/node_modules/ts-fsrs" ] ||
  [ ! -d "$reference/node_modules/@open-spaced-repetition/binding" ]; then
  mkdir -p "$reference"
  cp tests/study/fsrs_reference/package.json "$reference/"
  npm install --prefix "$reference" --no-audit --no-fund --loglevel=error ||
    echo "setup: the reference packages could not be installed; their test is skipped" >&2
fi
