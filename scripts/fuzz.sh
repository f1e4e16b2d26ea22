#!/usr/bin/env bash
# Builds every fuzz target (tests/fuzz, libFuzzer with clang) and runs each for SECONDS
# (default 60), one line each. A target's corpus lives outside the checkout, grows from run
# to run, and starts from the seeds in tests/fuzz/seeds/NAME/. Exits non-zero when any fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
status=0
for exe in build/fuzz/bin/*_fuzz; do
  name=$(basename "$exe" _fuzz)
  corpus="$ARDENO_DEPS/fuzz-corpus/$name"
  mkdir -p "$corpus"
  if [ -d "tests/fuzz/seeds/$name" ]; then cp -n "tests/fuzz/seeds/$name"/* "$corpus"/ 2>/dev/null || true; fi
  log=$(mktemp)
  result=0
  "$exe" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$root/build/fuzz/$name-" "$corpus" >"$log" 2>&1 || result=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  files=$(find "$corpus" -type f | wc -l)
  if [ $result -eq 0 ]; then
    echo "fuzz: $name ran ${seconds} s, $runs inputs, corpus $files files, no failure"
  else
    tail -n 40 "$log"
    echo "fuzz: $name FAILED after $runs inputs (artifacts in build/fuzz/$name-*)"
    status=1
  fi
  rm -f "$log"
done
exit $status
