# shellcheck shell=bash disable=SC2034,SC2154
# Shared by the survival scripts; sourced, never run. The sourcing script sets bin (the folder
# of ArdenoTime.exe, its SDL2.dll and data/) and probeExe first.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/scripts/env.sh"
export WINEPREFIX=${WINEPREFIX:-$ARDENO_TEST_PREFIX} WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export SDL_AUDIODRIVER=dummy
state="$WINEPREFIX/drive_c/ProgramData/Ardeno Time/data.cfg"
program=""

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...: counts, and prints only what failed
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); return 0; fi
  failed=$((failed + 1)); echo "FAIL  $what"; return 1
}
waitFor() {  # waitFor SECONDS COMMAND...: true once COMMAND holds
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.05; done
}
probe() { wine "$probeExe" "$@" 2>/dev/null | tr -d '\r'; }
overlayShown() { probe rect SDL_app 'Ardeno Time' >/dev/null; }
programGone() { ! kill -0 "$program" 2>/dev/null; }
# `wine` execs into the Windows process: $! is the program itself, in this prefix only.
startProgram() {  # startProgram WORKING_FOLDER: the skin is read from WORKING_FOLDER/data
  (cd "$1" && exec wine "$bin/ArdenoTime.exe" >/dev/null 2>&1) &
  program=$!
}
endProgram() {  # a crash or power cut: no shutdown code runs
  kill -9 "$program" 2>/dev/null
  wait "$program" 2>/dev/null
}

# A clean prefix for this run; the server's output must not hold the test runner's pipes open.
wineserver -k 2>/dev/null; wineserver -w
wineserver -p60 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
