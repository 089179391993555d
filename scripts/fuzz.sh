#!/usr/bin/env bash
# Runs the libFuzzer targets one after another (never in parallel: the machine is shared).
#   scripts/fuzz.sh [--build-dir DIR] [--seconds N] [--runs N] [TARGET...]
# Defaults: build-fuzz, 60 seconds a target, every target. --runs stops a target after that
# many executions if it comes first. Configures and builds DIR with clang when it is missing.
# Exits non-zero when a target finds a crash; the input is kept as DIR/fuzz/crash-TARGET-*.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build-fuzz
SECONDS_EACH=60
RUNS=-1
targets=()
while (($#)); do
  case "$1" in
    --build-dir) BUILD_DIR=$2; shift 2 ;;
    --seconds) SECONDS_EACH=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DVELKARO_FUZZ=ON -DVELKARO_TESTS=OFF -DVELKARO_BENCH=OFF >/dev/null
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target fuzz_targets
fi
if ((${#targets[@]} == 0)); then
  for f in "$BUILD_DIR"/fuzz/*.args; do targets+=("$(basename "$f" .args)"); done
fi

# Leaks count as findings; a sanitizer report ends the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  bin=$BUILD_DIR/tests/fuzz/fuzz_$t
  [ -x "$bin" ] && [ -f "$BUILD_DIR/fuzz/$t.args" ] || { echo "fuzz.sh: no target $t" >&2; exit 2; }
  mapfile -t args <"$BUILD_DIR/fuzz/$t.args"
  mkdir -p "$BUILD_DIR/fuzz/corpus/$t"
  echo "== fuzz_$t: ${SECONDS_EACH}s =="
  log=$BUILD_DIR/fuzz/$t.log
  if "$bin" -max_total_time="$SECONDS_EACH" -runs="$RUNS" "${args[@]}" >"$log" 2>&1; then
    grep -E 'DONE|stat::number_of_executed_units' "$log" || tail -3 "$log"
  else
    status=1
    echo "fuzz_$t FAILED:"
    grep -E 'ERROR|SUMMARY|Test unit written|==[0-9]+==' "$log" | head -20 || tail -30 "$log"
  fi
done
exit $status
