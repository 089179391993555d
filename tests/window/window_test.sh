#!/usr/bin/env bash
# Starts the real game in a virtual X display, checks that its 800 x 600 window titled
# "Velkaro" appears and shows something, drives it into a race with the keyboard, takes
# screenshots, and checks that it closes cleanly when asked to.
set -euo pipefail

# Inside the virtual display: the steps that need the window.
if [ "${1:-}" = "--inner" ]; then
  game="$2"
  out="$3"
  # The settings files go to a folder of the test's own, never the user's.
  rm -rf "$out/config"
  VELKARO_CONFIG_DIR="$out/config" "$game" > "$out/game.log" 2>&1 &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --name '^Velkaro$' | head -n 1) || true
  [ -n "$wid" ] || { echo "no window titled Velkaro appeared"; cat "$out/game.log"; kill "$pid"; exit 1; }
  geometry=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')
  echo "window $wid geometry $geometry"
  [ "$geometry" = "800x600" ] || { echo "expected an 800x600 client area"; kill "$pid"; exit 1; }
  sleep 3
  import -window root "$out/logo.png"
  # The logo lasts 550 frames; then the first menu screen takes Enter.
  sleep 4
  xdotool key Return
  sleep 5
  xdotool keydown Up
  sleep 2
  xdotool keyup Up
  import -window root "$out/race.png"
  kill -TERM "$pid"
  wait "$pid"
  echo "exit code $?"
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
# sound goes to a file, so the test can check that the game is heard.
rm -f "$out/sound.raw"
env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/sound.raw" \
  xvfb-run -a -s '-screen 0 1024x768x24' "$0" --inner "$game" "$out"

# The menu music and the race's effects and song must have reached the sound output.
audible=$(tr -d '\0' < "$out/sound.raw" | wc -c)
echo "sound.raw: $audible non-zero bytes"
[ "$audible" -gt 100000 ] || { echo "the game was silent"; exit 1; }

# The screenshots must not be blank: count the distinct colours.
for shot in logo race; do
  colours=$(/usr/bin/convert "$out/$shot.png" -format %k info:)
  echo "$shot.png: $colours colours"
  [ "$colours" -gt 16 ] || { echo "$shot.png looks blank"; exit 1; }
done
echo "window test passed"
