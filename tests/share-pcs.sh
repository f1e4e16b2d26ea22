#!/usr/bin/env bash
# Two PCs that share one history through a folder, as a sync service would keep it: two Wine
# prefixes, each started under a host name of its own (Wine takes the computer's name from the
# host name, and a UTS namespace gives this script host names of its own). BETA-PC, already
# sharing, has twenty years of a busy freelancer's history (2.4 MB): it counts into notepad
# and, after three minutes of looking at the folder once a minute, still has one file there.
# Its history is then corrected by hand (a wrong day removed) and its share-id.cfg removed, as
# after an upgrade from a version that kept none: it replaces its file, under the same ID.
# ALPHA-PC is its clone: its prefix is a copy of BETA-PC's, so both have one MachineGuid, as two
# PCs set up from one disk image. ALPHA-PC counts, chooses the folder with the history window's
# button and Windows' folder picker, takes an ID of its own, and then shows both PCs' seconds in
# its window and its menu's Today line (BETA-PC's at the end of its 2.4 MB file); a third PC's
# file cut in the middle of a line counts up to its last whole line, and a line in it that
# cannot be read is named; a sparse file of 400 MB is left out and named, unread, and every PC
# still counts; the folder taken away while counting and brought back loses nothing. BETA-PC
# is then renamed STUDIO-PC (the same prefix under another host name): it writes its whole
# history under its new name, removes its old file and counts the clone's seconds; ALPHA-PC,
# started again, counts the renamed PC once; "Stop sharing" leaves ALPHA-PC alone again; and
# nothing in the folder but each PC's own files is ever written.
#
# What the program draws is read from Wine's own record of it (its text and menu trace
# channels): the menu and the window are another process's, which Wine does not let a probe read.
# Usage: share-pcs.sh BIN_FOLDER [SCREENSHOT_FOLDER]
set -uo pipefail
if [ -z "${ARDENO_SHARE_HOSTS:-}" ]; then
  # Host names of its own; the test's Wine servers start in here, never outside.
  ARDENO_SHARE_HOSTS=1 exec unshare -u "$0" "$@"
fi
bin=$1
shots=${2:-$bin/screenshots}
probeExe="$bin/probe.exe"
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$root/scripts/wine-session.sh"
mkdir -p "$shots"

alpha="$ARDENO_TEST_PREFIX-pc1"
beta="$ARDENO_TEST_PREFIX-pc2"
work=$(mktemp -d /tmp/ardeno-share.XXXXXX)
shared="$work/shared"
sharedWin="Z:${shared//\//\\}"
trace="$work/alpha-trace.log"
historyTitle='Ardeno Time - work history'
overlay="" notepad=""
mkdir -p "$shared"

# becomePc NAME PREFIX [again]: the host name Wine reports, and that prefix for every wine call
# after; a new Ardeno Time there, or with "again" the one that ran there before.
becomePc() {
  hostname "$1"
  wine_session_start "$2" >/dev/null || exit 1
  wine_session_unmanaged
  wineserver -k 2>/dev/null
  wineserver -w
  state="$WINEPREFIX/drive_c/ProgramData/Ardeno Time/data.cfg"
  [ "${3:-}" = again ] && return
  rm -rf "$(dirname "$state")"
  mkdir -p "$(dirname "$state")"
  printf 'notepad.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n' >"$state"
}
leavePc() {
  [ -n "$overlay" ] && kill "$overlay" 2>/dev/null
  [ -n "$notepad" ] && kill "$notepad" 2>/dev/null
  overlay="" notepad=""
  wineserver -k 2>/dev/null
  wineserver -w
}
cleanup() {
  leavePc
  rm -rf "$work"
}
trap cleanup EXIT

stateFile() { echo "$(dirname "$state")/$1"; }
# Seconds in a history file: all rows, or with a date those of that day.
secondsIn() {
  awk -F, -v day="${2:-}" 'NR > 1 && /\r$/ && (day == "" || $1 == day) { sub(/\r$/, "", $3); s += $3 }
                          END { print s + 0 }' "$1" 2>/dev/null
}
pcFile() { ls "$shared"/history-"$1"-????????.csv 2>/dev/null | head -n 1; }
idOf() { local name=${1##*-}; echo "${name%.csv}"; }
machineGuid() { grep -m 1 '"MachineGuid"=' "$1/system.reg"; }
# The highest resident set the overlay has had, in MB.
peakMb() { awk '/^VmHWM/ { print int($2 / 1024) }' "/proc/$overlay/status" 2>/dev/null; }
clock() { printf '%02d:%02d:%02d' $(($1 / 3600)) $(($1 / 60 % 60)) $(($1 % 60)); }
inWords() { echo "$(($1 / 3600))hours $(($1 / 60 % 60))minutes $(($1 % 60))seconds"; }

startNotepad() {
  wine notepad >/dev/null 2>&1 &
  notepad=$!
  waitFor 20 probe rect Notepad - >/dev/null || return 1
  notepadX=$(xdotool search --name 'Notepad' | head -n 1)
  probe place 'Untitled - Notepad' 0 0 480 360
}
startOverlay() {  # startOverlay [TRACE_FILE]
  (cd "$bin" && if [ -n "${1:-}" ]; then
    WINEDEBUG=trace+text,trace+menu exec wine ArdenoTime.exe >/dev/null 2>"$1"
  else exec wine ArdenoTime.exe >/dev/null 2>&1; fi) &
  overlay=$!
  waitFor 20 overlayShown || return 1
  # Out of the way of notepad and the history window.
  probe place 'Ardeno Time' 900 700 200 200
}
countInNotepad() {  # countInNotepad SECONDS: types, then lets the time-out end the spell
  local end=$((SECONDS + $1))
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  while [ $SECONDS -lt $end ]; do xdotool key --window "$notepadX" --delay 0 a; sleep 0.15; done
  sleep 2.5
}
exitOverlay() {
  probe command 'Ardeno Time' 1125
  waitFor 15 overlayGone && overlay=""
}
# What the overlay last drew or put in its menu, from the trace.
drawn() { grep -a 'trace:text:DrawTextExW L"' "$trace" | sed 's/.*DrawTextExW L"\(.*\)", -*[0-9]*, \[.*/\1/'; }
todayFigure() { drawn | awk '$0 == "Today" { getline; figure = $0 } END { print figure }'; }
windowShows() { drawn | tail -n 200 | grep -qF -- "$1"; }
menuToday() { grep -a 'trace:menu:InsertMenuW.*str L"Today : ' "$trace" | tail -n 1 | sed 's/.*str L"\(.*\)"$/\1/'; }
today=$(date +%F)
# careerHistory FILE: twenty years of a busy freelancer up to yesterday, generated as the checks
# do (tests/unit/history_rows.h): five programs and two projects a day, some 2.4 MB.
careerHistory() {
  python3 - "$1" <<'EOF'
import datetime, sys
epoch = datetime.date(1970, 1, 1)
last = (datetime.date.today() - epoch).days - 1
first = last - 20 * 365 + 1
programs = ["photoshop.exe", "illustrator.exe", "blender.exe", "figma.exe", "code.exe"]
with open(sys.argv[1], "w", newline="") as out:
    out.write("date,program,seconds,project\r\n")
    for day in range(first, last + 1):
        date = (epoch + datetime.timedelta(days=day)).isoformat()
        for project in range(2):
            for program in range(5):
                seconds = 300 + (day * 37 + program * 11 + project * 5) % 5400
                out.write(f"{date},{programs[program]},{seconds},J{(day - first) // 30 * 2 + project}\r\n")
EOF
}
pcFiles() { ls "$shared"/history-"$1"-????????.csv 2>/dev/null | wc -l; }

# ---- BETA-PC: shares through the folder already, with twenty years; counts, exits ---------
becomePc beta-pc "$beta"
printf '%s\r\n' "$sharedWin" >"$(stateFile share.cfg)"
careerHistory "$(stateFile history.csv)"
career=$(secondsIn "$(stateFile history.csv)")
printf 'notepad.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n%s\r\n' "$career" >"$state"
check "BETA-PC: a history of twenty years, $(du -k "$(stateFile history.csv)" | cut -f1) KB" \
  atLeast "$(stat -c %s "$(stateFile history.csv)")" 2400000
check "BETA-PC: notepad starts" startNotepad || exit 1
started=$SECONDS
check "BETA-PC: the overlay starts" startOverlay || exit 1
countInNotepad 4
# Three looks at the folder, once a minute: its own large file is never taken for a stranger's.
sleep $((started + 185 - SECONDS))
check "after three minutes BETA-PC has one file in the folder" equals "$(pcFiles BETA-PC)" 1
check "BETA-PC: its overlay ends through Exit" exitOverlay
betaFile=$(pcFile BETA-PC)
betaSeconds=$(secondsIn "$(stateFile history.csv)" "$today")
check "BETA-PC writes its own file, ${betaFile##*/}" test -n "$betaFile"
check "... which holds all it counted ($betaSeconds s today, total $(line 6))" \
  equals "$(secondsIn "$betaFile")" "$(line 6)"
check "... and the same as its history.csv" atLeast "$betaSeconds" 2
check "... and still one file" equals "$(pcFiles BETA-PC)" 1
leavePc

# ---- BETA-PC corrected by hand, then upgraded from a version without share-id.cfg ---------
wrongDay=$(date -d '500 days ago' +%F)
awk -F, -v day="$wrongDay" '$1 != day' "$(stateFile history.csv)" >"$work/corrected.csv"
mv "$work/corrected.csv" "$(stateFile history.csv)"
rm -f "$(stateFile share-id.cfg)"
corrected=$(secondsIn "$(stateFile history.csv)")
check "BETA-PC's history lowered by hand ($wrongDay removed): its file holds more" \
  atLeast "$(secondsIn "$betaFile")" $((corrected + 1))
becomePc beta-pc "$beta" again
check "BETA-PC: the overlay starts again" startOverlay || exit 1
check "... and replaces its file with its corrected history ($corrected s)" \
  waitFor 20 eval 'equals "$(secondsIn "$(pcFile BETA-PC)")" "$corrected"'
check "... under the same ID, one file still" \
  eval 'equals "$(pcFile BETA-PC)" "$betaFile" && equals "$(pcFiles BETA-PC)" 1'
check "... the wrong day gone from it" equals "$(grep -c "^$wrongDay," "$betaFile")" 0
check "... and share-id.cfg kept again" waitFor 5 test -s "$(stateFile share-id.cfg)"
check "BETA-PC: its overlay ends through Exit" exitOverlay
leavePc

# A file of the user's own in the folder, which no PC may touch.
printf 'shopping list\r\n' >"$shared/notes.txt"
betaSum=$(md5sum <"$betaFile")

# ---- ALPHA-PC, BETA-PC's clone: counts, then chooses the folder in its history window ----
rm -rf "$alpha"
cp -a "$beta" "$alpha"
check "ALPHA-PC's Windows is a copy of BETA-PC's: one MachineGuid" \
  eval 'test -n "$(machineGuid "$alpha")" && equals "$(machineGuid "$alpha")" "$(machineGuid "$beta")"'
becomePc alpha-pc "$alpha"
check "ALPHA-PC: notepad starts" startNotepad || exit 1
check "ALPHA-PC: the overlay starts" startOverlay "$trace" || exit 1
countInNotepad 3
probe command 'Ardeno Time' 1133
historyShown() { probe rect - "$historyTitle" >/dev/null; }
check "ALPHA-PC: its history window opens" waitFor 10 historyShown || exit 1
probe place "$historyTitle" 0 380 608 447
buttonThere() { probe child-point "$historyTitle" "$1" >/dev/null; }
check "... not sharing yet: it offers to share" waitFor 5 buttonThere 'Share with other PCs...'
read -r x y < <(probe child-point "$historyTitle" 'Share with other PCs...')
xdotool mousemove "$x" "$y" && sleep 0.3 && xdotool click 1
picker='Share with other PCs: a folder that your other PCs see too'
pickerShown() { probe rect - "$picker" >/dev/null; }
if check "... and its button opens Windows' folder picker" waitFor 10 pickerShown; then
  sleep 1
  xdotool type --delay 20 "$sharedWin"
  xdotool key Return
fi
check "... which closes once the folder is chosen" waitFor 10 eval '! pickerShown'
check "share.cfg names the folder" equals "$(head -n 1 "$(stateFile share.cfg)" | tr -d '\r')" "$sharedWin"
alphaFile() { pcFile ALPHA-PC; }
check "ALPHA-PC writes its own file at once" waitFor 10 eval 'test -n "$(alphaFile)"'
check "... under an ID of its own: the clone's ID is BETA-PC's no more" \
  eval '[ "$(idOf "$(alphaFile)")" != "$(idOf "$betaFile")" ]'
check "... and BETA-PC's file is as BETA-PC left it" equals "$(md5sum <"$betaFile")" "$betaSum"
alphaSeconds=$(secondsIn "$(stateFile history.csv)" "$today")
check "... with all of its history ($alphaSeconds s today)" \
  waitFor 10 eval 'equals "$(secondsIn "$(alphaFile)")" "$(secondsIn "$(stateFile history.csv)")"'
both=$((alphaSeconds + betaSeconds))
check "the window's Today is both PCs' seconds ($(clock "$both"))" waitFor 10 eval 'equals "$(todayFigure)" "$(clock $both)"'
check "... and its legend names both, this PC first" \
  eval 'windowShows "ALPHA-PC (this PC)" && windowShows "BETA-PC"'
check "... the button now stops sharing" buttonThere 'Stop sharing'
sleep 0.5
read -r l t r b < <(probe rect - "$historyTitle")
import -window root -crop $((r - l))x$((b - t))+$l+$t "$shots/history-two-pcs.png" 2>/dev/null

xdotool mousemove 1000 805 click 3
if check "ALPHA-PC: its menu opens" waitFor 5 menuOpen; then
  sleep 0.5
  import -window root -crop 560x400+720+560 "$shots/menu-two-pcs.png" 2>/dev/null
  check "the menu's Today line counts both PCs ($(inWords "$both"))" equals "$(menuToday)" "Today : $(inWords "$both")"
  xdotool key Escape
  waitFor 5 menuClosed
fi

# A third PC's file arrives while its sync is still writing the last line.
gammaFile="$shared/history-GAMMA-PC-0000cafe.csv"
printf 'date,program,seconds\r\n%s,notepad.exe,100\r\n%s,blender.exe,12' "$today" "$today" >"$gammaFile"
check "a file cut in the middle of a line counts up to its last whole line ($(clock $((both + 100))))" \
  waitFor 10 eval 'equals "$(todayFigure)" "$(clock $((both + 100)))"'
printf '34\r\n' >>"$gammaFile"
check "... and the whole line once it has arrived ($(clock $((both + 1334))))" \
  waitFor 10 eval 'equals "$(todayFigure)" "$(clock $((both + 1334)))"'
printf 'not a row\r\n' >>"$gammaFile"
check "a line that cannot be read is named in the window" \
  waitFor 10 windowShows "the history of GAMMA-PC could not be read: line 4"
check "... and the rest of that file still counts" equals "$(todayFigure)" "$(clock $((both + 1334)))"

# A file of 400 MB named like a PC's history, as a sync fault may leave: sparse, so it costs no disk.
truncate -s 400M "$shared/history-HUGE-0000dead.csv"
check "a 400 MB file is named in the window and left out" \
  waitFor 10 windowShows "the history of HUGE is 400 MB, too large to be a history: left out"
check "... every PC still counts ($(clock $((both + 1334))))" equals "$(todayFigure)" "$(clock $((both + 1334)))"
check "... and the overlay never read it: its memory peaked at $(peakMb) MB" atLeast 150 "$(peakMb)"

# The folder taken away (a drive removed, a share offline) while counting, and brought back.
mv "$shared" "$work/away"
check "the window says in one line that the folder cannot be reached" \
  waitFor 10 windowShows "The shared folder $(printf '%s' "$sharedWin" | sed 's/\\/\\\\/g') cannot be reached"
read -r l t r b < <(probe rect - "$historyTitle")
import -window root -crop $((r - l))x$((b - t))+$l+$t "$shots/history-folder-away.png" 2>/dev/null
before=$(line 6)
countInNotepad 3
check "counting goes on meanwhile ($before -> $(line 6))" atLeast "$(line 6)" $((before + 2))
probe command 'Ardeno Time' 1133  # the window, open already, has history.csv written at once
check "... into history.csv too" waitFor 5 eval 'equals "$(secondsIn "$(stateFile history.csv)")" "$(line 6)"'
others=$((betaSeconds + 1334 + $(secondsIn "$(stateFile history.csv)" "$today")))
check "... and the other PCs still count as last read ($(clock "$others"))" \
  waitFor 5 eval 'equals "$(todayFigure)" "$(clock $others)"'
check "nothing made the folder again" test ! -e "$shared"
mv "$work/away" "$shared"
check "once it is back, ALPHA-PC's file holds every second ($(line 6) s)" \
  waitFor 15 eval 'equals "$(secondsIn "$(alphaFile)")" "$(line 6)"'
check "... and the window no longer says it cannot be reached" \
  waitFor 10 eval 'drawn | tail -n 60 | grep -q "^Sharing with other PCs through"'

probe close "$historyTitle"
check "ALPHA-PC: its overlay ends through Exit" exitOverlay
alphaToday=$(secondsIn "$(stateFile history.csv)" "$today")
check "at Exit its file holds the same as its history.csv" \
  equals "$(secondsIn "$(alphaFile)")" "$(secondsIn "$(stateFile history.csv)")"
leavePc

# ---- BETA-PC renamed STUDIO-PC: the same Windows and Ardeno Time under another name ------
becomePc studio-pc "$beta" again
trace="$work/studio-trace.log"
check "STUDIO-PC: notepad starts" startNotepad || exit 1
check "STUDIO-PC: the overlay starts" startOverlay "$trace" || exit 1
countInNotepad 3
probe command 'Ardeno Time' 1133  # the window has history.csv, and so its file, written at once
studioFile() { pcFile STUDIO-PC; }
check "STUDIO-PC writes its file under its new name" waitFor 10 eval 'test -n "$(studioFile)"'
check "... with BETA-PC's ID, and all its history, counted before and since" \
  waitFor 10 eval 'equals "$(idOf "$(studioFile)")" "$(idOf "$betaFile")" && equals "$(secondsIn "$(studioFile)")" "$(secondsIn "$(stateFile history.csv)")"'
check "... and removes its file under the old name" waitFor 10 eval 'test ! -e "$betaFile"'
studioToday=$(secondsIn "$(stateFile history.csv)" "$today")
all=$((alphaToday + studioToday + 1334))
xdotool mousemove 1000 805 click 3
if check "STUDIO-PC: its menu opens" waitFor 5 menuOpen; then
  check "its Today counts the clone's seconds too ($(inWords "$all"))" equals "$(menuToday)" "Today : $(inWords "$all")"
  xdotool key Escape
  waitFor 5 menuClosed
fi
check "STUDIO-PC: its overlay ends through Exit" exitOverlay
studioSum=$(md5sum <"$(studioFile)")
all=$((alphaToday + $(secondsIn "$(studioFile)" "$today") + 1334))
leavePc

# ---- ALPHA-PC again: the renamed PC counts once ------------------------------------------
becomePc alpha-pc "$alpha" again
trace="$work/alpha-trace-2.log"
check "ALPHA-PC: the overlay starts again" startOverlay "$trace" || exit 1
probe command 'Ardeno Time' 1133
check "ALPHA-PC: its history window opens" waitFor 10 historyShown || exit 1
probe place "$historyTitle" 0 380 608 447
check "its Today counts STUDIO-PC once, under its new name ($(clock "$all"))" \
  waitFor 10 eval 'equals "$(todayFigure)" "$(clock $all)"'
check "... and its legend names STUDIO-PC, not BETA-PC" \
  eval 'windowShows "STUDIO-PC" && ! drawn | tail -n 200 | grep -qF "BETA-PC"'
sleep 0.5
read -r l t r b < <(probe rect - "$historyTitle")
import -window root -crop $((r - l))x$((b - t))+$l+$t "$shots/history-renamed-pc.png" 2>/dev/null

# Stop sharing: this PC alone again; its file stays for the other PCs to count.
read -r x y < <(probe child-point "$historyTitle" 'Stop sharing')
xdotool mousemove "$x" "$y" && sleep 0.3 && xdotool click 1
check "Stop sharing empties share.cfg" waitFor 5 eval 'equals "$(head -n 1 "$(stateFile share.cfg)" | tr -d "\r")" ""'
own=$(secondsIn "$(stateFile history.csv)" "$today")
check "... the window counts this PC alone again ($(clock "$own"))" waitFor 10 eval 'equals "$(todayFigure)" "$(clock $own)"'
check "... and offers to share again" buttonThere 'Share with other PCs...'
check "... and ALPHA-PC's file stays in the folder" test -n "$(alphaFile)"

probe close "$historyTitle"
check "ALPHA-PC: its overlay ends through Exit" exitOverlay
check "at Exit its file holds the same as its history.csv" \
  equals "$(secondsIn "$(alphaFile)")" "$(secondsIn "$(stateFile history.csv)")"
check "STUDIO-PC's file is as STUDIO-PC left it" equals "$(md5sum <"$(studioFile)")" "$studioSum"
check "the user's own file is untouched" equals "$(cat "$shared/notes.txt")" $'shopping list\r'
check "nothing else was put in the folder" \
  equals "$(cd "$shared" && ls | sed 's/-[0-9a-f]\{8\}\.csv$/-ID.csv/' | tr '\n' ' ')" \
  "history-ALPHA-PC-ID.csv history-GAMMA-PC-ID.csv history-HUGE-ID.csv history-STUDIO-PC-ID.csv notes.txt "

echo "two PCs: $passed passed, $failed failed; pictures in $shots"
[ "$failed" -eq 0 ]
