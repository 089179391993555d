#!/usr/bin/env bash
# The race's difficulty in one table: velkaro-sim drives SEEDS races per level (seeds 1..SEEDS)
# with the autopilot and DAYS consecutive daily races, on every core, and the table says per
# level how many races the autopilot finished, the share of opponents that crossed the line
# before the clock would have run out, the wall hits per opponent and per autopilot race, and
# the median share of the clock used by the autopilot's finishes and by the opponents' (the
# median of each race's median crossing). Run it before and after any change to the race.
#
# usage: bench/difficulty_report.sh [--build DIR] [--seeds N] [--levels "1 2 ..."]
#                                   [--frames F] [--days N] [--from YYYY-MM-DD]
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build-release
SEEDS=20
LEVELS="1 2 3 4 5 6 7 8 9 10"
FRAMES=40000
DAYS=30
FROM=2026-12-01
while (($#)); do
  case "$1" in
    --build) BUILD=$2 ;;
    --seeds) SEEDS=$2 ;;
    --levels) LEVELS=$2 ;;
    --frames) FRAMES=$2 ;;
    --days) DAYS=$2 ;;
    --from) FROM=$2 ;;
    *) echo "usage: $0 [--build DIR] [--seeds N] [--levels \"1 2 ...\"] [--frames F] [--days N] [--from YYYY-MM-DD]" >&2
       exit 2 ;;
  esac
  shift 2
done

SIM="$BUILD/bench/velkaro-sim"
[ -x "$SIM" ] || { echo "no $SIM: build the benchmarks first (scripts/setup.sh $BUILD)" >&2; exit 2; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
{
  for level in $LEVELS; do
    for seed in $(seq 1 "$SEEDS"); do echo "--level $level --seed $seed"; done
  done
  for d in $(seq 0 $((DAYS - 1))); do echo "--daily $(date -u -d "$FROM + $d day" +%F)"; done
} | xargs -P "$(nproc)" -I{} sh -c "\"$SIM\" {} --frames $FRAMES >> \"$out/\$\$.txt\""
cat "$out"/*.txt > "$out/all"

# One row per level (the daily races in a row of their own): key=value fields of velkaro-sim.
awk -v seeds="$SEEDS" -v days="$DAYS" '
function field(name,   i, kv) {
  for (i = 1; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) return kv[2] }
  return ""
}
function median(list, n,   i, j, t) {
  if (n == 0) return -1
  for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (list[j] < list[i]) { t = list[i]; list[i] = list[j]; list[j] = t }
  return list[int((n + 1) / 2)]
}
{
  row = field("daily") != "" ? "daily" : field("level")
  if (field("clock_frames") == "") next
  key = row
  races[key]++
  if (field("finished") == "yes") {
    fin[key]++
    used[key, ++nused[key]] = field("finish_frame") / field("clock_frames")
  }
  opp[key] += field("opponents")
  oppfin[key] += field("opponents_finished")
  opphits[key] += field("opponent_wall_hits")
  phits[key] += field("player_wall_hits")
  if (field("opponent_median_frames") > 0)
    oused[key, ++noused[key]] = field("opponent_median_frames") / field("clock_frames")
  if (field("end_state") == 24) timeup[key]++
  if (field("end_state") == 13) wreck[key]++
}
END {
  printf "%-6s %-10s %-20s %-14s %-13s %-15s %-15s %s\n", "level", "autopilot", "opponents in time", "hits/opponent", "hits/race", "clock used (ap)", "clock used (op)", "not finished: time up / wrecked"
  for (k = 1; k <= 11; ++k) {
    key = k <= 10 ? k : "daily"
    if (!(key in races)) continue
    for (i = 1; i <= nused[key]; ++i) a[i] = used[key, i]
    ma = median(a, nused[key])
    for (i = 1; i <= noused[key]; ++i) b[i] = oused[key, i]
    mb = median(b, noused[key])
    printf "%-6s %-10s %-20s %-14.1f %-13.1f %-15s %-15s %d / %d\n", key == "daily" ? "daily" : key,
      sprintf("%d/%d", fin[key], races[key]),
      sprintf("%d/%d = %.0f %%", oppfin[key], opp[key], opp[key] ? 100 * oppfin[key] / opp[key] : 0),
      opp[key] ? opphits[key] / opp[key] : 0, phits[key] / races[key],
      ma < 0 ? "-" : sprintf("%.0f %%", 100 * ma), mb < 0 ? "-" : sprintf("%.0f %%", 100 * mb),
      timeup[key], wreck[key]
  }
}' "$out/all"
