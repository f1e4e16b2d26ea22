#!/usr/bin/env bash
# Builds everything and runs every test suite: the portable code natively with sanitizers,
# then the Windows build under Wine. Exits non-zero when anything fails.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
. scripts/wine-session.sh

scripts/setup.sh || exit 1

passed=0
failed=0
status=0
# Runs one ctest preset (further arguments go to ctest) and adds its counts to the totals.
suite() {
  local preset=$1 log
  shift
  log=$(mktemp)
  echo "== $preset: build"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"; echo "== $preset: BUILD FAILED"; status=1; failed=$((failed + 1)); rm -f "$log"; return
  fi
  echo "== $preset: tests"
  ctest --preset "$preset" "$@" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    status=1
  fi
  rm -f "$log"
}

suite native

echo "== fuzz"
# A short run of every fuzz target, each counted on its own.
fuzzLog=$(mktemp)
scripts/fuzz.sh "${ARDENO_FUZZ_SECONDS:-10}" 2>&1 | tee "$fuzzLog"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
fuzzPassed=$(grep -c '^fuzz: .* no failure$' "$fuzzLog")
fuzzFailed=$(grep -c '^fuzz: .* FAILED' "$fuzzLog")
passed=$((passed + fuzzPassed))
failed=$((failed + fuzzFailed))
[ $((fuzzPassed + fuzzFailed)) -gt 0 ] || { failed=$((failed + 1)); status=1; }
rm -f "$fuzzLog"

# The release packages must build (a broken package fails the run); the Wine suite installs them.
if [ -x scripts/package.sh ]; then
  echo "== packages"
  if scripts/package.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
fi

wine_session_start "$ARDENO_TEST_PREFIX" || exit 1
wine_session_unmanaged
trap wine_session_stop EXIT
suite mingw
# Once more with Wine's local time twenty seconds after midnight (Wine follows TZ, minutes and
# seconds included): a test that still depends on the hour it runs at fails here every run.
utcSecond=$(( $(date -u +%s) % 86400 ))
ahead=$(( (86400 + 20 - utcSecond) % 86400 ))
midnight=$(printf 'LCL-%d:%02d:%02d' $((ahead / 3600)) $((ahead / 60 % 60)) $((ahead % 60)))
echo "== mingw: the gtest cases at local midnight (TZ=$midnight)"
TZ=$midnight suite mingw -L gtest

echo "== benchmarks"
build/native/bin/frame_pacing_bench 2>/dev/null | sed 's/^/native: /'
scripts/wine-run.sh build/mingw/bin/frame_pacing_bench.exe 2>/dev/null | tr -d '\r' | sed 's/^/wine:   /'
scripts/wine-run.sh build/mingw/bin/frame_cost_bench.exe 2>/dev/null | tr -d '\r' | sed 's/^/wine:   /'
scripts/wine-run.sh build/mingw/bin/hook_cost_bench.exe 2>/dev/null | tr -d '\r' | sed 's/^/wine:   /'

echo
echo "total: $passed passed, $failed failed"
exit $status
