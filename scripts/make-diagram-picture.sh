#!/usr/bin/env bash
# Remakes res/main_screen.png, the picture of the main screen that the
# function diagram shows: the program's own 1024x768 screen on the bundled
# events in qev_file, at half size. Run it (or build the target
# diagram_picture) whenever the main screen changes, then rebuild.
# Usage: scripts/make-diagram-picture.sh [PROGRAM]   (default: build/qevline)
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-build/qevline}"
QT_QPA_PLATFORM=offscreen "$program" --screen 1024x768 --data-dir qev_file \
  --screenshot res/main_screen.png --screenshot-size 512x384
echo "Wrote res/main_screen.png"
