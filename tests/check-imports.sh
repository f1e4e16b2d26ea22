#!/usr/bin/env bash
# The program must be a GUI program that runs with SDL2.dll beside it and otherwise only
# DLLs that Windows ships (Wine's system folder stands for those).
set -euo pipefail
exe=$1
system32="${WINEPREFIX:?}/drive_c/windows/system32"
objdump=x86_64-w64-mingw32-objdump

headers=$("$objdump" -p "$exe")
grep -q 'Subsystem.*Windows GUI' <<<"$headers" || { echo "$exe is not a GUI program"; exit 1; }

status=0
check() {
  local module=$1
  "$objdump" -p "$module" | awk '/DLL Name:/ {print $3}' | while read -r dll; do
    if [ "$dll" = SDL2.dll ]; then continue; fi
    if [ -z "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
      echo "$(basename "$module") imports $dll, which Windows does not ship"
      exit 1
    fi
  done
}
check "$exe" || status=1
check "$(dirname "$exe")/SDL2.dll" || status=1
[ -f "$(dirname "$exe")/SDL2.dll" ] || { echo "SDL2.dll is not beside the program"; status=1; }
[ $status -eq 0 ] && echo "imports: SDL2.dll and system DLLs only"
exit $status
