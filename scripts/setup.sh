#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velkaro: installs the missing Debian packages, fetches the
# free font the game uses, configures and builds (the build also generates the game's data
# files). Usage: scripts/setup.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake pkg-config git
  libsdl2-dev libsdl2-ttf-dev libpng-dev zlib1g-dev libcurl4-openssl-dev libopenmpt-dev
  libcairo2-dev libcpp-httplib-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick libgl1-mesa-dri libegl-mesa0 fonts-dejavu-core
  openmpt123 xmp clang-format desktop-file-utils appstream openbox
  clang libclang-rt-14-dev apache2-utils chromium
  postgresql libpq-dev
  # the Debian packages (scripts/package-deb.sh) and their test (tests/package)
  dpkg-dev file lintian curl man-db)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm only fetches the font; a Node.js installed outside Debian's packages brings its own.
command -v npm >/dev/null || missing+=(npm)
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The wide technical face for the game's texts, from the npm registry. Without it the game
# falls back to DejaVu Sans Bold.
FONT_DIR=.cache/fonts
if [ ! -f "$FONT_DIR/michroma-latin-400-normal.woff" ] && command -v npm >/dev/null; then
  mkdir -p "$FONT_DIR"
  tmp=$(mktemp -d)
  if (cd "$tmp" && npm pack --silent @fontsource/michroma >/dev/null 2>&1); then
    tar -xzf "$tmp"/*.tgz -C "$tmp"
    cp "$tmp"/package/files/michroma-latin-400-normal.woff "$FONT_DIR/" 2>/dev/null || true
  else
    echo "note: could not fetch the Michroma font; using DejaVu Sans Bold"
  fi
  rm -rf "$tmp"
fi

BUILD_DIR=${1:-build}
shift || true
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
