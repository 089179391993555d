#!/usr/bin/env bash
# Measures the game like a player runs it: in a real window under Xvfb, through the logo, the
# name page, the main menu and a 20-second race, once on a quiet machine and once beside two
# busy processes the script starts and stops itself. Beside each run it measures bare_window, a
# bare SDL program opening the same window and renderer, in the same conditions, and prints a
# table:
# resident memory (at the end of the menu and 20 s into the race), CPU (core-seconds per
# second) per phase, ticks per second and the gap between presents (from the game's --stats),
# the time from exec to the first presented frame and to every menu picture decoded (the game
# decodes most of them behind the logo), and how often a window was mapped.
# Usage: bench/window_bench.sh [BUILD_DIR] [RACE_SECONDS]
# Needs xvfb-run, xdotool and xev (x11-utils). Figures are noisy on a shared machine: read
# them as ratios to the bare window of the same run.
set -euo pipefail

if [ "${1:-}" = "--inner" ]; then
  shift
  build=$1 out=$2 race_seconds=$3 mode=$4
  game="$build/game/velkaro"
  bare="$build/bench/bare_window"
  tck=$(getconf CLK_TCK)

  cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
  rss_mb() { awk '/^VmRSS/ {printf "%.0f", $2 / 1024}' "/proc/$1/status" 2>/dev/null || echo 0; }
  now_s() { date +%s.%N; }
  # Core-seconds per second between two (ticks, time) samples.
  rate() { awk -v c0="$1" -v c1="$2" -v t0="$3" -v t1="$4" -v hz="$tck" \
    'BEGIN {printf "%.2f", (c1 - c0) / hz / (t1 - t0)}'; }
  has_state() { grep -qx "state $1" "$out/game.$mode.log"; }
  wait_state() {
    local i
    for ((i = 0; i < $2 * 10; i++)); do
      has_state "$1" && return 0
      kill -0 "$pid" 2>/dev/null || return 1
      sleep 0.1
    done
    return 1
  }

  last_state() { grep -ax 'state [0-9]*' "$out/game.$mode.log" | tail -n 1 | cut -d' ' -f2; }
  click_at() {
    xdotool mousemove --window "$(xdotool search --name '^Velkaro$' | tail -n 1)" "$1" "$2" \
      click 1 2>/dev/null || true
  }
  # Clicks until the game reports the state (buttons slide in over a few frames).
  click_until_state() {
    local i
    for ((i = 0; i < $4 * 5; i++)); do
      [ "$(last_state)" = "$3" ] && return 0
      kill -0 "$pid" 2>/dev/null || return 1
      click_at "$1" "$2"
      sleep 0.2
    done
    [ "$(last_state)" = "$3" ]
  }

  busy=()
  if [ "$mode" = busy ]; then
    for _ in 1 2; do
      sh -c 'while :; do :; done' &
      busy+=($!)
    done
  fi
  stop_busy() { for b in "${busy[@]}"; do kill "$b" 2>/dev/null || true; done; }
  trap stop_busy EXIT

  # The game, first: which renderer it picked decides the baseline's.
  xev -root -event substructure > "$out/xev.$mode.log" 2>/dev/null &
  xev_pid=$!
  sleep 0.3
  config=$(mktemp -d)
  stats_arg=()
  grep -aq -- '--stats' "$game" && stats_arg=(--stats)
  VELKARO_TRACE_STATES=1 "$game" --config-dir "$config" "${stats_arg[@]}" \
    > "$out/game.$mode.log" 2>&1 &
  pid=$!
  t_start=$(now_s)
  c_start=$(cpu_ticks "$pid")
  traced=1
  # Logo: until the first menu (the trace says when; without it, the logo's 550 frames). A
  # fresh config folder means nobody has played: the first page asks for a name, and Enter
  # with one leads to the main menu, which is the menu measured.
  if wait_state 3 20; then
    wait_state 1 40 || true
  else
    traced=0
    sleep 6.5
  fi
  # Keys sent before the window takes the focus are lost: try again until the menu comes.
  for _ in 1 2 3; do
    sleep 0.3
    xdotool type --delay 30 "Bench" 2>/dev/null || true
    xdotool key Return 2>/dev/null || true
    if [ $traced = 1 ]; then wait_state 4 3 && break; else sleep 1 && break; fi
  done
  t_menu=$(now_s)
  c_menu=$(cpu_ticks "$pid")
  sleep 5
  t_menu_end=$(now_s)
  c_menu_end=$(cpu_ticks "$pid")
  rss_menu=$(rss_mb "$pid")
  # "START GAME" opens the car page; its "RACE" button slides in and starts the race.
  if [ $traced = 1 ]; then
    click_until_state 652 266 15 10 || true
    click_until_state 472 457 12 10 || true
  else
    click_at 652 266
    sleep 1
    click_at 472 457
    sleep 1
  fi
  xdotool search --name '^Velkaro$' keydown Up 2>/dev/null || true
  t_race=$(now_s)
  c_race=$(cpu_ticks "$pid")
  sleep "$race_seconds"
  t_race_end=$(now_s)
  c_race_end=$(cpu_ticks "$pid")
  rss_race=$(rss_mb "$pid")
  xdotool search --name '^Velkaro$' keyup Up 2>/dev/null || true
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sleep 0.3
  kill "$xev_pid" 2>/dev/null || true
  maps=$(grep -c '^MapNotify' "$out/xev.$mode.log" || true)
  rm -rf "$config"

  stat_of() { awk -v key="$1" '$1 == "stats" && $2 == key {print $3; exit}' "$out/game.$mode.log"; }
  phase_of() { # state, field name -> value following the field name
    awk -v s="$1" -v f="$2" '$1 == "stats" && $2 == "state" && $3 == s {
      for (i = 4; i < NF; i++) if ($i == f) {print $(i + 1); exit}}' "$out/game.$mode.log"
  }
  renderer=$(stat_of renderer)
  [ -n "$renderer" ] || renderer=opengl

  # The baseline, same window and renderer, same conditions.
  "$bare" --renderer "$renderer" --seconds 6 > "$out/bare.$mode.log" 2>&1 &
  bpid=$!
  sleep 1
  bt0=$(now_s)
  bc0=$(cpu_ticks "$bpid")
  sleep 4
  bt1=$(now_s)
  bc1=$(cpu_ticks "$bpid")
  brss=$(rss_mb "$bpid")
  wait "$bpid" || true
  bare_tps=$(awk '$2 == "ticks_per_second" {print $3}' "$out/bare.$mode.log")
  bare_gap=$(awk '$2 == "present_gap_ms" {print $4 "/" $6 "/" $8}' "$out/bare.$mode.log")

  {
    echo "mode $mode"
    echo "renderer $renderer"
    echo "traced $traced"
    echo "rss_menu $rss_menu"
    echo "rss_race $rss_race"
    echo "rss_bare $brss"
    echo "cpu_logo $(rate "$c_start" "$c_menu" "$t_start" "$t_menu")"
    echo "cpu_menu $(rate "$c_menu" "$c_menu_end" "$t_menu" "$t_menu_end")"
    echo "cpu_race $(rate "$c_race" "$c_race_end" "$t_race" "$t_race_end")"
    echo "cpu_bare $(rate "$bc0" "$bc1" "$bt0" "$bt1")"
    echo "tps_menu $(phase_of 4 ticks_per_second)"
    echo "tps_race $(phase_of 12 ticks_per_second)"
    echo "tps_bare $bare_tps"
    echo "gap_menu $(phase_of 4 median)/$(phase_of 4 p99)/$(phase_of 4 max)"
    echo "gap_race $(phase_of 12 median)/$(phase_of 12 p99)/$(phase_of 12 max)"
    echo "gap_bare $bare_gap"
    echo "first_present_ms $(stat_of first_present_ms)"
    echo "pictures_ready_ms $(stat_of pictures_ready_ms)"
    echo "peak_rss_mb $(stat_of peak_rss_mb)"
    echo "maps $maps"
  } > "$out/figures.$mode"
  exit 0
fi

build=$(realpath "${1:-build}")
race_seconds=${2:-20}
out=$(mktemp -d)
for tool in xvfb-run xdotool xev; do
  command -v "$tool" > /dev/null || { echo "window_bench: needs $tool"; exit 2; }
done
[ -x "$build/game/velkaro" ] && [ -x "$build/bench/bare_window" ] || {
  echo "window_bench: build the velkaro and bare_window targets in $build first"
  exit 2
}
for mode in quiet busy; do
  env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s '-screen 0 1024x768x24' "$0" --inner "$build" "$out" "$race_seconds" "$mode"
done

val() { awk -v k="$2" '$1 == k {print ($2 == "" ? "-" : $2)}' "$out/figures.$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b + 0 > 0 && a != "-") printf "%.1fx", a / b; else print "-"}'; }
diff_mb() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%+d MB", a - b}'; }
printf '%-34s %-22s %-22s\n' "Figure" "quiet: game (bare)" "2 busy: game (bare)"
row() { # label, game key, bare key, kind (ratio|diff|plain)
  local q b
  q="$(val quiet "$2")"
  b="$(val busy "$2")"
  if [ -n "$3" ]; then
    local qb bb
    qb="$(val quiet "$3")"
    bb="$(val busy "$3")"
    case "$4" in
      ratio) q="$q ($qb, $(ratio "$q" "$qb"))" b="$b ($bb, $(ratio "$b" "$bb"))" ;;
      diff) q="$q ($qb, $(diff_mb "$q" "$qb"))" b="$b ($bb, $(diff_mb "$b" "$bb"))" ;;
      *) q="$q ($qb)" b="$b ($bb)" ;;
    esac
  fi
  printf '%-34s %-22s %-22s\n' "$1" "$q" "$b"
}
row "renderer" renderer "" plain
row "RSS end of menu, MB" rss_menu rss_bare diff
row "RSS 20 s into race, MB" rss_race rss_bare diff
row "CPU logo, core-s/s" cpu_logo cpu_bare ratio
row "CPU menu, core-s/s" cpu_menu cpu_bare ratio
row "CPU race, core-s/s" cpu_race cpu_bare ratio
row "ticks/s menu" tps_menu tps_bare plain
row "ticks/s race" tps_race tps_bare plain
row "present gap menu med/p99/max ms" gap_menu gap_bare plain
row "present gap race med/p99/max ms" gap_race gap_bare plain
row "exec to first present, ms" first_present_ms "" plain
row "exec to all pictures ready, ms" pictures_ready_ms "" plain
row "peak RSS (game), MB" peak_rss_mb "" plain
row "windows mapped (game run)" maps "" plain
echo "(logs in $out; state trace used: quiet $(val quiet traced), busy $(val busy traced))"
