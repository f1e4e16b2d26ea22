#!/usr/bin/env bash
# The real program on a display at 150 %, as a per-monitor-aware program sees one on Windows:
# the prefix's LogPixels is 144 for this run (every Wine program then gets 144 DPI) and 96 again
# afterwards. The overlay opens at 300 x 300, a right click 250 pixels inside it (on the plate,
# beyond the 200 pixels of 100 %) opens the menu,
# "Fix window position" stores the window's place in screen pixels, the work history window
# opens at its default size times 1.5, and so does the New project dialog. Pictures of each, the
# overlay showing a project's name, go to SCREENSHOT_FOLDER.
# Usage: display-scale.sh BIN_FOLDER [SCREENSHOT_FOLDER]
set -uo pipefail
bin=$1
shots=${2:-$bin/screenshots}
probeExe="$bin/probe.exe"
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
mkdir -p "$shots"
dpiKey='HKCU\Control Panel\Desktop'
overlay=""
setDpi() { wine reg add "$dpiKey" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
cleanup() {
  [ -n "$overlay" ] && kill "$overlay" 2>/dev/null
  wineserver -k 2>/dev/null
  setDpi 96
}
trap cleanup EXIT
historyTitle='Ardeno Time - work history'

wineserver -k 2>/dev/null
rm -rf "$(dirname "$state")"
mkdir -p "$(dirname "$state")"
printf 'photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n3725\r\n' >"$state"
printf 'Acme logo\r\ntrue\r\nAcme logo\r\n' >"$(dirname "$state")/projects.cfg"
setDpi 144

(cd "$bin" && exec wine ArdenoTime.exe >/dev/null 2>&1) &
overlay=$!
check "the overlay starts" waitFor 20 overlayShown || exit 1
sleep 1
read -r l t r b < <(probe rect SDL_app 'Ardeno Time')
check "it opens at 300 x 300 ($((r - l)) x $((b - t)))" equals "$((r - l)) $((b - t))" "300 300"
xdotool mousemove $((l + 250)) $((t + 150)) click 3
check "a right click 250 pixels inside it opens the menu" waitFor 5 menuOpen
sleep 0.5
import -window root -crop 860x580+$((l - 150))+$((t - 120)) "$shots/scale-150.png" 2>/dev/null
# Menu items: the total, today, Work history, a line, Select target program, Add target
# program, Project, a line, Load recent time, Fix window position.
read -r x y < <(probe menu-point 0 9)
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool click 1
waitFor 5 menuClosed
check "Fix window position stores the window's place in screen pixels" \
  waitFor 5 eval 'equals "$(line 3) $(line 4) $(line 5)" "true $l $t"'

probe command 'Ardeno Time' 1133
if check "the work history window opens" waitFor 10 probe rect - "$historyTitle"; then
  sleep 1
  read -r hl ht hr hb < <(probe rect - "$historyTitle")
  check "at its default size times 1.5 ($((hr - hl)) x $((hb - ht)))" atLeast $((hr - hl)) 900
  import -window root -crop $((hr - hl))x$((hb - ht))+$hl+$ht "$shots/history-150.png" 2>/dev/null
  probe close "$historyTitle"
fi
probe command 'Ardeno Time' 1139
if check "the New project dialog opens" waitFor 10 probe rect ArdenoTimeNewProject 'New project'; then
  sleep 1
  read -r dl dt dr db < <(probe rect ArdenoTimeNewProject 'New project')
  check "at its size times 1.5 ($((dr - dl)) x $((db - dt)))" atLeast $((dr - dl)) 480
  # The overlay and the dialog beside it, with a margin.
  cl=$((dl < l ? dl : l)) ct=$((dt < t ? dt : t)) cr=$((dr > r ? dr : r)) cb=$((db > b ? db : b))
  import -window root -crop $((cr - cl + 20))x$((cb - ct + 20))+$((cl - 10))+$((ct - 10)) "$shots/new-project-150.png" \
    2>/dev/null
  probe close 'New project'
fi
probe close 'Ardeno Time'
check "it closes on request" waitFor 10 overlayGone && overlay=""

echo "display scale: $passed passed, $failed failed; pictures in $shots"
[ "$failed" -eq 0 ]
