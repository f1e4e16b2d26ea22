#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, and cross-builds
# SDL2 and SDL2_framerate for x86_64-w64-mingw32 into a prefix outside the checkout.
# Every step is skipped when its result is already there, so a second run costs nothing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/env.sh
. "$here/env.sh"

packages=(
  build-essential cmake ninja-build pkg-config ca-certificates xz-utils
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis python3
  wine wine64 xvfb xauth xdotool x11-utils imagemagick xcompmgr
  googletest libsdl2-dev libsdl2-gfx-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-liberation
  inotify-tools libx11-dev
  chromium poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$here/build-sdl-mingw.sh"
