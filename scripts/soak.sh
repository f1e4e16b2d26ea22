#!/usr/bin/env bash
# The long soak: kills the counting program KILLS times (default 200) under Wine, as a crash
# or power cut would, and checks after each kill that data.cfg is whole and the total did not
# go down, and that history.csv and its journal are whole and hold every second but those of a
# frame a kill cut between data.cfg and the journal. About 3 s a kill. The test suite runs a short one of 15 kills.
# Usage: scripts/soak.sh [KILLS]; ARDENO_BUILD names another build folder than build/mingw.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh
kills=${1:-200}
build=$(realpath -m "${ARDENO_BUILD:-build/mingw}")  # the program is started from its own folder

scripts/setup.sh
cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" --target ArdenoTime probe survival_helper

wine_session_start "$ARDENO_TEST_PREFIX"
wine_session_unmanaged
trap wine_session_stop EXIT
tests/survival/soak.sh "$build/bin" "$build/bin/probe.exe" "$kills" "$build/bin/survival_helper.exe"
