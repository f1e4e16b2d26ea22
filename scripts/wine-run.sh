#!/usr/bin/env bash
# Runs a cross-built program under Wine, for ctest (CMAKE_CROSSCOMPILING_EMULATOR) and the scripts.
# The Wine server is started first with its output on /dev/null: otherwise it inherits ctest's
# pipes and every test waits seconds for them to close.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/env.sh"
export WINEPREFIX=${WINEPREFIX:-$ARDENO_TEST_PREFIX}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
wineserver -p60 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
exec wine "$@"
