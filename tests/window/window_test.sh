#!/usr/bin/env bash
# Starts the real game in a virtual X display, checks that its 800 x 600 window titled
# "Velkaro" appears, follows the states the game reports (VELKARO_TRACE_STATES=1: one line
# "state N" per state entered, on stderr), drives it through the logo and the first menu into
# a race with the keyboard, checks that the race started and is still running after some
# driving, that the race is heard, takes screenshots, and checks that it closes when asked to.
set -euo pipefail

# Waits until the game has reported entering state $1, for at most $2 seconds.
wait_state() {
  local state=$1 seconds=$2 i
  for ((i = 0; i < seconds * 10; i++)); do
    grep -qx "state $state" "$out/game.log" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the game did not report state $state within $seconds s; it reported:"
  grep -x 'state [0-9]*' "$out/game.log" | tr '\n' ' '
  echo
  return 1
}

# The state the game reported last.
last_state() {
  grep -x 'state [0-9]*' "$out/game.log" | tail -n 1 | cut -d' ' -f2
}

# Inside the virtual display: the steps that need the window.
if [ "${1:-}" = "--inner" ]; then
  game="$2"
  out="$3"
  # The settings files go to a folder of the test's own, never the user's.
  rm -rf "$out/config"
  VELKARO_CONFIG_DIR="$out/config" VELKARO_TRACE_STATES=1 "$game" > "$out/game.log" 2>&1 &
  pid=$!
  fail() { echo "$1"; cat "$out/game.log"; kill "$pid" 2>/dev/null; exit 1; }
  wid=$(timeout 20 xdotool search --sync --name '^Velkaro$' | head -n 1) || true
  [ -n "$wid" ] || fail "no window titled Velkaro appeared"
  geometry=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')
  echo "window $wid geometry $geometry"
  [ "$geometry" = "800x600" ] || fail "expected an 800x600 client area"
  wait_state 3 20 || fail "no logo"
  sleep 2
  import -window root "$out/logo.png"
  # The logo lasts 550 frames; then the first menu screen takes Enter and starts a game.
  wait_state 1 60 || fail "no menu after the logo"
  xdotool key Return
  wait_state 12 30 || fail "Enter on the menu started no race"
  # From here on the sound output is the race's: its song and effects.
  stat -c %s "$out/sound.raw" > "$out/race_sound_offset"
  xdotool keydown Up
  sleep 4
  xdotool keyup Up
  import -window root "$out/race.png"
  state=$(last_state)
  case "$state" in
    12 | 27) echo "still racing (state $state)" ;;
    *) fail "the race ended early: state $state" ;;
  esac
  kill -TERM "$pid"
  code=0
  wait "$pid" || code=$?
  echo "exit code $code"
  # Closing the window keeps the settings and the progress.
  for f in Config.cfg Configdat.cfg; do
    [ -s "$out/config/$f" ] || { echo "closing the window did not write $f"; exit 1; }
  done
  exit 0
fi

game="$1"
out="${2:-$(mktemp -d)}"
mkdir -p "$out"
# A real window: the test command's headless video driver must not reach the game here. The
# sound goes to a file, so the test can check that the race is heard.
rm -f "$out/sound.raw" "$out/race_sound_offset"
env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/sound.raw" \
  xvfb-run -a -s '-screen 0 1024x768x24' "$0" --inner "$game" "$out"

# What was played after the race began must be more than silence: the menu music alone, which
# starts before, does not count.
offset=$(cat "$out/race_sound_offset")
audible=$(tail -c +"$((offset + 1))" "$out/sound.raw" | tr -d '\0' | wc -c)
echo "sound.raw: $audible non-zero bytes after the race began (at byte $offset)"
[ "$audible" -gt 100000 ] || { echo "the race was silent"; exit 1; }

# The screenshots must not be blank: count the distinct colours.
for shot in logo race; do
  colours=$(/usr/bin/convert "$out/$shot.png" -format %k info:)
  echo "$shot.png: $colours colours"
  [ "$colours" -gt 16 ] || { echo "$shot.png looks blank"; exit 1; }
done
echo "window test passed"
