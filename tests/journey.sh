#!/usr/bin/env bash
# A user's session with the real program under Wine and Xvfb, driven with xdotool as a person
# would: the very first start and its note, then type in notepad while another program is the
# target (nothing counts), pick notepad with the menu, type (the count grows), pause (it stops
# after the time-out), leave the menu in every way and type on at once, stop the process as a
# suspend does, choose a time-out, drag and pin the overlay, add WordPad as a second target and
# take it off again, name projects in the New project dialog and let a file's name in notepad's
# title choose one, let the overlay show today's time, exit through the menu, start again at the pinned place while typing (the
# project chosen before counts on), and end the session as a sign-out does.
# Usage: journey.sh BIN_FOLDER [SCREENSHOT_FOLDER]
set -uo pipefail
bin=$1
shots=${2:-$bin/screenshots}
probeExe="$bin/probe.exe"
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
mkdir -p "$shots"

lineIs() { equals "$(line "$1")" "$2"; }
shot() {  # the overlay and what is around it
  import -window root -crop 560x460+$((ox - 180))+$((oy - 130)) "$shots/$1.png" 2>/dev/null
}
startOverlay() {
  (cd "$bin" && exec wine ArdenoTime.exe >/dev/null 2>&1) &
  overlay=$!
  waitFor 20 probe rect SDL_app 'Ardeno Time' || return 1
  read -r ox oy _ < <(probe rect SDL_app 'Ardeno Time')
}
# A menu follows the pointer between frames of its own; a click made in the same instant as the
# move lands before the menu has seen the pointer arrive.
clickAt() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool click 1; }
# Right-clicks the overlay (a tap: press and release at once) and clicks an item of its menu.
chooseFromMenu() {  # chooseFromMenu INDEX [SUBMENU_INDEX]; HOLD=1 holds the right button down
  xdotool mousemove $((ox + 100)) $((oy + 105))  # on the plate: clear pixels let clicks through
  if [ -n "${HOLD:-}" ]; then
    xdotool mousedown 3
    check "the menu opens while the right button is still held" waitFor 2 menuOpen
    xdotool mouseup 3
  else
    xdotool click 3
  fi
  waitFor 5 menuOpen || return 1
  equals "$(probe menu-owner)" ArdenoTime.exe || return 1
  [ -n "${menuShot:-}" ] && { sleep 0.3; shot "$menuShot"; menuShot=""; }
  read -r x y < <(probe menu-point 0 "$1")
  clickAt "$x" "$y"
  if [ $# -gt 1 ]; then
    sleep 0.5
    read -r x y < <(probe menu-point 1 "$2" "$1")
    clickAt "$x" "$y"
  fi
  waitFor 5 menuClosed
}
typeInNotepad() {  # typeInNotepad SECONDS: a key about every 150 ms; KEYS_TO_FOCUS=1 types as the keyboard does
  local end=$((SECONDS + $1)) window=(--window "$notepadX")
  [ -n "${KEYS_TO_FOCUS:-}" ] && window=()
  while [ $SECONDS -lt $end ]; do xdotool key "${window[@]}" --delay 0 a; sleep 0.15; done
}
inFront() { equals "$(probe foreground)" "$1"; }
# Once the menu has closed, notepad is in front again and keys count without a click on it.
typingCountsRightAway() {  # typingCountsRightAway HOW
  check "after $1 notepad is in front again" waitFor 3 inFront notepad.exe
  local before
  before=$(line 6)
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "after $1 typing counts without a click ($before -> $(line 6))" atLeast "$(line 6)" $((before + 2))
  sleep 1.5
}
openMenu() {
  xdotool mousemove $((ox + 100)) $((oy + 105)) click 3
  waitFor 5 menuOpen
}
cleanup() {
  kill "$overlay" "$notepad" "${wordpad:-}" 2>/dev/null
  wineserver -k 2>/dev/null
}
trap cleanup EXIT

wineserver -k 2>/dev/null
rm -rf "$(dirname "$state")"

wine notepad >/dev/null 2>&1 &
notepad=$!
waitFor 20 probe rect Notepad - || { echo "FAIL  notepad did not start"; exit 1; }
notepadX=$(xdotool search --name 'Notepad' | head -n 1)
# Beside the overlay, not under it: without a window manager Wine lets an activated window
# cover a topmost one in X once the topmost one has been active (the menu activates it).
probe place 'Untitled - Notepad' 0 0 480 360
overlay=""

# ---- the very first start: begin ------------------------------------------------------------
# No data.cfg yet: a note beside the overlay, not under it, says how to begin, until the first
# right-click.
noteTitle='Right-click to choose the programs you work in'
noteGone() { ! probe rect ArdenoTimeNote - >/dev/null; }
besideOverlay() {
  local l t r b
  read -r l t r b < <(probe rect ArdenoTimeNote "$noteTitle") &&
    { [ "$l" -ge $((ox + 200)) ] || [ "$r" -le "$ox" ] || [ "$t" -ge $((oy + 200)) ] || [ "$b" -le "$oy" ]; }
}
check "the very first start succeeds" startOverlay
check "... and a note beside the overlay says \"$noteTitle\"" waitFor 5 besideOverlay
sleep 0.5
import -window root -crop 560x240+$((ox - 30))+$((oy - 20)) "$shots/first-start.png" 2>/dev/null
xdotool mousemove $((ox + 100)) $((oy + 105)) click 3
check "the first right-click opens the menu and the note goes" eval 'waitFor 5 menuOpen && waitFor 3 noteGone'
xdotool key Escape
waitFor 5 menuClosed
probe close 'Ardeno Time'
check "the first run closes on request" waitFor 10 overlayGone
# ---- the very first start: end --------------------------------------------------------------

printf 'photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n100\r\n' >"$state"
check "the overlay starts" startOverlay
pixelAt() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n 1; }
sleep 1
plateColour=$(pixelAt $((ox + 100)) $((oy + 143)))  # under the time and the project's name
check "no note at the second start" noteGone

# Notepad is not the target yet: typing there counts nothing.
xdotool mousemove 100 200 click 1
xdotool windowfocus --sync "$notepadX" 2>/dev/null
typeInNotepad 3
check "typing in another program than the target counts nothing" equals "$(line 6)" 100

menuShot=menu
check "a right tap opens the menu and Select target program closes it" chooseFromMenu 4
sleep 1.5
shot selecting
check "the click that chose the item did not pick a target" equals "$(line 0)" photoshop.exe
xdotool mousemove 100 200 click 1
check "the next click, on notepad, picks notepad.exe" waitFor 5 lineIs 0 notepad.exe

xdotool windowfocus --sync "$notepadX" 2>/dev/null
typeInNotepad 4
shot counting
counted=$(line 6)
check "typing in notepad counts (total $counted after about 4 s)" atLeast "$counted" 103
sleep 1.5
paused=$(line 6)
sleep 2.5
check "a pause longer than the 1 s time-out stops the count" equals "$(line 6)" "$paused"

openMenu && xdotool key Escape
check "Escape closes the menu" waitFor 5 menuClosed
typingCountsRightAway "Escape"
openMenu && xdotool mousemove 1100 900 && sleep 0.3 && xdotool click 1
check "a click outside closes the menu" waitFor 5 menuClosed
typingCountsRightAway "a click outside the menu"

# The menu dismissed by a click on the overlay's own plate beside it, at several places: that
# press must not start a drag whose release has gone with the menu (the overlay froze).
for spot in "30 110" "60 130" "140 75" "50 80"; do
  read -r dx dy <<<"$spot"
  openMenu && { xdotool mousemove $((ox + dx)) $((oy + dy)); sleep 0.3; xdotool click 1; }
  waitFor 5 menuClosed || break
done
check "after the menu was dismissed on the plate four times, it opens again" openMenu
xdotool key Escape
waitFor 5 menuClosed
check "... and the overlay stayed where it was" equals "$(probe rect SDL_app 'Ardeno Time')" \
  "$ox $oy $((ox + 200)) $((oy + 200))"
typingCountsRightAway "clicks on the plate"

# A suspended machine stops every process; the first frame after waking sees the key that woke
# it. The silence before that key is not work, however the time-out reads.
xdotool windowfocus --sync "$notepadX" 2>/dev/null
typeInNotepad 2
sleep 0.4  # the last key is seen by a frame; the spell is still on
kill -STOP "$overlay"
beforeStop=$(line 6)
sleep 10
xdotool key --window "$notepadX" a
kill -CONT "$overlay"
sleep 3
check "a 10 s stop adds nothing of the stop ($beforeStop -> $(line 6))" atLeast $((beforeStop + 2)) "$(line 6)"
typeInNotepad 2
check "and the next keys count again" atLeast "$(line 6)" $((beforeStop + 1))
sleep 1.5

check "the time-out submenu sets 5 seconds" chooseFromMenu 11 1
check "data.cfg holds the 5 s time-out" equals "$(line 1)" 5
typingCountsRightAway "a command"

# Drag the overlay by 150 and 100 pixels, away from notepad, then pin it there.
xdotool mousemove $((ox + 100)) $((oy + 105)) mousedown 1
for step in 1 2 3 4 5; do sleep 0.1; xdotool mousemove $((ox + 100 + 30 * step)) $((oy + 105 + 20 * step)); done
sleep 0.2
xdotool mouseup 1
sleep 0.5
read -r dx dy _ < <(probe rect SDL_app 'Ardeno Time')
check "dragging moves the unpinned overlay" equals "$dx $dy" "$((ox + 150)) $((oy + 100))"
ox=$dx oy=$dy
HOLD=1 check "Fix window position pins it" chooseFromMenu 9
check "data.cfg holds the pinned place" equals "$(line 3) $(line 4) $(line 5)" "true $ox $oy"

# ---- work history: begin ------------------------------------------------------------------
# Today's line in the menu (seen in the picture menu-today.png), the history window opened from
# it, a picture of it at its default size, counting on while it is open, resized, closed and
# opened again, and its button opening history.csv with the program associated with .csv.
# The overlay is pinned away from the middle here: the window opens beside it, below notepad.
historyFile="$(dirname "$state")/history.csv"
historyTitle='Ardeno Time - work history'
# history.csv alone, and with its journal (the file is written when the window opens).
fileSeconds() { awk -F, 'NR > 1 { s += $3 } END { print s + 0 }' "$historyFile"; }
historySeconds() {  # the rows of both begin with their date; their other lines do not
  cat "$historyFile" "$historyFile.journal" 2>/dev/null | awk -F, '/^[0-9]/ { s += $3 } END { print s + 0 }'
}
historyShown() { probe rect - "$historyTitle" >/dev/null; }
historyGone() { ! historyShown; }
historyKind() { equals "$(probe kind "$historyTitle")" "normal taskbar sizable caption"; }
historyShot() {  # historyShot NAME: the window alone
  local l t r b
  read -r l t r b < <(probe rect - "$historyTitle") && import -window root -crop $((r - l))x$((b - t))+$l+$t "$shots/$1.png"
}
historyAgrees() { equals "$(historySeconds)" "$(($(line 6) - 100))"; }
fileAgrees() { equals "$(fileSeconds)" "$(($(line 6) - 100))"; }
settle() { sleep 6; }  # the 5 s time-out runs out, and both files hold the same last second
csvOpened() { probe rect Notepad 'history.csv - Notepad' >/dev/null; }
workHistoryJourney() {
  settle
  check "history.csv and its journal hold every second counted since notepad was picked ($(historySeconds) s)" \
    historyAgrees
  menuShot=menu-today
  check "the menu's Work history item opens the history window" chooseFromMenu 2
  check "... which shows" waitFor 10 historyShown || return
  check "... and history.csv alone holds every second now ($(fileSeconds) s)" fileAgrees
  check "... as a normal window: in the taskbar, resizable, with a caption, not topmost" historyKind
  probe place "$historyTitle" 0 380 608 447
  sleep 1
  historyShot history
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 3
  sleep 1.5
  historyShot history-counted
  check "counting goes on while it is open, and its chart is drawn again" \
    not cmp -s "$shots/history.png" "$shots/history-counted.png"
  probe place "$historyTitle" 0 380 680 640
  sleep 1
  historyShot history-large
  probe place "$historyTitle" 0 380 200 150
  sleep 1
  historyShot history-smallest
  local l t r b
  read -r l t r b < <(probe rect - "$historyTitle")
  check "it cannot be made smaller than its chart needs ($((r - l)) x $((b - t)) for 200 x 150)" \
    bothAtLeast "$((r - l)) $((b - t))" "420 320"
  probe close "$historyTitle"
  check "closing it closes only the history window" waitFor 5 historyGone
  check "... the overlay stays" overlayShown
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 3
  settle
  check "counting goes on after it closed, into data.cfg and the history alike ($(historySeconds) s)" historyAgrees
  check "it opens again from the menu" chooseFromMenu 2
  check "... and shows" waitFor 10 historyShown || return
  # Over the plate and in front, the program's own window comes above it, as a person clicking it
  # would see; the plate goes back on top once another program is in front.
  probe place "$historyTitle" $((ox - 100)) $((oy - 100)) 608 447
  probe front "$historyTitle"
  check "in front, the history window comes above the overlay" waitFor 3 probe above ArdenoTimeWorkHistory 'Ardeno Time'
  probe front "$(xdotool getwindowname "$notepadX")"
  check "... and with notepad in front the overlay is above it again" \
    waitFor 3 not probe above ArdenoTimeWorkHistory 'Ardeno Time'
  probe place "$historyTitle" 0 380 608 447
  # Windows opens .csv with a spreadsheet; this prefix has none, so notepad stands in for it.
  wine reg add 'HKCR\.csv' /ve /d ardeno.csvtest /f >/dev/null 2>&1
  wine reg add 'HKCR\ardeno.csvtest\shell\open\command' /ve /d 'notepad.exe "%1"' /f >/dev/null 2>&1
  local x y
  read -r x y < <(probe child-point "$historyTitle" 'Open in spreadsheet')
  clickAt "$x" "$y"
  if check "Open in spreadsheet opens history.csv with the program associated with .csv" waitFor 15 csvOpened; then
    probe close 'history.csv - Notepad'
  else
    xdotool key Return  # the message box that says why
  fi
  wine reg delete 'HKCR\ardeno.csvtest' /f >/dev/null 2>&1
  wine reg delete 'HKCR\.csv' /f >/dev/null 2>&1
  probe close "$historyTitle"
  check "... and it closes again" waitFor 5 historyGone
}
not() { ! "$@"; }
bothAtLeast() { local a b x y; read -r a b <<<"$1"; read -r x y <<<"$2"; [ "$a" -ge "$x" ] && [ "$b" -ge "$y" ]; }
workHistoryJourney
# ---- work history: end --------------------------------------------------------------------

# ---- history.csv saved from a spreadsheet while counting: begin ----------------------------
# A person saves history.csv from a spreadsheet, in its place, while the program counts: today's
# row corrected, an earlier day and a row of their own added, dates as a US spreadsheet writes
# them (1/25/2026 settles the order), a project only on their row. The next write (the
# window's) keeps all of it and adds to today's row the seconds counted since the program's own
# last write, the file back in its own form.
historySavedWhileCounting() {
  settle
  check "before the edit history.csv and its journal hold every second counted ($(historySeconds) s)" historyAgrees ||
    return
  local today m d y written corrected before
  today=$(awk -F, 'NR > 1 { day = $1 } END { print day }' "$historyFile")
  IFS=- read -r y m d <<<"$today"
  before=$(line 6)
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 5 &
  local typist=$!
  sleep 2
  # What the spreadsheet opened: the seconds the program had written by then.
  written=$(fileSeconds)
  corrected=$((written > 10 ? written - 10 : 0))
  printf 'date,program,seconds,project\r\n1/25/2026,notepad.exe,1234\r\n%d/%d/%s,notepad.exe,%s\r\n%d/%d/%s,meeting notes,600,"Smith, Jones"\r\n' \
    $((10#$m)) $((10#$d)) "$y" "$corrected" $((10#$m)) $((10#$d)) "$y" >"$historyFile.saving"
  mv "$historyFile.saving" "$historyFile"
  check "the edit was saved while the count went on ($before -> $(line 6))" atLeast "$(line 6)" $((before + 1))
  wait "$typist"
  settle
  probe command 'Ardeno Time' 1133
  waitFor 10 historyShown && probe close "$historyTitle" && waitFor 5 historyGone
  local since=$(($(line 6) - 100 - written))
  check "today's corrected row grew by the $since s the file did not hold yet" \
    grep -qx "$today,notepad.exe,$((corrected + since)),"$'\r' "$historyFile"
  check "the earlier day the person added is kept, its date written 2026-01-25" \
    grep -qx "2026-01-25,notepad.exe,1234,"$'\r' "$historyFile"
  check "... and their own row, with its project" grep -qx "$today,meeting notes,600,\"Smith, Jones\""$'\r' "$historyFile"
  check "no journal is left once the file holds every second" not test -e "$historyFile.journal"
}
historySavedWhileCounting
# ---- history.csv saved from a spreadsheet while counting: end ------------------------------

# Notepad's own File menu, opened where it overlaps the overlay, stays above it: menus are
# topmost windows too, and the overlay must not cover the program it counts. Notepad itself ends
# above the overlay (without a window manager an active window may cover it in X).
probe place 'Untitled - Notepad' $((ox - 50)) $((oy - 100)) 480 95
sleep 0.5
clickAt $((ox - 36)) $((oy - 67))
notepadMenuOpen() { equals "$(probe menu-owner)" notepad.exe; }
if check "notepad's File menu opens over the overlay" waitFor 5 notepadMenuOpen; then
  sleep 1  # four of the overlay's checks of its place on top
  shot notepad-menu
  check "... and stays above it" probe above '#32768' 'Ardeno Time'
  xdotool key Escape Escape  # the menu, then the menu bar
  check "... until it closes; the overlay is on top again" waitFor 5 menuClosed
fi
probe place 'Untitled - Notepad' 0 0 480 360

# ---- two programs: begin --------------------------------------------------------------------
# WordPad added with a click on "Add target program": work in each goes to its own row of
# history.csv. "Target programs" lists both (a picture for the README); a click there takes
# WordPad off again.
programSeconds() {  # in history.csv and its journal together
  cat "$historyFile" "$historyFile.journal" 2>/dev/null | awk -F, -v p="$1" '$2 == p { s += $3 } END { print s + 0 }'
}
twoPrograms() {
  wine 'C:\Program Files\Windows NT\Accessories\wordpad.exe' >/dev/null 2>&1 &
  wordpad=$!
  check "WordPad starts" waitFor 20 eval 'probe place "Document - Wine Wordpad" 0 620 480 360' || return
  local wordpadX notepadBefore end x y
  wordpadX=$(xdotool search --name 'Wine Wordpad' | head -n 1)
  check "Add target program, chosen with a click" chooseFromMenu 5
  sleep 1.5
  xdotool mousemove 240 800 click 1
  check "the next click, on WordPad, adds it: line 1 is notepad.exe|wordpad.exe" \
    waitFor 5 lineIs 0 'notepad.exe|wordpad.exe'
  settle
  notepadBefore=$(programSeconds notepad.exe)
  xdotool mousemove 240 800 click 1
  end=$((SECONDS + 3))
  while [ $SECONDS -lt $end ]; do xdotool key --window "$wordpadX" --delay 0 a; sleep 0.15; done
  settle
  check "typing in WordPad counts in a row of its own ($(programSeconds wordpad.exe) s)" \
    atLeast "$(programSeconds wordpad.exe)" 2
  check "... and adds nothing to notepad's" equals "$(programSeconds notepad.exe)" "$notepadBefore"
  openMenu || return
  read -r x y < <(probe menu-point 0 6)
  clickAt "$x" "$y"
  check "the menu's Target programs lists both" waitFor 3 eval 'probe menu-point 1 1 >/dev/null'
  sleep 0.5
  import -window root -crop 620x440+$((ox - 30))+$((oy - 20)) "$shots/menu-two-programs.png" 2>/dev/null
  xdotool key Escape Escape
  waitFor 5 menuClosed
  check "choosing wordpad.exe there leaves notepad.exe alone in line 1" chooseFromMenu 6 1
  check "... at once" waitFor 5 lineIs 0 notepad.exe
  kill "$wordpad" 2>/dev/null
  wait "$wordpad" 2>/dev/null
}
twoPrograms
# ---- two programs: end ----------------------------------------------------------------------

# ---- projects: begin ------------------------------------------------------------------------
# A project named in the New project dialog, typed into with xdotool while the count goes on in
# notepad: Escape takes nothing, Enter takes the name, and the overlay shows it. A second notepad
# with a file named after a project ("acme-logo.txt - Notepad") gives that project its seconds in
# history.csv's fourth column while another one is chosen; the untitled notepad's go to the chosen
# one. Pictures of the dialog, of the overlay with a project and of the Project submenu.
dialogTitle='New project'
dialogShown() { probe rect ArdenoTimeNewProject "$dialogTitle" >/dev/null; }
dialogGone() { ! dialogShown; }
projectsLine() { sed -n "${1}p" "$(dirname "$state")/projects.cfg" 2>/dev/null | tr -d '\r'; }
projectSeconds() { awk -F, -v p="$1" 'NR > 1 { sub(/\r$/, ""); if ($4 == p) s += $3 } END { print s + 0 }' "$historyFile"; }
writeHistory() {  # opening the history window writes history.csv at once
  probe command 'Ardeno Time' 1133
  waitFor 10 historyShown && probe close "$historyTitle" && waitFor 5 historyGone
}
apart() {  # apart "L T R B" "L T R B": the two rectangles do not overlap
  local a b; read -r -a a <<<"$1"; read -r -a b <<<"$2"
  [ "${a[0]}" -ge "${b[2]}" ] || [ "${a[2]}" -le "${b[0]}" ] || [ "${a[1]}" -ge "${b[3]}" ] || [ "${a[3]}" -le "${b[1]}" ]
}
newProject() {  # newProject SUBMENU_INDEX TEXT KEY: the dialog from the menu, TEXT typed, then KEY
  chooseFromMenu 6 "$1" && waitFor 5 dialogShown || return 1
  local x y dialogX
  read -r x y < <(probe child-point "$dialogTitle" '')
  clickAt "$x" "$y"
  dialogX=$(xdotool search --name "^$dialogTitle\$" | head -n 1)
  xdotool windowfocus --sync "$dialogX" 2>/dev/null
  xdotool type --delay 60 "$2"
  [ -n "${dialogShot:-}" ] && { sleep 0.3; dialogPicture "$dialogShot"; dialogShot=""; }
  xdotool key "$3"
  waitFor 5 dialogGone
}
dialogPicture() {  # the overlay and the dialog beside it
  local l t r b
  read -r l t r b < <(probe rect ArdenoTimeNewProject "$dialogTitle")
  import -window root -crop $((r - ox + 40))x260+$((ox - 20))+$((oy - 20)) "$shots/$1.png" 2>/dev/null
}
projectsJourney() {
  local before x y acmeNotepad acmeX acme chosen
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 2
  check "New project... in the Project submenu opens the New project dialog" chooseFromMenu 6 2
  check "... which shows" waitFor 5 dialogShown || return
  check "... with no taskbar button of its own" not eval 'probe kind "$dialogTitle" | grep -q taskbar'
  check "... beside the overlay, not over it" apart "$(probe rect ArdenoTimeNewProject "$dialogTitle")" \
    "$(probe rect SDL_app 'Ardeno Time')"
  before=$(line 6)
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 3
  check "while it is open, typing in notepad counts ($before -> $(line 6))" atLeast "$(line 6)" $((before + 2))
  check "... and the overlay stays under it" probe above ArdenoTimeNewProject 'Ardeno Time'
  read -r x y < <(probe child-point "$dialogTitle" '')
  clickAt "$x" "$y"
  xdotool windowfocus --sync "$(xdotool search --name "^$dialogTitle\$" | head -n 1)" 2>/dev/null
  xdotool type --delay 60 'Globex'
  xdotool key Escape
  check "Escape closes it" waitFor 5 dialogGone
  check "... and chooses nothing" not test -e "$(dirname "$state")/projects.cfg"
  dialogShot=new-project newProject 2 '  Acme  ' Return
  check "Enter takes the name typed, trimmed: projects.cfg names Acme" waitFor 3 eval 'equals "$(projectsLine 1)" Acme'
  check "a second one, Globex, typed and taken with Enter, is the current project" newProject 3 'Globex' Return
  check "... before Acme in the recent ones" equals "$(projectsLine 1) $(projectsLine 3) $(projectsLine 4)" \
    "Globex Globex Acme"

  : >"$WINEPREFIX/drive_c/acme-logo.txt"
  wine notepad 'C:\acme-logo.txt' >/dev/null 2>&1 &
  acmeNotepad=$!
  # Beside the overlay, to its left, for a picture of both.
  check "notepad opens acme-logo.txt" \
    waitFor 20 eval 'probe place "acme-logo.txt - Notepad" $((ox - 490)) $((oy - 12)) 480 300' || return
  acmeX=$(xdotool search --name 'acme-logo.txt - Notepad' | head -n 1)
  settle
  writeHistory
  acme=$(projectSeconds Acme) chosen=$(projectSeconds Globex)
  xdotool mousemove $((ox - 250)) $((oy + 150)) click 1
  local end=$((SECONDS + 4))
  while [ $SECONDS -lt $end ]; do xdotool key --window "$acmeX" --delay 0 a; sleep 0.15; done
  import -window root -crop 720x340+$((ox - 500))+$((oy - 30)) "$shots/project.png" 2>/dev/null
  settle
  writeHistory
  check "typing in \"acme-logo.txt - Notepad\" gives Acme its seconds ($acme -> $(projectSeconds Acme))" \
    atLeast "$(projectSeconds Acme)" $((acme + 3))
  check "... and the chosen Globex none of them" equals "$(projectSeconds Globex)" "$chosen"
  acme=$(projectSeconds Acme)
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  typeInNotepad 3
  settle
  writeHistory
  check "typing in the untitled notepad gives the chosen Globex its seconds ($chosen -> $(projectSeconds Globex))" \
    atLeast "$(projectSeconds Globex)" $((chosen + 2))
  check "... and Acme none" equals "$(projectSeconds Acme)" "$acme"
  openMenu || return
  read -r x y < <(probe menu-point 0 6)
  clickAt "$x" "$y"
  check "the Project submenu opens" waitFor 3 eval 'probe menu-point 1 1 6 >/dev/null'
  sleep 0.5
  import -window root -crop 680x440+$((ox - 30))+$((oy - 20)) "$shots/menu-project.png" 2>/dev/null
  xdotool key Escape Escape
  waitFor 5 menuClosed
  kill "$acmeNotepad" 2>/dev/null
  wait "$acmeNotepad" 2>/dev/null
}
projectsJourney
# ---- projects: end --------------------------------------------------------------------------

# ---- overlay shows: begin --------------------------------------------------------------------
# "Today" chosen with a click in the Overlay shows submenu (a picture of it): the figure turns
# from this run's count into today's (earlier runs and the row the person added count too), and
# overlay.cfg keeps the choice for the next start.
overlayFile="$(dirname "$state")/overlay.cfg"
# The figure alone: the project's name under it is the one the last title named, which a restart forgets.
overlayShot() { import -window root -crop 160x40+$((ox + 20))+$((oy + 78)) "$shots/$1.png" 2>/dev/null; }
overlayShowsJourney() {
  local x y
  settle
  overlayShot shows-run
  openMenu || return
  read -r x y < <(probe menu-point 0 12)
  clickAt "$x" "$y"
  check "the menu's Overlay shows submenu opens" waitFor 3 eval 'probe menu-point 1 2 12 >/dev/null'
  sleep 0.5
  import -window root -crop 700x480+$((ox - 30))+$((oy - 20)) "$shots/menu-overlay-shows.png" 2>/dev/null
  xdotool key Escape Escape
  waitFor 5 menuClosed
  check "Today there, chosen with a click" chooseFromMenu 12 1
  check "... is kept in overlay.cfg" waitFor 3 eval 'equals "$(head -n 1 "$overlayFile" 2>/dev/null | tr -d "\r")" today'
  settle
  overlayShot shows-today
  check "... and the overlay's figure is no longer this run's count" not cmp -s "$shots/shows-run.png" "$shots/shows-today.png"
}
overlayShowsJourney
# ---- overlay shows: end ----------------------------------------------------------------------

# ---- out of the way: opacity, click-through and the notification-area icon -----------------
# The figure's box: white digits on the dark plate. Xvfb shows layered pixels premultiplied over
# black, so a plate at 60 % reads at 0.6 of its brightness.
figureMean() { import -window root -crop 140x30+$((ox + 30))+$((oy + 85)) png:- 2>/dev/null | convert - -format '%[fx:mean]' info: 2>/dev/null; }
ratioNear() {  # ratioNear A B RATIO [TOLERANCE]
  awk -v a="$1" -v b="$2" -v r="$3" -v t="${4:-0.05}" 'BEGIN { exit !(b > 0 && a / b > r - t && a / b < r + t) }'
}
# Wine's own tray window, top left, with the icon as its first.
iconAt() { read -r tl tt _ < <(probe rect - 'Wine System Tray') && ix=$((tl + 13)) iy=$((tt + 32)); }
overlayHidden() { ! overlayShown; }
overlayLookJourney() {
  local full sixty faded title x y
  check "the notification-area icon is there" waitFor 5 iconAt || return
  full=$(figureMean)
  check "Opacity 60 % in the Overlay look submenu" chooseFromMenu 13 2
  check "... is kept in overlay.cfg" waitFor 3 grep -q '^opacity=60' "$overlayFile"
  sleep 0.5
  sixty=$(figureMean)
  check "the plate reads at 0.6 of its brightness ($sixty against $full)" ratioNear "$sixty" "$full" 0.6
  check "Click-through there" chooseFromMenu 13 5
  check "... is kept" waitFor 3 grep -q '^clickthrough=on' "$overlayFile"
  xdotool mousemove 900 900; sleep 0.5
  shot overlay-60-click-through
  # Notepad under the plate: a right-click there reaches notepad, whose own menu opens.
  title=$(xdotool getwindowname "$notepadX")
  probe place "$title" $((ox - 100)) $((oy - 60)) 480 360
  xdotool mousemove $((ox + 100)) $((oy + 105)); sleep 0.5
  faded=$(figureMean)
  check "under the pointer the plate fades to a quarter ($faded against $sixty)" ratioNear "$faded" "$sixty" 0.25
  xdotool click 3
  check "a right-click on the plate reaches notepad under it" waitFor 5 eval 'equals "$(probe menu-owner)" notepad.exe'
  # Its menu has notepad's keyboard, not necessarily X's focus; else a click on notepad beside it.
  xdotool key --window "$notepadX" Escape
  waitFor 3 menuClosed || { xdotool mousemove $((ox - 80)) $((oy + 250)) click 1; waitFor 3 menuClosed; }
  # Activated by the click, notepad is raised over the plate on the X side (Wine without a window
  # manager; Windows' own order keeps the plate on top): it goes out of the way first, clear of
  # the tray window at the top left too.
  probe place "$title" 0 400 480 360
  # Onto notepad: Wine sees the pointer only over its own windows, not over the bare X screen, and
  # a move made before X has notepad at its new place lands on the bare screen: move on each look.
  # The figure may have gone on meanwhile (the click counted): its digits' ink differs a little.
  local back step=0
  backAt60() {
    step=$((step + 1)); xdotool mousemove $((200 + step % 2 * 20)) 600; sleep 0.2
    back=$(figureMean); ratioNear "$back" "$sixty" 1 0.15
  }
  waitFor 3 backAt60
  shot pointer-gone
  check "the pointer gone, the plate is back at 60 % ($back against $sixty)" ratioNear "$back" "$sixty" 1 0.15
  # The icon, in Wine's tray window at the top left (notepad is away from it now): a left click
  # hides the plate and shows it again; the plate counts on meanwhile.
  xdotool mousemove "$ix" "$iy"; sleep 0.3; xdotool click 1
  check "a left click on the icon hides the overlay" waitFor 5 overlayHidden
  check "... kept in overlay.cfg" waitFor 3 grep -q '^hidden=on' "$overlayFile"
  local hiddenFrom=$(line 6)
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "hidden, it counts on ($hiddenFrom -> $(line 6))" atLeast "$(line 6)" $((hiddenFrom + 1))
  xdotool mousemove "$ix" "$iy"; sleep 0.3; xdotool click 1
  check "another click shows it again" waitFor 5 overlayShown
  # The icon's right-click opens the plate's menu, and its commands are the plate's.
  xdotool mousemove "$ix" "$iy"; sleep 0.3; xdotool click 3
  check "a right-click on the icon opens the overlay's menu" waitFor 5 eval 'equals "$(probe menu-owner)" ArdenoTime.exe'
  read -r x y < <(probe menu-point 0 13)
  clickAt "$x" "$y"
  sleep 0.5
  read -r x y < <(probe menu-point 1 5 13)
  clickAt "$x" "$y"
  check "Click-through off, chosen from the icon's menu" waitFor 3 grep -q '^clickthrough=off' "$overlayFile"
  waitFor 5 menuClosed
  check "Opacity 100 % again" chooseFromMenu 13 0
  check "... kept" waitFor 3 grep -q '^opacity=100' "$overlayFile"
  probe place "$title" 0 0 480 360
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
}
overlayLookJourney
# ---- out of the way: end -------------------------------------------------------------------

# ---- pause, full screen and the daily goal -------------------------------------------------
# The goal's line, under the project's name on the default plate.
goalLineMean() { import -window root -crop 140x3+$((ox + 30))+$((oy + 145)) png:- 2>/dev/null | convert - -format '%[fx:mean]' info: 2>/dev/null; }
brighter() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b + 0.02) }'; }
# The left bar of the pause mark, above the figure, in the default skin's white.
pauseMarkShown() { equals "$(pixelAt $((ox + 96)) $((oy + 76)))" '#FFFFFF'; }
pauseJourney() {
  local before none line title regeditX
  none=$(goalLineMean)
  check "Daily goal: 2 hours" chooseFromMenu 14 1
  check "... kept in overlay.cfg" waitFor 3 grep -q '^goal=2' "$overlayFile"
  sleep 0.5
  shot goal-line
  line=$(goalLineMean)
  check "the goal's line shows on the plate ($line against $none without it)" brighter "$line" "$none"
  check "Pause counting" chooseFromMenu 16
  check "... puts the pause mark over the figure" waitFor 3 pauseMarkShown
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  before=$(line 6)
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "paused, typing counts nothing ($before -> $(line 6))" equals "$(line 6)" "$before"
  shot paused
  xdotool key ctrl+alt+shift+p
  check "Ctrl+Alt+Shift+P resumes: the mark goes" waitFor 3 not pauseMarkShown
  probe front "$(xdotool getwindowname "$notepadX")"
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "... and typing counts again ($before -> $(line 6))" atLeast "$(line 6)" $((before + 1))
  xdotool key ctrl+alt+shift+p
  check "the keys pause again" waitFor 3 pauseMarkShown
  before=$(line 6)
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "... and typing counts nothing ($before -> $(line 6))" equals "$(line 6)" "$before"
  check "Pause counting, chosen again, resumes" chooseFromMenu 16
  check "... and the mark goes" waitFor 3 not pauseMarkShown
  check "Daily goal: Off" chooseFromMenu 14 0
  # Another program going full screen in front, as a player's button makes it.
  (cd "$bin" && exec wine regedit >/dev/null 2>&1) &
  check "the registry editor starts" waitFor 15 probe rect - 'Registry Editor'
  regeditX=$(xdotool search --name '^Registry Editor$' | head -n 1)
  probe full-screen 'Registry Editor' on
  xdotool windowfocus --sync "$regeditX" 2>/dev/null
  check "a program that is not a target, full screen in front, hides the overlay" waitFor 5 overlayHidden
  probe full-screen 'Registry Editor' off
  check "... which comes back when that program leaves full screen" waitFor 5 overlayShown
  probe close 'Registry Editor'
  # The program being counted full screen (a canvas-only mode): the overlay stays and counts.
  title=$(xdotool getwindowname "$notepadX")
  probe full-screen "$title" on
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  sleep 1
  check "notepad full screen keeps the overlay" overlayShown
  before=$(line 6)
  KEYS_TO_FOCUS=1 typeInNotepad 3
  check "... and counts ($before -> $(line 6))" atLeast "$(line 6)" $((before + 1))
  probe full-screen "$title" off
  probe place "$title" 0 0 480 360
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
}
pauseJourney
# ---- pause, full screen and the daily goal: end --------------------------------------------
# Today's figure as it is now, for the restart below to show again, once the last spell is over
# and nothing has moved for a while. Exit is then chosen with clicks: with notepad in front they
# would be input in a target and count a second more, so another program is in front for them.
probe front 'Wine System Tray'
settle
settle
overlayShot shows-today

check "Exit closes the overlay" chooseFromMenu 18
if check "the program has ended" waitFor 10 overlayGone; then
  wait "$overlay"
  check "it ended with code 0" equals "$?" 0
fi
# The run began at 0 with a total of 100: all it counted is in both lines.
check "line 2 holds this run's count ($(($(line 6) - 100)) s)" equals "$(line 2)" "$(($(line 6) - 100))"

# Nobody at the keyboard, notepad (the target) in front: a window appears under the resting
# pointer for a moment, as a notification does. Under Wine that moves the session's last-input
# time and sends a mouse move to where the pointer already is; neither is anybody's work. Started
# from another working folder, as a launcher does, the overlay finds the skin beside the program.
xdotool mousemove 100 200 click 1
sleep 6  # the 5 s time-out has passed since that click
idleTotal=$(line 6)
# Today's seconds as history.csv holds them after Exit, as the previous run's count: "Load recent
# time" in This run then draws that very figure.
todaySeconds=$(awk -F, -v d="$(date +%F)" '$1 == d { s += $3 } END { print s + 0 }' "$historyFile")
sed -i "3s/.*/$todaySeconds\r/" "$state"
(cd / && exec wine "$bin/ArdenoTime.exe" >/dev/null 2>&1) &
overlay=$!
if check "started from another working folder, the overlay shows" waitFor 20 overlayShown; then
  sleep 1
  check "... and draws the default plate" equals "$(pixelAt $((ox + 100)) $((oy + 143)))" "$plateColour"
  shot other-folder
  probe flash 50 150 1000
  sleep 6
  check "a window that appears with nobody at the keyboard counts nothing ($idleTotal -> $(line 6))" \
    equals "$(line 6)" "$idleTotal"
  overlayShot shows-today-restarted
  check "the restarted overlay shows today's figure, as chosen before" \
    cmp -s "$shots/shows-today.png" "$shots/shows-today-restarted.png"
  # Commands posted, not clicked: a click would be input, and notepad is in front.
  probe command 'Ardeno Time' 1161
  probe command 'Ardeno Time' 1131
  sleep 1
  overlayShot shows-loaded
  check "... exactly today's $todaySeconds s: This run loaded with that count looks the same" \
    cmp -s "$shots/shows-today.png" "$shots/shows-loaded.png"
  check "... and This run is kept again" equals "$(head -n 1 "$overlayFile" | tr -d '\r')" run
  probe close 'Ardeno Time'
  waitFor 10 overlayGone
fi

# Started while the user types (from Startup, say), the pinned overlay leaves notepad in front.
xdotool mousemove 100 200 click 1
KEYS_TO_FOCUS=1 typeInNotepad 30 &
typist=$!
startTotal=$(line 6)
restartGlobex=$(projectSeconds Globex)
check "the next start succeeds" startOverlay
check "it opens at the pinned place" equals "$ox $oy" "$(line 4) $(line 5)"
sleep 2
check "it leaves notepad in front" inFront notepad.exe
kill "$typist" 2>/dev/null
wait "$typist" 2>/dev/null
check "and the typing counts" atLeast "$(line 6)" $((startTotal + 1))

# A sign-out: Windows asks every program to end, then ends it. Notepad, with unsaved text,
# would hold the session open for a person, so it goes first.
kill "$notepad" 2>/dev/null
wait "$notepad" 2>/dev/null
sleep 6  # the time-out of 5 s: nothing is counted any more
wine wineboot -e -s >/dev/null 2>&1
check "the session's end ends the overlay" waitFor 15 overlayGone
check "line 2 holds this run's count ($(($(line 6) - startTotal)) s), as after Exit" \
  equals "$(line 2)" "$(($(line 6) - startTotal))"
check "the restart kept the current project: Globex took that run's seconds ($restartGlobex -> $(projectSeconds Globex))" \
  equals "$(projectSeconds Globex)" "$((restartGlobex + $(line 6) - startTotal))"

echo "journey: $passed passed, $failed failed; screenshots in $shots"
[ "$failed" -eq 0 ]
