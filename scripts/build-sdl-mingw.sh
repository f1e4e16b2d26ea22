#!/usr/bin/env bash
# Cross-builds SDL2 2.26.5 (shared) and SDL2_gfx's framerate manager (static) for
# x86_64-w64-mingw32 from Debian's source packages, without touching the system's apt setup.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/env.sh"

prefix=$ARDENO_MINGW_PREFIX
stamp="$prefix/.complete-sdl2-2.26.5-gfx-1.0.4"
[ -f "$stamp" ] && exit 0

work="$ARDENO_DEPS/src"
lists="$ARDENO_DEPS/apt-lists"
mkdir -p "$work" "$lists/partial" "$prefix"

srcfile="$ARDENO_DEPS/debian-src.sources"
uris=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
[ -n "$uris" ] || uris=http://deb.debian.org/debian
cat >"$srcfile" <<SRC
Types: deb-src
URIs: $uris
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
aptopts=(-o APT::Sandbox::User=root -o "Dir::Etc::sourcelist=$srcfile" -o Dir::Etc::sourceparts=- -o "Dir::State::Lists=$lists"
         -o APT::Get::List-Cleanup=0)

cd "$work"
if ! ls libsdl2_2.26.5+dfsg.orig.tar.* >/dev/null 2>&1 || ! ls libsdl2-gfx_1.0.4*.orig.tar.* >/dev/null 2>&1; then
  echo "setup: fetching SDL2 and SDL2_gfx sources"
  apt-get update -qq "${aptopts[@]}"
  apt-get source --download-only -qq "${aptopts[@]}" 'libsdl2=2.26.5+dfsg-1' >/dev/null
  # The gfx debian tarball is not served; the orig tarball arrives and is all we need.
  apt-get source --download-only -qq "${aptopts[@]}" libsdl2-gfx >/dev/null 2>&1 || true
fi
ls libsdl2-gfx_1.0.4*.orig.tar.* >/dev/null

toolchain=$(cd "$here/../cmake" && pwd)/mingw-w64-x86_64.cmake

rm -rf sdl2-src sdl2-build
mkdir sdl2-src
tar -xf libsdl2_2.26.5+dfsg.orig.tar.* -C sdl2-src --strip-components=1
echo "setup: cross-building SDL2 (about a minute)"
cmake -S sdl2-src -B sdl2-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF >/dev/null
cmake --build sdl2-build >/dev/null
cmake --install sdl2-build >/dev/null

rm -rf gfx-src
mkdir gfx-src
tar -xf libsdl2-gfx_1.0.4*.orig.tar.* -C gfx-src --strip-components=1
x86_64-w64-mingw32-gcc-posix -O2 -c gfx-src/SDL2_framerate.c -I"$prefix/include/SDL2" -o gfx-src/SDL2_framerate.o
x86_64-w64-mingw32-ar rcs "$prefix/lib/libSDL2_framerate.a" gfx-src/SDL2_framerate.o
cp gfx-src/SDL2_framerate.h "$prefix/include/SDL2/"

touch "$stamp"
echo "setup: SDL2 for MinGW installed in $prefix"
