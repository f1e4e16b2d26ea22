# shellcheck shell=bash disable=SC2034
# Shared by the scripted tests that drive the real program under Wine; sourced, never run. The
# sourcing script sets probeExe (the window probe) before it calls probe.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/env.sh"
export WINEPREFIX=${WINEPREFIX:-$ARDENO_TEST_PREFIX} WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export SDL_AUDIODRIVER=dummy
state="$WINEPREFIX/drive_c/ProgramData/Ardeno Time/data.cfg"

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...: counts; prints each outcome, or with CHECK_QUIET only failures
  local what=$1; shift
  if "$@"; then
    passed=$((passed + 1))
    [ -n "${CHECK_QUIET:-}" ] || echo "ok    $what"
    return 0
  fi
  failed=$((failed + 1)); echo "FAIL  $what"; return 1
}
waitFor() {  # waitFor SECONDS COMMAND...: true once COMMAND holds; polls every WAIT_STEP seconds
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep "${WAIT_STEP:-0.2}"; done
}
probe() { wine "$probeExe" "$@" 2>/dev/null | tr -d '\r'; }
overlayShown() { probe rect SDL_app 'Ardeno Time' >/dev/null; }
overlayGone() { ! kill -0 "$overlay" 2>/dev/null; }   # the sourcing script keeps the overlay's pid in $overlay
menuOpen() { probe rect '#32768' - >/dev/null; }
menuClosed() { ! menuOpen; }
line() { sed -n "$(($1 + 1))p" "$state" | tr -d '\r'; }   # data.cfg line, counted from 0
equals() { [ "$1" = "$2" ]; }
atLeast() { [ "$1" -ge "$2" ]; }
