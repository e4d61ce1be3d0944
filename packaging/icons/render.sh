#!/usr/bin/env bash
# Renders the icon's PNG sizes from its two drawings (run after changing either; needs
# rsvg-convert, Debian's librsvg2-bin). The small drawing serves up to 24 pixels, where the
# ticks of the large one would blur into the arc.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  drawing=trimlet.svg
  ((size > 24)) || drawing=trimlet-small.svg
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$drawing" -o "hicolor/${size}x${size}/apps/trimlet.png"
done
