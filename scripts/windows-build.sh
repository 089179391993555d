#!/usr/bin/env bash
# Cross-builds the Windows game and its unit tests with MinGW-w64 against the libraries that
# scripts/windows-deps.sh builds (it is run first; a second run of it is quick), copies the
# data a Linux build generated beside velkaro.exe, and packs
# BUILD_DIR/dist/velkaro-VERSION-windows-x64.zip with exactly the DLLs the program needs.
# Usage: scripts/windows-build.sh [BUILD_DIR]   (default build-win)
# VELKARO_HOST_BUILD names the Linux build folder whose game/ data is copied (default
# build-release; it is configured and its data built when it has none yet).
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=$(realpath -m "${1:-build-win}")
PREFIX=$BUILD_DIR/deps/prefix
HOST_BUILD=$(realpath -m "${VELKARO_HOST_BUILD:-build-release}")
JOBS=${JOBS:-2}

bash scripts/windows-deps.sh "$BUILD_DIR"

# The data: Data/, Sounds/ and Fonts/ are drawn and composed by the Linux tools.
if [ ! -d "$HOST_BUILD/game/Data" ] || [ ! -d "$HOST_BUILD/game/Sounds" ]; then
  echo "== generating the game's data in the Linux build $HOST_BUILD"
  [ -f "$HOST_BUILD/CMakeCache.txt" ] ||
    cmake -S . -B "$HOST_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
  nice -n 10 cmake --build "$HOST_BUILD" -j"$JOBS" --target game_data game_sounds
fi

start=$SECONDS
cmake -S . -B "$BUILD_DIR/game-build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVELKARO_WIN_PREFIX="$PREFIX" \
  -DVELKARO_HOST_GAME_DIR="$HOST_BUILD/game" >/dev/null
nice -n 10 cmake --build "$BUILD_DIR/game-build" -j"$JOBS"
echo "== cross-built the game and its tests in $((SECONDS - start)) s"

python3 scripts/windows-package.py "$BUILD_DIR/game-build" "$PREFIX" "$BUILD_DIR/dist"
