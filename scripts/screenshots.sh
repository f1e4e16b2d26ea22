#!/usr/bin/env bash
# Redraws the README's pictures (docs/images/): the overlay counting beside notepad, its open
# menu, the menu with two programs chosen and their list open, the first start's note, the New
# project dialog, the overlay showing the project that notepad's title names, and the Project
# submenu, the plate at 60 % with click-through on and with the daily goal's line, taken by the
# scripted user session under Wine on a fresh virtual screen, the overlay and
# its menu at 150 %, the work history window over sample history with projects, alone, scrolled to
# its project table and shared with a laptop, and the first page of a report as chromium prints it.
#
# A compositing manager (xcompmgr) runs on that screen, so that the overlay's per-pixel alpha
# blends over the desktop as on Windows; without one, Xvfb shows layered windows over black.
# The script checks that a transparent corner pixel of the plate shows the desktop colour.
set -euo pipefail
# Wine takes the computer's name from the host name: the pictures' PC is called STUDIO, in a UTS
# namespace of this script's own (as root, like the set-up).
if [ -z "${ARDENO_PICTURE_HOST:-}" ]; then ARDENO_PICTURE_HOST=1 exec unshare -u "$0" "$@"; fi
hostname studio
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh

scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ArdenoTime probe >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target sample_report >/dev/null
bin=$root/build/mingw/bin  # absolute: the user session also starts the program from another folder
shots=$(mktemp -d)
cc -O2 -o "$shots/desktop-colour" scripts/desktop-colour.c -lX11

unset DISPLAY  # a screen of its own, with nothing else on it
wine_session_start "$ARDENO_TEST_PREFIX"
wine_session_unmanaged
compositor=""
overlay=""
cleanup() {
  [ -n "$overlay" ] && kill "$overlay" 2>/dev/null
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null
  wine_session_stop
  rm -rf "$shots"
}
trap cleanup EXIT
# The desktop as a pixmap named where compositing managers look for it; xcompmgr draws it under
# every window (without it, its own grey).
desktop=46708f
"$shots/desktop-colour" "$desktop"
xcompmgr -n &
compositor=$!
sleep 0.5

tests/journey.sh "$bin" "$shots" >/dev/null || { echo "the user session failed; no pictures taken"; exit 1; }
# The journey's pictures have the overlay's top-left corner at (180, 130).
corner=$(convert "$shots/counting.png" -format '%[hex:p{181,131}]' info:)
if [ "${corner:0:6}" != "${desktop^^}" ]; then
  echo "the plate's transparent corner reads #${corner:0:6}, not the desktop's #$desktop: no compositing"
  exit 1
fi

# The history window over ten weeks of sample work in three programs for three clients, lighter
# at weekends, with the overlay pinned out of its way.
. tests/lib.sh
stateDir=$(dirname "$state")
wineserver -k 2>/dev/null || true
rm -rf "$stateDir"
mkdir -p "$stateDir"
printf 'photoshop.exe\r\n5\r\n0\r\ntrue\r\n900\r\n640\r\n432000\r\n' >"$state"
{
  printf 'date,program,seconds,project\r\n'
  for ago in $(seq 69 -1 0); do
    day=$(date -d "-$ago day" +%F)
    weekday=$(date -d "-$ago day" +%u)
    base=$(((ago * 7919) % 14000 + 9000))
    if [ "$weekday" -ge 6 ]; then base=$((base / 5)); fi
    if [ "$ago" -eq 0 ]; then base=12345; fi
    case $((ago % 4)) in 0 | 2) project='Acme logo' ;; 1) project='Café Müller' ;; 3) project='' ;; esac
    printf '%s,photoshop.exe,%d,%s\r\n' "$day" "$base" "$project"
    if [ $((ago % 3)) -eq 1 ]; then printf '%s,blender.exe,%d,Studio poster\r\n' "$day" $(((ago * 1237) % 5000 + 1500)); fi
    if [ $((ago % 5)) -eq 2 ]; then printf '%s,illustrator.exe,%d,Acme logo\r\n' "$day" $(((ago * 731) % 3000 + 900)); fi
  done
} >"$stateDir/history.csv"
probeExe="$bin/probe.exe"
title='Ardeno Time - work history'
# Starts the overlay, opens its history window at WIDTH x HEIGHT, scrolled down as far as it
# goes when asked, and takes its picture.
historyPicture() {  # historyPicture NAME WIDTH HEIGHT [end]
  (cd "$bin" && exec wine ArdenoTime.exe >/dev/null 2>&1) &
  overlay=$!
  waitFor 20 probe rect SDL_app 'Ardeno Time' >/dev/null || { echo "the overlay did not start"; exit 1; }
  probe command 'Ardeno Time' 1133
  waitFor 10 probe rect - "$title" >/dev/null || { echo "the history window did not open"; exit 1; }
  probe place "$title" 40 40 "$2" "$3"
  sleep 2
  read -r l t r b < <(probe rect - "$title")
  if [ "${4:-}" = end ]; then
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2))
    for _ in $(seq 30); do xdotool click 5; done
    sleep 1
  fi
  import -window root -crop $((r - l))x$((b - t))+$l+$t "$shots/$1.png"
  probe close "$title"
  probe close 'Ardeno Time'
  waitFor 10 eval '! kill -0 "$overlay" 2>/dev/null'
  overlay=""
}
historyPicture history-window 665 647
historyPicture history-table 665 420 end

# The same window sharing the history with a laptop, used in the evenings and at weekends.
sharedFolder="$WINEPREFIX/drive_c/OneDrive/Ardeno Time"
rm -rf "$WINEPREFIX/drive_c/OneDrive"
mkdir -p "$sharedFolder"
printf 'C:\\OneDrive\\Ardeno Time\r\n' >"$stateDir/share.cfg"
{
  printf 'date,program,seconds,project\r\n'
  for ago in 13 12 10 9 8 6 5 3 2 1 0; do
    day=$(date -d "-$ago day" +%F)
    weekday=$(date -d "-$ago day" +%u)
    seconds=$(((ago * 3571) % 5400 + 2400))
    if [ "$weekday" -ge 6 ]; then seconds=$((seconds + 7200)); fi
    if [ "$ago" -eq 0 ]; then seconds=2710; fi
    printf '%s,photoshop.exe,%d,Acme logo\r\n' "$day" "$seconds"
  done
} >"$sharedFolder/history-LAPTOP-5e1f02a7.csv"
historyPicture history-two-pcs 665 780
rm -rf "$stateDir/share.cfg" "$WINEPREFIX/drive_c/OneDrive"

# The overlay and its menu on a display at 150 % (the prefix at 144 DPI for that run).
tests/display-scale.sh "$bin" "$shots" >/dev/null || { echo "the run at 150 % failed; no pictures taken"; exit 1; }

# A report of literal rows as chromium prints it: the first page of the Letter PDF.
tests/report/in-browser.sh build/native/bin/sample_report "$shots/report" >/dev/null ||
  { echo "the report could not be printed; no pictures taken"; exit 1; }
pdftoppm -f 1 -l 1 -r 80 -png "$shots/report/letter-report.pdf" "$shots/report-printed"

mkdir -p docs/images
cp "$shots/scale-150.png" docs/images/overlay-150.png
cp "$shots/counting.png" docs/images/overlay-counting.png
cp "$shots/menu.png" docs/images/overlay-menu.png
cp "$shots/menu-two-programs.png" docs/images/overlay-menu-two-programs.png
cp "$shots/first-start.png" docs/images/first-start-note.png
cp "$shots/overlay-60-click-through.png" docs/images/overlay-60-click-through.png
cp "$shots/goal-line.png" docs/images/overlay-goal-line.png
cp "$shots/new-project.png" docs/images/new-project-dialog.png
cp "$shots/project.png" docs/images/overlay-project.png
cp "$shots/menu-project.png" docs/images/overlay-menu-project.png
cp "$shots/history-window.png" docs/images/history-window.png
cp "$shots/history-two-pcs.png" docs/images/history-two-pcs.png
cp "$shots/history-table.png" docs/images/history-table.png
cp "$shots/report-printed-1.png" docs/images/report-printed.png
convert "$shots/report/billed.png" -crop 900x1100+0+0 +repage docs/images/report-billed.png
echo "docs/images/overlay-counting.png, overlay-menu.png, overlay-menu-two-programs.png," \
  "first-start-note.png, new-project-dialog.png, overlay-project.png, overlay-menu-project.png," \
  "overlay-150.png, history-window.png, history-table.png, history-two-pcs.png and report-printed.png" \
  "redrawn"
