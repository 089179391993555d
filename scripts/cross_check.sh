#!/usr/bin/env bash
# The same race on every build: builds the race world and the golden-race checker
# (velkaro-golden) four ways and replays every golden race (tests/golden/daily) with each.
# Every build must end every race exactly where it was recorded: the same frame, time and
# world hash.
#
#   gcc        GCC, plain x86-64 (what the game ships)
#   clang      clang, plain x86-64
#   gcc-v3     GCC with -march=x86-64-v3 (FMA and AVX2 at hand; skipped if this processor lacks them)
#   aarch64    GCC's cross compiler for 64-bit ARM, run under qemu-user
#
# usage: scripts/cross_check.sh [--data DIR] [BUILD ...]
#   --data  the game's folder holding Data/data2.vil (default: build-release/game, built first
#           by scripts/setup.sh when missing)
# Installs what it misses (clang, the aarch64 cross compiler, qemu-user, libpng and zlib for
# arm64) with apt-get. Builds go to build-cross/.
set -euo pipefail
cd "$(dirname "$0")/.."

DATA=""
BUILDS=()
while (($#)); do
  case "$1" in
    --data) DATA=$2; shift 2 ;;
    gcc|clang|gcc-v3|aarch64) BUILDS+=("$1"); shift ;;
    *) echo "usage: $0 [--data DIR] [gcc] [clang] [gcc-v3] [aarch64]" >&2; exit 2 ;;
  esac
done
((${#BUILDS[@]})) || BUILDS=(gcc clang gcc-v3 aarch64)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
need=()
for p in clang g++-aarch64-linux-gnu qemu-user libpng-dev:arm64 zlib1g-dev:arm64; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if ((${#need[@]})); then
  echo "Installing: ${need[*]}"
  dpkg --print-foreign-architectures | grep -qx arm64 || $SUDO dpkg --add-architecture arm64
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

if [ -z "$DATA" ]; then
  DATA=build-release/game
  [ -f "$DATA/Data/data2.vil" ] || bash scripts/setup.sh build-release -DCMAKE_BUILD_TYPE=Release
fi
[ -f "$DATA/Data/data2.vil" ] || { echo "no $DATA/Data/data2.vil" >&2; exit 2; }

mkdir -p build-cross
cat > build-cross/aarch64.cmake <<'EOF'
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /usr/lib/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
EOF

build() {
  local name=$1
  shift
  local dir=build-cross/$name
  local start=$SECONDS
  cmake -S . -B "$dir" -DVELKARO_WORLD_ONLY=ON -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.log" 2>&1 &&
    cmake --build "$dir" -j"$(nproc)" --target velkaro-golden >>"$dir.log" 2>&1 ||
    { echo "$name: the build failed (see $dir.log)"; return 1; }
  echo "$name: built in $((SECONDS - start)) s"
}

status=0
for b in "${BUILDS[@]}"; do
  runner=()
  case "$b" in
    gcc) build gcc -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ || { status=1; continue; } ;;
    clang) build clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ || { status=1; continue; } ;;
    gcc-v3)
      if ! grep -qw fma /proc/cpuinfo || ! grep -qw avx2 /proc/cpuinfo; then
        echo "gcc-v3: skipped, this processor cannot run x86-64-v3 code"
        continue
      fi
      build gcc-v3 -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
        -DCMAKE_CXX_FLAGS=-march=x86-64-v3 -DCMAKE_C_FLAGS=-march=x86-64-v3 || { status=1; continue; } ;;
    aarch64)
      # Static, so qemu needs no arm64 loader or libraries at run time.
      build aarch64 -DCMAKE_TOOLCHAIN_FILE="$PWD/build-cross/aarch64.cmake" \
        -DCMAKE_EXE_LINKER_FLAGS=-static -DPNG_LIBRARY=/usr/lib/aarch64-linux-gnu/libpng16.a \
        -DZLIB_LIBRARY=/usr/lib/aarch64-linux-gnu/libz.a || { status=1; continue; }
      runner=(qemu-aarch64) ;;
  esac
  start=$SECONDS
  if out=$("${runner[@]}" "build-cross/$b/tools/golden/velkaro-golden" --data "$DATA" tests/golden/daily); then
    echo "$b: $(tail -1 <<<"$out") in $((SECONDS - start)) s"
  else
    status=1
    echo "$b: $(tail -1 <<<"$out") in $((SECONDS - start)) s"
    grep DIFFERS <<<"$out" || true
  fi
done
if ((status == 0)); then echo "every build agrees on every golden race"; fi
exit $status
