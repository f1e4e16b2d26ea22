#!/usr/bin/env bash
# Real X input through the hooks: starts the disabled xdotool test under Wine, waits for its
# window, then moves the mouse onto it, clicks and types with xdotool, as a person would.
set -uo pipefail
tests_exe=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$here/../scripts/wine-run.sh" "$tests_exe" --gtest_also_run_disabled_tests \
  --gtest_filter='InputHookTest.DISABLED_RealXInput*' >"$log" 2>&1 &
test_pid=$!

for _ in $(seq 200); do grep -q 'ready for X input' "$log" && break; sleep 0.1; done
window=$(xdotool search --name '^input target$' | head -n 1)
if [ -z "$window" ]; then
  echo "the target window never appeared"; cat "$log"; kill $test_pid 2>/dev/null; exit 1
fi
xdotool mousemove --window "$window" 40 40 && sleep 0.2
xdotool click 1 && sleep 0.2
xdotool windowfocus --sync "$window" 2>/dev/null; sleep 0.2
xdotool key k

wait $test_pid
status=$?
tr -d '\r' <"$log" | grep -E '^\[ +(OK|FAILED) +\]|Failure|never|did not' || true
exit $status
