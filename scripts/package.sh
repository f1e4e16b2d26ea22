#!/usr/bin/env bash
# Builds the release for Windows users (preset mingw-release): ArdenoTime-<version>-win64.zip and
# ArdenoTime-<version>-win64-setup.exe in build/mingw-release, then checks what ships: the files
# are there, the exe keeps ASLR and DEP, carries its version and is stripped. Prints the sizes.
# Needs neither Wine nor a display; makensis comes from scripts/setup.sh. Exits non-zero on any
# failure.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
. scripts/env.sh
dir=${ARDENO_RELEASE_DIR:-build/mingw-release}  # another folder for experiments
objdump=x86_64-w64-mingw32-objdump

log=$(mktemp)
work=$(mktemp -d)
trap 'rm -rf "$log" "$work"' EXIT

command -v makensis >/dev/null || { echo "package: makensis is missing (scripts/setup.sh installs nsis)"; exit 1; }
# The release tree builds only the program: its package target does not build everything first.
if ! { cmake --preset mingw-release -B "$dir" && cmake --build "$dir" --target ArdenoTime \
       && cmake --build "$dir" --target package; } >"$log" 2>&1; then
  cat "$log"
  echo "package: BUILD FAILED"
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
zip="$dir/ArdenoTime-$version-win64.zip"
setup="$dir/ArdenoTime-$version-win64-setup.exe"

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok    $what"
  else failed=$((failed + 1)); echo "FAIL  $what"; return 1; fi
}
contains() { grep -qF -- "$2" <<<"$1"; }
hasAll() {  # hasAll TEXT WORD...: every WORD is in TEXT
  local text=$1; shift
  for word in "$@"; do contains "$text" "$word" || { echo "      missing: $word"; return 1; }; done
}
size() { stat -c %s "$1"; }
not() { ! "$@"; }
equals() { [ "$1" = "$2" ]; }

check "the zip is made ($zip)" test -s "$zip" || exit 1
check "the installer is made ($setup)" test -s "$setup" || exit 1

python3 -m zipfile -e "$zip" "$work" || exit 1
top="$work/ArdenoTime-$version-win64"
listing=$(cd "$top" && find . -type f | sed 's|^\./||' | sort)
check "the zip holds the program, SDL2.dll, the skin, the licences and the read-me" hasAll "$listing" \
  ArdenoTime.exe SDL2.dll README.txt data/base.png data/targetSelect.png data/font.ttf data/skin.cfg \
  data/font-LICENSE.txt licenses/SDL2.txt licenses/SDL2_gfx.txt licenses/gcc-runtime-libraries.txt \
  licenses/mingw-w64-runtime.txt licenses/GPL-3.txt
check "the runtime licences include the GCC Runtime Library Exception" \
  grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$top/licenses/gcc-runtime-libraries.txt"
check "the read-me names the state file" grep -qF 'C:\ProgramData\Ardeno Time\data.cfg' "$top/README.txt"

exe="$top/ArdenoTime.exe"
dll="$top/SDL2.dll"
headers=$("$objdump" -p "$exe")
check "the shipped exe keeps ASLR, 64-bit ASLR and DEP (DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT)" \
  hasAll "$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")" \
  DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT
relocations=$(awk '/Base Relocation Directory/ {print $3}' <<<"$headers")
check "the shipped exe has relocations, without which ASLR cannot move it" not equals "${relocations:-0}" 00000000
stripped() { ! "$objdump" -h "$1" | grep -q '\.debug_'; }
check "the shipped exe is stripped" stripped "$exe"
check "the shipped SDL2.dll is stripped" stripped "$dll"
check "SDL2.dll in the shared prefix keeps its symbols" not stripped "$ARDENO_MINGW_PREFIX/bin/SDL2.dll"
info=$(python3 packaging/version-info.py "$exe")
check "the exe's version resource says Ardeno Time $version" hasAll "$info" \
  "ProductName=Ardeno Time" "FileDescription=Ardeno Time" "FileVersion=$version" "ProductVersion=$version" \
  "FixedFileVersion $version.0"
check "the installer is a 64-bit Windows program" contains "$("$objdump" -f "$setup")" 'file format pei-x86-64'

echo "sizes (bytes):"
printf '  %-36s %9s  (%s before stripping)\n' ArdenoTime.exe "$(size "$exe")" "$(size "$dir/bin/ArdenoTime.exe")"
printf '  %-36s %9s  (%s before stripping)\n' SDL2.dll "$(size "$dll")" "$(size "$ARDENO_MINGW_PREFIX/bin/SDL2.dll")"
printf '  %-36s %9s\n' "$(basename "$zip")" "$(size "$zip")" "$(basename "$setup")" "$(size "$setup")"
echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
