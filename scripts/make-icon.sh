#!/usr/bin/env bash
# Draws the application icon (src/app/ardeno.ico) with ImageMagick: a dark round plate with a
# clock face. Run it after changing the drawing; the .ico is committed.
set -euo pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src/app/ardeno.ico
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#1d2733' -stroke '#f2b33d' -strokewidth 14 -draw 'circle 128,128 128,14' \
  -stroke '#f4f4f4' -strokewidth 18 -draw 'line 128,128 128,54' -draw 'line 128,128 184,150' \
  -fill '#f2b33d' -stroke none -draw 'circle 128,128 128,142' \
  "$tmp/icon.png"
convert "$tmp/icon.png" -define icon:auto-resize=256,48,32,16 "$out"
echo "wrote $out"
