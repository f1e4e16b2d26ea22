# shellcheck shell=bash disable=SC2034,SC2154
# Shared by the survival scripts; sourced, never run. The sourcing script sets bin (the folder
# of ArdenoTime.exe, its SDL2.dll and data/) and probeExe first.
CHECK_QUIET=1  # thousands of checks: only failures are worth a line
WAIT_STEP=0.05
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
program=""

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
