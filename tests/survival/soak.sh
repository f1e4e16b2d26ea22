#!/usr/bin/env bash
# Kills the real program, as a crash or power cut would, at random moments while it counts and
# writes data.cfg once a second, then starts it again. After every kill data.cfg must be a
# complete file whose total never went down, and every start must count on from that total.
# The history's journal, written in the same frame right after data.cfg, and history.csv, which
# the history window and every start rewrite, must be whole too, and together fall behind the
# total by no more than that one frame's seconds: no second lost, none counted twice.
# Usage: soak.sh BIN_FOLDER PROBE_EXE [KILLS] HELPER_EXE
set -uo pipefail
bin=$1 probeExe=$2 kills=${3:-15} helperExe=${4:?the survival helper}
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
temporary="$state.new"
# Lines 1 to 6 never change while it counts; line 3 is written only by a clean exit, so its
# odd value also shows that no kill let the program shut down.
fixedLines=$'notepad.exe\r\n1\r\n777\r\nfalse\r\n0\r\n0\r\n'
startTotal=1000

total() { sed -n 7p "$state" 2>/dev/null | tr -d '\r'; }
totalAbove() { local t; t=$(total); [[ $t =~ ^[0-9]+$ ]] && [ "$t" -gt "$1" ]; }
completeFile() {  # seven lines, each ending CR LF, the first six as written, line 7 a whole number
  local t
  t=$(total)
  [[ $t =~ ^[0-9]+$ ]] && cmp -s "$state" <(printf '%s%s\r\n' "$fixedLines" "$t")
}
overlayGone() { ! overlayShown; }
# history.csv as the program writes it: the byte-order mark and the header, then whole CR LF
# lines of notepad.exe rows (the test's locale has "," for its list separator).
history="$(dirname "$state")/history.csv"
journal="$history.journal"
historyFileWhole() {
  [ "$(tail -c 2 "$history" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 0d0a ] || return 1
  awk 'NR == 1 { if ($0 != "\357\273\277date,program,seconds,project\r") exit 1; next }
       !/^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9],notepad\.exe,[0-9]+,\r$/ { exit 1 }' "$history"
}
# The seconds history.csv and its journal hold together, as the next start counts them.
keptSeconds() { wine "$helperExe" kept "$history" 2>/dev/null | tr -d '\r'; }
# A kill after data.cfg's write and before the journal's in the same frame leaves the history
# behind by that frame's seconds for good: 1 while frames keep pace, 2 after a frame held up for
# over a second on a loaded machine. Each kill may add that much, never more, and the history
# is never ahead: a second counted twice would put it ahead.
historyBehind=0
historyWhole() {
  local seconds behind
  historyFileWhole || { echo "soak: history.csv is not whole:"; od -c "$history" | tail -n 3; return 1; }
  seconds=$(keptSeconds)
  [[ $seconds =~ ^[0-9]+$ ]] || { echo "soak: history.csv and its journal could not be read together ($seconds)"; return 1; }
  behind=$(($(total) - startTotal - seconds))
  if [ "$behind" -lt "$historyBehind" ] || [ "$behind" -gt $((historyBehind + 2)) ]; then
    echo "soak: the history holds $seconds s, $behind s behind the total (before: $historyBehind)"
    return 1
  fi
  historyBehind=$behind
}
ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }

# Most kills fall anywhere in the once-a-second write cycle, up to the write after the next.
# Every third one falls inside a write of data.cfg and the journal after it, every third
# inside a write of history.csv as the history window opens: a write lives about 1 to 2 ms
# from the creation of its temporary file to its move into place, and one turn of a bash loop
# takes about 7 us.
waitForKillMoment() {
  if [ $((run % 3)) -ne 1 ]; then
    local file=$temporary end=$((SECONDS + 4)) spin=$((RANDOM % 250)) i
    if [ $((run % 3)) -eq 2 ]; then
      file=$history.new
      probe command 'Ardeno Time' 1133 &
    fi
    while [ ! -e "$file" ] && [ $SECONDS -lt $end ]; do :; done
    if [ -e "$file" ]; then
      [ "$file" = "$temporary" ] && duringWrite=$((duringWrite + 1)) || duringHistoryWrite=$((duringHistoryWrite + 1))
    fi
    for ((i = 0; i < spin; i++)); do :; done
  else
    local delay=$((RANDOM % 1300))
    sleep "$((delay / 1000)).$(printf %03d $((delay % 1000)))"
  fi
}

cleanup() {
  kill "${typist:-}" 2>/dev/null
  endProgram
  wineserver -k 2>/dev/null
}
trap cleanup EXIT

rm -rf "$(dirname "$state")"
mkdir -p "$(dirname "$state")"
printf '%s%s\r\n' "$fixedLines" "$startTotal" >"$state"

wine notepad >/dev/null 2>&1 &
# Beside the overlay, which opens in the middle of the screen: a click must reach notepad.
check "notepad starts" waitFor 20 probe place 'Untitled - Notepad' 0 0 480 360 || exit 1
notepadX=$(xdotool search --name 'Notepad' | head -n 1)
xdotool mousemove 100 200 click 1
xdotool windowfocus --sync "$notepadX" 2>/dev/null
# Keys for 2 s, then a pause of 1.3 s: the 1 s time-out ends the spell.
(while :; do
  for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13; do xdotool key --window "$notepadX" --delay 0 a BackSpace; sleep 0.15; done
  sleep 1.3
done) &
typist=$!

killsDone=0 last=$startTotal lowest="" highest=0 complete=0 decreases=0
temporariesAfterKill=0 temporariesLeft=0 duringWrite=0 duringHistoryWrite=0
phases=(0 0 0 0)
for ((run = 1; run <= kills + 1; run++)); do
  startProgram "$bin"
  if ! check "start $run counts on from $last" waitFor 15 totalAbove "$last"; then
    endProgram; break
  fi
  written=$(ms) first=$(total)
  check "start $run counts on from the total the kill left ($last, then $first)" \
    [ "$first" -le $((last + 2)) ]
  [ -e "$temporary" ] && temporariesLeft=$((temporariesLeft + 1))
  [ "$run" -gt "$kills" ] && break  # the last start only proves that counting goes on
  waitForKillMoment
  endProgram
  killed=$(ms) killsDone=$run
  phase=$(((killed - written) % 1000 / 250))
  phases[phase]=$((phases[phase] + 1))
  [ -e "$temporary" ] && temporariesAfterKill=$((temporariesAfterKill + 1))
  check "the program is gone after kill $run" waitFor 10 programGone
  check "its window is gone after kill $run" waitFor 10 overlayGone
  if [ $((run % 3)) -eq 2 ]; then  # the history window had the foreground: notepad gets it back
    xdotool mousemove 100 200 click 1
    xdotool windowfocus --sync "$notepadX" 2>/dev/null
  fi
  if check "data.cfg is complete after kill $run" completeFile; then
    complete=$((complete + 1))
    now=$(total)
    [ "$now" -lt "$last" ] && decreases=$((decreases + 1))
    check "the total did not go down at kill $run ($last, then $now)" [ "$now" -ge "$last" ]
    check "history.csv and its journal are whole after kill $run and at most one frame behind the total" historyWhole
    last=$now
    [ -z "$lowest" ] || [ "$now" -lt "$lowest" ] && lowest=$now
    [ "$now" -gt "$highest" ] && highest=$now
  fi
done
check "a temporary file left by a kill is gone after the next write" [ "$temporariesLeft" -eq 0 ]
if ! programGone; then
  probe close 'Ardeno Time'
  check "the last run closes cleanly" waitFor 10 programGone
  wait "$program"; check "with exit code 0" [ $? -eq 0 ]
  # Exit writes history.csv: every second the journals kept is in it, and the journal is gone.
  fileSeconds=$(awk -F, 'NR > 1 { sum += $3 } END { print sum + 0 }' "$history")
  check "after Exit history.csv alone holds what file and journal held ($fileSeconds s)" \
    [ "$fileSeconds" -eq $(($(total) - startTotal - historyBehind)) ]
  check "... and no journal is left" [ ! -e "$journal" ]
fi

echo "soak: $killsDone kills, $complete complete files, total $startTotal at first," \
  "lowest ${lowest:-none} and highest $highest after a kill, $((last - startTotal)) s gained"
echo "soak: kills in each quarter of the write cycle: ${phases[*]}; $duringWrite aimed into a write of data.cfg," \
  "$duringHistoryWrite into a write of history.csv"
echo "soak: data.cfg.new seen right after a kill: $temporariesAfterKill," \
  "left after the next write: $temporariesLeft; decreases of the total: $decreases"
# Only kills inside a write can land between data.cfg and the journal; most never do.
check "the history fell behind the total only through kills inside a write ($historyBehind s, $duringWrite such kills)" \
  [ "$historyBehind" -le $((2 * duringWrite)) ]
echo "soak: history.csv and journal behind the total's growth by $historyBehind s after $killsDone kills"
echo "soak: $passed checks passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$complete" -eq "$kills" ] && [ "$decreases" -eq 0 ]
