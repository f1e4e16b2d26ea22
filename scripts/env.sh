# Shared locations for the scripts; sourced, never run.
# The cross-built SDL lives outside the checkout so that fresh clones and CI reuse it.
export ARDENO_DEPS=${ARDENO_DEPS:-/opt/ardeno-time-deps}
export ARDENO_MINGW_PREFIX="$ARDENO_DEPS/mingw64"
# Two Wine prefixes: one the user runs the overlay in, one the tests may wipe at will.
export ARDENO_RUN_PREFIX=${ARDENO_RUN_PREFIX:-$HOME/.local/share/ardeno-time/wine-run}
export ARDENO_TEST_PREFIX=${ARDENO_TEST_PREFIX:-$HOME/.cache/ardeno-time/wine-test}
