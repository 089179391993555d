#!/usr/bin/env bash
# Builds the Debian packages velkaro_<version>_<arch>.deb (the game) and
# velkaro-scores_<version>_<arch>.deb (the score service) from a Release build installed to
# /usr (the game in /usr/games, as Debian keeps games).
# Usage: scripts/package-deb.sh [BUILD_DIR] [extra cmake arguments...]
# BUILD_DIR (default build-deb) is configured for the packages and they are written there;
# give it a folder of its own, as its settings differ from an ordinary build's.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}
shift || true

# The packages need neither the tests nor the benchmarks; later arguments may still ask for them.
# The programs are linked with read-only relocations resolved at start, as Debian's own are.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELKARO_INSTALL_GAME_BINDIR=games -DVELKARO_TESTS=OFF -DVELKARO_BENCH=OFF \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now" "$@" > /dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/velkaro*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/velkaro*.deb
