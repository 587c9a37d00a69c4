#!/usr/bin/env bash
# Remakes the icon's PNG sizes from res/icons/qevline.svg, the one drawing of
# the icon. Run it after a change to the drawing (needs rsvg-convert, Debian
# package librsvg2-bin) and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../res/icons"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" qevline.svg -o "qevline-$size.png"
done
echo "Wrote res/icons/qevline-48.png and qevline-256.png"
