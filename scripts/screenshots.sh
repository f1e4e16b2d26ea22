#!/usr/bin/env bash
# Redraws the README's pictures (docs/images/): the overlay counting beside notepad and its open
# menu, taken by the scripted user session under Wine on a fresh virtual screen.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh

scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ArdenoTime probe >/dev/null

unset DISPLAY  # a screen of its own, with nothing else on it
wine_session_start "$ARDENO_TEST_PREFIX"
wine_session_unmanaged
shots=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$shots"' EXIT
# A desktop colour instead of X's black, so that the overlay's soft edge reads as it does on Windows.
convert -size 1280x1024 xc:'#46708f' "$shots/desktop.png"
display -window root "$shots/desktop.png" || true  # sets the background, then says 1

tests/journey.sh build/mingw/bin "$shots" >/dev/null || { echo "the user session failed; no pictures taken"; exit 1; }
mkdir -p docs/images
cp "$shots/counting.png" docs/images/overlay-counting.png
cp "$shots/menu.png" docs/images/overlay-menu.png
echo "docs/images/overlay-counting.png and overlay-menu.png redrawn"
