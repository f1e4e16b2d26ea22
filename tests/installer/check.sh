#!/usr/bin/env bash
# The installer as a user meets it, under Wine and Xvfb: a silent per-machine install, the
# program started by its Start-menu shortcut's command in the shortcut's working folder, counting
# while notepad (the target) gets typed into, the Startup shortcut, the Apps & features entry and
# the version resource; then a silent uninstall that removes the program, its shortcuts and its
# entry and keeps C:\ProgramData\Ardeno Time\data.cfg and history.csv byte for byte. Last, an uninstall while
# the overlay, started from the Startup shortcut, is running: the uninstaller closes it.
# The prefix is left as it was found: uninstalled and with its own data.cfg back in place.
# Usage: check.sh SETUP.exe PROBE.exe VERSION
set -uo pipefail
setup=$1
probeExe=$2
version=$3
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
# Otherwise Wine copies the shortcuts into the Linux desktop's menus.
export WINEDLLOVERRIDES=winemenubuilder.exe=d

drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/Ardeno Time"
programs="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
menuLink="$programs/Ardeno Time.lnk"
startupLink="$programs/StartUp/Ardeno Time.lnk"
stateDir=$(dirname "$state")
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ardeno Time'
installFolder='C:\Program Files\Ardeno Time'

missing() { [ ! -e "$1" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
overlayGone() { ! overlayShown; }
notepadShown() { probe rect Notepad - >/dev/null; }
shortcutsGone() { missing "$menuLink" && missing "$startupLink"; }
not() { ! "$@"; }
field() { sed -n "s/^$1=//p" <<<"$2"; }                          # field NAME TEXT: of NAME=value lines
regValue() { sed -n "s/^    $1    REG_[A-Z_]*    //p" <<<"$2"; }  # regValue NAME OUTPUT_OF_REG_QUERY
allThere() {  # allThere FOLDER FILE...
  local folder=$1; shift
  for file in "$@"; do [ -f "$folder/$file" ] || { echo "      missing: $file"; return 1; }; done
}
registered() { wine reg query "$key" >/dev/null 2>&1; }
installedFiles=(ArdenoTime.exe SDL2.dll Uninstall.exe README.txt data/base.png data/targetSelect.png data/font.ttf
  data/skin.cfg data/font-LICENSE.txt licenses/SDL2.txt licenses/SDL2_gfx.txt licenses/gcc-runtime-libraries.txt
  licenses/mingw-w64-runtime.txt licenses/GPL-3.txt)

# Silent uninstall with the command Apps & features has. NSIS's uninstaller copies itself to a
# temporary folder, starts that copy and returns at once: wait for the files to go.
uninstall() {
  local command
  command=$(wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r')
  command=$(regValue UninstallString "$command")
  command=${command//\"/}
  [ -n "$command" ] || command="$installFolder\\Uninstall.exe"
  wine "$command" /S >/dev/null 2>&1 || return 1
  waitFor 30 missing "$installed"
}

overlay="" notepad=""
backup=$(mktemp -d)
[ -d "$stateDir" ] && cp -a "$stateDir" "$backup/"
cleanup() {
  [ -n "$overlay" ] && kill "$overlay" 2>/dev/null
  [ -n "$notepad" ] && kill "$notepad" 2>/dev/null
  # Nothing may hold the program's files open while it is uninstalled.
  wineserver -k 2>/dev/null
  if [ -e "$installed" ] && ! uninstall; then
    rm -rf "$installed" "$menuLink" "$startupLink"
    wine reg delete "$key" /f >/dev/null 2>&1
  fi
  wineserver -k 2>/dev/null
  rm -rf "$stateDir"
  [ -d "$backup/Ardeno Time" ] && cp -a "$backup/Ardeno Time" "$stateDir"
  rm -rf "$backup"
}
trap cleanup EXIT

wineserver -k 2>/dev/null
if [ ! -f "$setup" ]; then
  echo "FAIL  there is no installer at $setup (scripts/package.sh makes it)"
  exit 1
fi
if [ -e "$installed" ]; then
  echo "note  removing an installation left by an earlier run"
  uninstall || rm -rf "$installed"
fi
# From a clean state folder (the one found was backed up above): a projects.cfg another test left
# there would send this run's seconds to its project.
rm -rf "$stateDir"
mkdir -p "$stateDir"
printf 'notepad.exe\r\n5\r\n0\r\nfalse\r\n0\r\n0\r\n100\r\n' >"$state"

check "the installer runs silently (/S) and succeeds" wine "$setup" /S
check "the program, SDL2.dll, the skin, the read-me, the licences and the uninstaller are in $installFolder" \
  allThere "$installed" "${installedFiles[@]}"

menu=$(python3 "$root/tests/installer/shortcut.py" "$menuLink" 2>/dev/null)
target=$(field target "$menu")
workdir=$(field workdir "$menu")
check "the Start-menu shortcut starts $installFolder\\ArdenoTime.exe" equals "$target" "$installFolder\\ArdenoTime.exe"
check "the Start-menu shortcut's working folder is $installFolder" equals "$workdir" "$installFolder"

wine notepad >/dev/null 2>&1 &
notepad=$!
waitFor 20 notepadShown || { echo "FAIL  notepad did not start"; exit 1; }
notepadX=$(xdotool search --name 'Notepad' | head -n 1)
# Beside the overlay, not under it: without a window manager an activated window can cover it.
probe place 'Untitled - Notepad' 0 0 480 360

# What the shortcut does: its command, in its working folder (where data\ holds the skin).
startFromMenuShortcut() {
  local folder
  folder=$(winepath -u "$workdir" 2>/dev/null) && [ -d "$folder" ] || return 1
  (cd "$folder" && exec wine "$target" >/dev/null 2>&1) &
  overlay=$!
  waitFor 20 overlayShown
}
if check "the installed program starts from the Start-menu shortcut's command and shows the overlay" \
  startFromMenuShortcut; then
  xdotool mousemove 100 200 click 1
  xdotool windowfocus --sync "$notepadX" 2>/dev/null
  end=$((SECONDS + 5))
  while [ $SECONDS -lt $end ]; do xdotool key --window "$notepadX" --delay 0 a; sleep 0.15; done
  check "typing in notepad, the target, counts: the all-time total grows from 100 to $(line 6)" \
    atLeast "$(line 6)" 103
  probe close 'Ardeno Time'
  if check "the overlay closes on request" waitFor 10 ended "$overlay"; then
    wait "$overlay"
    check "it ended with code 0" equals "$?" 0
  fi
  overlay=""
  check "line 3 holds the run's count ($(line 2) s)" equals "$(line 2)" "$(($(line 6) - 100))"
fi

startup=$(python3 "$root/tests/installer/shortcut.py" "$startupLink" 2>/dev/null)
check "the Startup shortcut (all users) starts the same program in the same folder, saying it is a sign-in" \
  equals "$(field target "$startup") | $(field workdir "$startup") | $(field arguments "$startup")" \
  "$installFolder\\ArdenoTime.exe | $installFolder | /sign-in"

entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
reg() { regValue "$1" "$entry"; }
check "Apps & features lists Ardeno Time $version" equals "$(reg DisplayName) $(reg DisplayVersion)" "Ardeno Time $version"
check "... with its publisher ($(reg Publisher))" test -n "$(reg Publisher)"
check "... the installed uninstaller, folder and icon" \
  equals "$(reg UninstallString) | $(reg InstallLocation) | $(reg DisplayIcon)" \
  "\"$installFolder\\Uninstall.exe\" | $installFolder | $installFolder\\ArdenoTime.exe,0"
check "... no Modify or Repair buttons" equals "$(reg NoModify) $(reg NoRepair)" "0x1 0x1"
size=$(($(reg EstimatedSize || true)))
check "... and the size of the installed files ($size KB)" atLeast "$size" 1000

info=$(python3 "$root/packaging/version-info.py" "$installed/ArdenoTime.exe" 2>/dev/null)
check "the installed exe's version resource names Ardeno Time $version" \
  equals "$(field ProductName "$info") $(field FileDescription "$info") $(field ProductVersion "$info") $(field FileVersion "$info")" \
  "Ardeno Time Ardeno Time $version $version"

cp "$state" "$backup/before-uninstall"
history="$stateDir/history.csv"
check "the run kept its work history in history.csv" grep -q '^[0-9-]*,notepad\.exe,[0-9]*,.$' "$history"
cp "$history" "$backup/history-before-uninstall"
check "the silent uninstall removes the program folder" uninstall
check "... and both shortcuts" shortcutsGone
check "... and the Apps & features entry" not registered
check "... and keeps data.cfg, byte for byte" cmp -s "$state" "$backup/before-uninstall"
check "... and history.csv, byte for byte" cmp -s "$history" "$backup/history-before-uninstall"

# A user who uninstalls while the overlay runs (the Startup shortcut started it at sign-in).
total=$(line 6)
check "a second installation succeeds" wine "$setup" /S
# Started as Explorer starts it: the shell resolves the link (under Wine, start returns at once).
wine start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\StartUp\Ardeno Time.lnk' >/dev/null 2>&1
check "the Startup shortcut starts the overlay" waitFor 20 overlayShown
# An upgrade while it runs: the installer asks it to close (in whichever session it counts),
# replaces the files and starts the new copy.
running=$(probe pid 'Ardeno Time')
check "installing over the running copy succeeds" wine "$setup" /S
newCopy() { local now; now=$(probe pid 'Ardeno Time') && [ "$now" != "$running" ]; }
check "... and leaves a new copy running" waitFor 20 newCopy
check "... with the total kept ($total s)" equals "$(line 6)" "$total"
uninstallClosesOverlay() { uninstall && waitFor 10 overlayGone; }
check "uninstalling while it runs closes it" uninstallClosesOverlay
allGone() { missing "$installed" && shortcutsGone && not registered; }
check "... removes the program folder, the shortcuts and the entry" allGone
check "... and keeps data.cfg with its total ($total s)" equals "$(line 6)" "$total"

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
