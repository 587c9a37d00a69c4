#!/usr/bin/env bash
# Set-up, build, and start QEV Line on the bundled event files in qev_file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build
exec ./build/qevline --data-dir qev_file "$@"
