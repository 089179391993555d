#!/usr/bin/env bash
# Builds the libraries the Windows build of the game links (SDL2, SDL2_ttf with FreeType,
# libpng, zlib, libopenmpt, libcurl on Windows' own TLS) from Debian's own source packages,
# with the MinGW-w64 cross compiler, into BUILD_DIR/deps/prefix. Installs the Debian packages
# it needs first (the cross compilers, Wine, Xvfb, CMake). Each library is built once: a stamp
# file in BUILD_DIR/deps/stamps marks it done, so a second run only checks.
# Usage: scripts/windows-deps.sh [BUILD_DIR]   (default build-win)
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=$(realpath -m "${1:-build-win}")
DEPS=$BUILD_DIR/deps
SRC=$DEPS/src
WORK=$DEPS/build
PREFIX=$DEPS/prefix
STAMPS=$DEPS/stamps
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
HOST=x86_64-w64-mingw32
JOBS=${JOBS:-2}
mkdir -p "$SRC" "$WORK" "$PREFIX" "$STAMPS"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# --- Debian packages: the cross compilers, Wine to run the result, the build tools ----------
PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine64 wine xvfb xauth cmake make pkg-config dpkg-dev autoconf automake
  libtool googletest zip unzip python3)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source lines for bookworm, in a file of their own (the system's file lists binaries only).
SOURCES_FILE=/etc/apt/sources.list.d/velkaro-deb-src.sources
if [ ! -f "$SOURCES_FILE" ]; then
  $SUDO tee "$SOURCES_FILE" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  UPDATED=""
else
  UPDATED=1
fi
if ((${#missing[@]})) || [ -z "$UPDATED" ]; then
  $SUDO apt-get update -qq
fi
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig:$PREFIX/share/pkgconfig
export PKG_CONFIG_PATH=""
export VELKARO_WIN_PREFIX=$PREFIX
export CFLAGS="-O2" CXXFLAGS="-O2"

# Unpacks Debian's source package $1 (with Debian's patches applied) into $SRC/$1 once.
fetch() {
  local pkg=$1
  if [ ! -f "$STAMPS/$pkg.source" ]; then
    rm -rf "${SRC:?}/$pkg"
    mkdir -p "$SRC/$pkg.get"
    (cd "$SRC/$pkg.get" && apt-get source -qq "$pkg" >/dev/null)
    local dir
    dir=$(find "$SRC/$pkg.get" -mindepth 1 -maxdepth 1 -type d | head -n 1)
    mv "$dir" "$SRC/$pkg"
    rm -rf "$SRC/$pkg.get"
    touch "$STAMPS/$pkg.source"
  fi
  echo "$SRC/$pkg"
}

# A CMake project: source folder $2, extra arguments after.
cmake_build() {
  local name=$1 src=$2
  shift 2
  rm -rf "${WORK:?}/$name"
  cmake -S "$src" -B "$WORK/$name" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DVELKARO_WIN_PREFIX="$PREFIX" "$@" >"$WORK/$name.configure.log"
  nice -n 10 cmake --build "$WORK/$name" -j"$JOBS" >"$WORK/$name.build.log"
  cmake --install "$WORK/$name" >"$WORK/$name.install.log"
}

# Runs step $1 (the function build_$1) unless its stamp holds that function as it is now:
# a library is built again when the way it is built changes.
step() {
  local name=$1 recipe
  recipe=$(declare -f "build_$name")
  if [ -f "$STAMPS/$name.done" ] && [ "$(cat "$STAMPS/$name.done")" = "$recipe" ]; then
    echo "== $name: already built"
    return
  fi
  echo "== $name: building"
  local start=$SECONDS
  "build_$name"
  echo "$recipe" >"$STAMPS/$name.done"
  echo "== $name: built in $((SECONDS - start)) s"
}

build_zlib() {
  local src
  src=$(fetch zlib)
  # Debian's repacked source leaves out win32/, whose version resource the CMake build
  # compiles into the DLL: a short one of our own stands in for it.
  if [ ! -f "$src/win32/zlib1.rc" ]; then
    mkdir -p "$src/win32"
    cat >"$src/win32/zlib1.rc" <<'RC'
1 VERSIONINFO
FILEVERSION 1,2,13,0
PRODUCTVERSION 1,2,13,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904E4"
    BEGIN
      VALUE "FileDescription", "zlib data compression library\0"
      VALUE "FileVersion", "1.2.13\0"
      VALUE "OriginalFilename", "zlib1.dll\0"
    END
  END
END
RC
  fi
  cmake_build zlib "$src"
  # The static archive is never wanted: everything links the DLL.
  rm -f "$PREFIX/lib/libzlibstatic.a"
}

build_libpng() {
  local src
  src=$(fetch libpng1.6)
  cmake_build libpng "$src" -DPNG_SHARED=ON -DPNG_STATIC=OFF -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_ROOT="$PREFIX" -DSKIP_INSTALL_PROGRAMS=ON
}

build_freetype() {
  local src
  src=$(fetch freetype)
  # Debian's source package holds the library's own tarball beside the demos and docs.
  local ft
  ft=$(find "$src" -maxdepth 2 -name CMakeLists.txt -path '*freetype*' -printf '%h\n' | head -n 1)
  [ -n "$ft" ] || ft=$src
  # zlib stays on: the game's font is a WOFF file, whose tables are compressed with it.
  cmake_build freetype "$ft" -DBUILD_SHARED_LIBS=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON \
    -DZLIB_ROOT="$PREFIX"
}

build_sdl2() {
  local src
  src=$(fetch libsdl2)
  # HIDAPI stays: game controllers over USB and Bluetooth HID, and the virtual joystick the
  # gamepad tests plug in, need it.
  cmake_build sdl2 "$src" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF
}

# HarfBuzz shapes SDL_ttf's text as on Linux, where Debian's SDL_ttf uses it: without it the
# glyphs' advances are rounded one by one, and a line of text comes out wider than the same
# line in the Linux build. Only the FreeType part: no GLib, ICU, Graphite or tools.
build_harfbuzz() {
  local src
  src=$(fetch harfbuzz)
  cmake_build harfbuzz "$src" -DBUILD_SHARED_LIBS=ON -DHB_HAVE_FREETYPE=ON -DHB_HAVE_GLIB=OFF \
    -DHB_HAVE_GOBJECT=OFF -DHB_HAVE_ICU=OFF -DHB_HAVE_GRAPHITE2=OFF -DHB_BUILD_SUBSET=OFF \
    -DHB_BUILD_UTILS=OFF -DHB_BUILD_TESTS=OFF -DFREETYPE_DIR="$PREFIX"
}

build_sdl2_ttf() {
  local src
  src=$(fetch libsdl2-ttf)
  cmake_build sdl2_ttf "$src" -DBUILD_SHARED_LIBS=ON -DSDL2TTF_VENDORED=OFF \
    -DSDL2TTF_HARFBUZZ=ON -DSDL2TTF_SAMPLES=OFF -DSDL2_DIR="$PREFIX/lib/cmake/SDL2"
}

build_libopenmpt() {
  local src
  src=$(fetch libopenmpt)
  rm -rf "${WORK:?}/libopenmpt"
  mkdir -p "$WORK/libopenmpt"
  # Only the library: no player, examples or tests, and none of the outside decoders (MP3,
  # Vorbis, FLAC samples): the game's music is plain tracker modules.
  (cd "$src" && [ -x configure ] || autoreconf -fi >/dev/null 2>&1)
  (cd "$WORK/libopenmpt" && "$src/configure" --host=$HOST --prefix="$PREFIX" \
    --enable-shared --disable-static --disable-openmpt123 --disable-examples --disable-tests \
    --disable-doxygen-doc --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
    --without-portaudio --without-portaudiocpp --without-pulseaudio --without-sndfile \
    --without-flac ZLIB_CFLAGS="-I$PREFIX/include" ZLIB_LIBS="-L$PREFIX/lib -lzlib" \
    >"$WORK/libopenmpt.configure.log" &&
    nice -n 10 make -j"$JOBS" >"$WORK/libopenmpt.build.log" 2>&1 &&
    make install >"$WORK/libopenmpt.install.log")
}

build_curl() {
  local src
  src=$(fetch curl)
  # HTTP and HTTPS only, on Schannel (Windows' TLS, with Windows' certificate store).
  cmake_build curl "$src" -DBUILD_SHARED_LIBS=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF \
    -DCURL_USE_LIBSSH=OFF -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF \
    -DCURL_ZSTD=OFF -DCURL_DISABLE_LDAP=ON -DENABLE_MANUAL=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none -DZLIB_ROOT="$PREFIX"
}

total=$SECONDS
step zlib
step libpng
step freetype
step sdl2
step harfbuzz
step sdl2_ttf
step libopenmpt
step curl
echo "== dependencies ready in $PREFIX ($((SECONDS - total)) s)"
