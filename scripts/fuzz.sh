#!/usr/bin/env bash
# Builds the settings-file fuzz target with clang and runs it for SECONDS (default 60).
# Its corpus lives outside the checkout and grows from run to run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
. scripts/env.sh
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
corpus="$ARDENO_DEPS/fuzz-corpus/config"
mkdir -p "$corpus"
cp -n data/skin.cfg "$corpus/skin.cfg" 2>/dev/null || true
printf 'photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n' >"$corpus/default-state.cfg"
log=$(mktemp)
status=0
build/fuzz/bin/config_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$root/build/fuzz/" "$corpus" >"$log" 2>&1 || status=$?
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
files=$(find "$corpus" -type f | wc -l)
if [ $status -eq 0 ]; then
  echo "fuzz: settings-file reader ran ${seconds} s, $runs inputs, corpus $files files, no failure"
else
  tail -n 40 "$log"
  echo "fuzz: settings-file reader FAILED after $runs inputs (artifacts in build/fuzz/)"
fi
rm -f "$log"
exit $status
