#!/usr/bin/env bash
# Starts the real game in a virtual X display and plays it as a player does, with the mouse
# and the keyboard: the logo, the first player typed in, the main menu, the car, a race, the
# quit menu back to the main menu, the daily race's preview and table, and the exit screen's
# "yes". The game reports each state it
# enters (VELKARO_TRACE_STATES=1: one line "state N" on stderr); the test waits for those
# states instead of sleeping, checks their sequence, that the race is heard, that the window
# is 800 x 600 and not blank, and that quitting writes both settings files. On the way it binds
# accelerate to W on the options' controls page and drives with W: the car's speed, which the
# game reports as the quit menu opens, shows that W drives and the Up arrow no longer does.
set -euo pipefail

# The state the game reported last.
last_state() {
  grep -x 'state [0-9]*' "$out/game.log" | tail -n 1 | cut -d' ' -f2
}

# Waits until the state the game reported last is $1, for at most $2 seconds.
wait_state() {
  local state=$1 seconds=$2 i
  for ((i = 0; i < seconds * 10; i++)); do
    [ "$(last_state)" = "$state" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the game did not report state $state within $seconds s; it reported:"
  grep -x 'state [0-9]*' "$out/game.log" | tr '\n' ' '
  echo
  return 1
}

# The game's window as it is now: SDL may replace the window it opened first when it sets up
# the renderer, so the one found at start is not kept.
game_window() {
  xdotool search --name '^Velkaro$' | tail -n 1
}

# Clicks at ($1, $2) in the window until the game reports state $3 (buttons that slide in
# take a few frames to reach their places), for at most $4 seconds.
click_until_state() {
  local x=$1 y=$2 state=$3 seconds=$4 i
  for ((i = 0; i < seconds * 5; i++)); do
    [ "$(last_state)" = "$state" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    xdotool mousemove --window "$(game_window)" "$x" "$y" click 1 2>/dev/null || true
    sleep 0.2
  done
  [ "$(last_state)" = "$state" ]
}

# The car's speed the game reported last (as the quit menu or the pause opened).
last_speed() {
  grep '^speed ' "$out/game.log" | tail -n 1 | cut -d' ' -f2
}

# The states reported so far, on one line.
states() {
  grep -x 'state [0-9]*' "$out/game.log" | cut -d' ' -f2 | tr '\n' ' ' | sed 's/ $//'
}

# Inside the virtual display: the steps that need the window.
if [ "${1:-}" = "--inner" ]; then
  game="$2"
  out="$3"
  # The settings files go to a folder of the test's own, never the user's.
  rm -rf "$out/config"
  VELKARO_TRACE_STATES=1 VELKARO_CONFIG_DIR="$out/config" "$game" > "$out/game.log" 2>&1 &
  pid=$!
  fail() { echo "$1"; cat "$out/game.log"; kill "$pid" 2>/dev/null; exit 1; }
  wid=$(timeout 20 xdotool search --sync --name '^Velkaro$' | head -n 1) || true
  [ -n "$wid" ] || fail "no window titled Velkaro appeared"
  geometry=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')
  echo "window $wid geometry $geometry"
  [ "$geometry" = "800x600" ] || fail "expected an 800x600 client area"
  wait_state 3 20 || fail "no logo"
  # Nobody has played yet: after the logo the game asks for a name, and typing works at once.
  wait_state 1 60 || fail "no first-player screen after the logo"
  xdotool type --delay 50 "Tess"
  import -window root "$out/first_player.png"
  xdotool key Return
  wait_state 4 10 || fail "Enter with a name did not reach the main menu"
  import -window root "$out/main_menu.png"
  # "OPTIONS" (552, 284, 200 x 28), then "CONTROLS" (532, 417, 88 x 28); the accelerate row
  # (172, 166, 456 x 26) waits for a key, and W it is. Escape goes back to the options, whose
  # "APPLY" (275, 417, 105 x 28) leads to the main menu.
  click_until_state 652 298 7 10 || fail "the options button did not open the options"
  click_until_state 576 431 31 10 || fail "the controls button did not open the controls page"
  xdotool mousemove --window "$(game_window)" 400 179 click 1
  sleep 0.5
  xdotool key w
  sleep 0.3
  import -window root "$out/controls.png"
  xdotool key Escape
  wait_state 7 10 || fail "Escape on the controls page did not return to the options"
  grep -qx 'accelerate = W' "$out/config/Controls.cfg" ||
    fail "the controls page did not keep accelerate = W in Controls.cfg"
  click_until_state 327 431 4 10 || fail "the apply button did not return to the main menu"
  # "START GAME" (552, 252, 200 x 28) leads to the car; its "RACE" button slides in to
  # (425, 443, 94 x 28).
  click_until_state 652 266 15 10 || fail "the start button did not open the car screen"
  click_until_state 472 457 12 10 || fail "the race button started no race"
  # From here on the sound output is the race's: its song and effects.
  stat -c %s "$out/sound.raw" > "$out/race_sound_offset"
  # The start lights take 300 frames (3.3 s at 90 frames a second); then the Up arrow, bound
  # to nothing now, must leave the car standing.
  sleep 4
  xdotool keydown Up
  sleep 1
  xdotool key Escape
  wait_state 0 10 || fail "Escape in the race opened no quit menu"
  xdotool keyup Up
  echo "speed with the Up arrow: $(last_speed)"
  awk -v s="$(last_speed)" 'BEGIN { exit !(s == 0) }' || fail "the unbound Up arrow moved the car"
  # Escape answers the quit menu's "no"; W drives.
  xdotool key Escape
  wait_state 12 10 || fail "Escape in the quit menu did not resume the race"
  xdotool keydown w
  sleep 1.5
  import -window root "$out/race.png"
  xdotool key Escape
  wait_state 0 10 || fail "Escape in the race opened no quit menu"
  xdotool keyup w
  echo "speed with W: $(last_speed)"
  awk -v s="$(last_speed)" 'BEGIN { exit !(s > 1) }' || fail "W, bound to accelerate, did not drive"
  # Enter answers "yes". (The buttons slide in along one line, "no" sweeping over the place
  # where "yes" ends, so a click while the page slides could answer "no": the keyboard answers.)
  xdotool key Return
  wait_state 4 10 || fail "Enter in the quit menu did not end the game"
  # Nothing so far went online: libcurl and the TLS libraries it brings are not loaded.
  early=$(grep -oE '/[^ ]*/lib(curl|ssl|crypto|gnutls)[.-][^ ]*' "/proc/$pid/maps" | sort -u || true)
  [ -z "$early" ] || fail "loaded before the game went online: $(echo $early)"
  # --- The daily race (its own block). "DAILY RACE" (552, 444, 200 x 28) opens the day's
  # preview; its "TABLE" (354, 443, 92 x 28) asks the service for the day's table; Escape goes
  # back to the preview, and from there to the main menu.
  click_until_state 652 458 28 10 || fail "the daily race button opened no preview"
  import -window root "$out/daily_preview.png"
  click_until_state 400 457 30 10 || fail "the preview's table button opened no table"
  # The preview asked for the leader's ghost and the table page for the table: online now.
  grep -q '/libcurl' "/proc/$pid/maps" || fail "the day's table was asked for without libcurl"
  xdotool key Escape
  wait_state 28 10 || fail "Escape on the day's table did not return to the preview"
  xdotool key Escape
  wait_state 4 10 || fail "Escape on the preview did not return to the main menu"
  # --- End of the daily race's block.
  # "EXIT" (552, 412, 200 x 28) asks; Enter there saves and quits.
  click_until_state 652 426 10 10 || fail "the exit button did not ask"
  rm -f "$out/config/Config.cfg" "$out/config/Configdat.cfg"
  xdotool key Return
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "Enter on the exit screen did not close the game"
  code=0
  wait "$pid" || code=$?
  echo "exit code $code"
  [ "$code" = 0 ] || fail "the game ended with code $code"
  echo "states: $(states)"
  # Logo, first player, main menu, options, controls, options, main menu, car, race, quit
  # menu, race (with any wrecks), quit menu, main menu; the daily race's preview, its table,
  # the preview, the main menu; exit.
  states | grep -Eqx '3 1 4 7 31 7 4 15 12 0 12( (27|12))* 0 4 28 30 28 4 10' ||
    fail "unexpected state sequence"
  for f in Config.cfg Configdat.cfg; do
    [ -s "$out/config/$f" ] || fail "quitting did not write $f"
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
for shot in first_player main_menu controls race; do
  colours=$(/usr/bin/convert "$out/$shot.png" -format %k info:)
  echo "$shot.png: $colours colours"
  [ "$colours" -gt 16 ] || { echo "$shot.png looks blank"; exit 1; }
done
echo "window test passed"
