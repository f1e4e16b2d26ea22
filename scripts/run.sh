#!/usr/bin/env bash
# Builds Ardeno Time for Windows and starts it under Wine with the default skin in data/.
# Without a usable DISPLAY it starts a virtual one (Xvfb) and says which.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh

scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ArdenoTime

wine_session_start "$ARDENO_RUN_PREFIX"
trap wine_session_stop EXIT
echo "Ardeno Time is running on display $DISPLAY (Wine prefix $WINEPREFIX); its state file is"
echo "  $WINEPREFIX/drive_c/ProgramData/Ardeno Time/data.cfg"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}  # the overlay plays no sound
# The skin is found relative to the working directory: the repository root holds data/.
status=0
wine build/mingw/bin/ArdenoTime.exe || status=$?
exit $status
