#!/usr/bin/env bash
# Reused connections against new ones: starts velkaro-scores on a free loopback port (rate limit
# off, a fresh database) and runs Apache Bench on GET /scores.json, once with a new connection
# per request and once with keep-alive (ab -k), then once with more keep-alive clients than the
# service has worker threads. Prints one row per run: requests per second, the median and 99th
# percentile time, failed answers (wrong length among them) and non-2xx answers.
# Usage: bench/keepalive_bench.sh [BUILD_DIR] [REQUESTS] [CLIENTS] [MANY_CLIENTS]
# Needs ab (Debian's apache2-utils). Figures are noisy on a shared machine: compare the rows of
# one run with each other.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
requests=${2:-3000}
clients=${3:-16}
many=${4:-64}
service="$build/src/velkaro-scores"
[ -x "$service" ] || service=$(find "$build" -name velkaro-scores -type f -perm -u+x | head -n 1)
if [ ! -x "$service" ]; then
  echo "no velkaro-scores under $build: build the velkaro-scores target first" >&2
  exit 1
fi
command -v ab >/dev/null || { echo "ab not found: apt-get install apache2-utils" >&2; exit 1; }

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$service" --bind 127.0.0.1 --port 0 --rate 0 --db "$work/scores.db" >"$work/service.log" 2>&1 &
pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/service.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "velkaro-scores did not start" >&2; cat "$work/service.log" >&2; exit 1; }
url="http://127.0.0.1:$port/scores.json"

# One ab run as a row; ab's own exit code is ignored so that a failing run still prints.
row() {
  local label=$1
  shift
  ab -q -s 10 "$@" "$url" >"$work/ab.txt" 2>&1 || true
  awk -v label="$label" '
    /^Requests per second:/ { rps = $4 }
    /^Failed requests:/ { failed = $3 }
    /^ *\(Connect: / { sub(/.*Length: /, ""); sub(/,.*/, ""); length_bad = $0 }
    /^Non-2xx responses:/ { non2xx = $3 }
    /^Complete requests:/ { done = $3 }
    /^ *50% / { p50 = $2 }
    /^ *99% / { p99 = $2 }
    END {
      printf "%-28s %8s %10s %8s %8s %8s %8s %8s\n", label, done + 0, rps, p50, p99,
        failed + 0, length_bad + 0, non2xx + 0
    }' "$work/ab.txt"
}

printf "%-28s %8s %10s %8s %8s %8s %8s %8s\n" run answered "req/s" "p50 ms" "p99 ms" failed \
  "length" "non-2xx"
row "new connection, -c $clients" -n "$requests" -c "$clients"
row "keep-alive, -c $clients" -k -n "$requests" -c "$clients"
row "keep-alive, -c $many" -k -n "$requests" -c "$many"
