#!/usr/bin/env bash
# The window as a desktop player uses it, in a virtual X display with a window manager:
# Alt+Enter makes the window the size of the screen and back; a window made bigger scales the
# picture (here by 2, with bars of 50 pixels), and a click where a button is drawn still hits
# it; the window's size is remembered for the next run.
set -euo pipefail

fail() {
  echo "FAIL: $*"
  [ -f "$out/game.log" ] && cat "$out/game.log"
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

geometry() {
  xdotool getwindowgeometry "$1" 2> /dev/null | awk '/Geometry/ {print $2}'
}

# Waits up to $2 seconds for the window's size to become $3. The window is looked up again
# each time: SDL may open and close a helper window of the same name while starting.
wait_geometry() {
  for _ in $(seq 1 $(($2 * 10))); do
    wid=$(xdotool search --name '^Velkaro$' 2> /dev/null | tail -n 1) || true
    [ -n "$wid" ] && [ "$(geometry "$wid")" = "$3" ] && return 0
    sleep 0.1
  done
  echo "window is $(geometry "$1"), expected $3"
  return 1
}

# The state the game reported last (VELKARO_TRACE_STATES=1: "state N" lines on stderr).
last_state() {
  grep -x 'state [0-9]*' "$out/game.log" | tail -n 1 | cut -d' ' -f2
}

# Waits up to $2 seconds for the game to report state $1.
wait_state() {
  for _ in $(seq 1 $(($2 * 10))); do
    [ "$(last_state)" = "$1" ] && return 0
    sleep 0.1
  done
  echo "the game is in state $(last_state), expected $1"
  return 1
}

start_game() {
  VELKARO_TRACE_STATES=1 VELKARO_CONFIG_DIR="$out/config" "$game" > "$out/game.log" 2>&1 &
  pid=$!
  wid=""
  for _ in $(seq 1 200); do
    wid=$(xdotool search --name '^Velkaro$' 2> /dev/null | tail -n 1) || true
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || fail "no window titled Velkaro appeared"
}

if [ "${1:-}" = "--inner" ]; then
  game="$2"
  out="$3"
  rm -rf "$out/config"
  openbox > "$out/openbox.log" 2>&1 &
  wm=$!
  sleep 1
  start_game
  wait_geometry "$wid" 10 800x600 || fail "the first window is not 800x600"
  # The logo (550 frames), then the first player's name, then the main menu.
  wait_state 1 20 || fail "no first-player screen"
  sleep 1
  xdotool type --delay 50 Ann
  xdotool key Return
  wait_state 4 10 || fail "no main menu"

  xdotool key alt+Return
  wait_geometry "$wid" 10 2048x1536 || fail "Alt+Enter did not fill the screen"
  xdotool key alt+Return
  wait_geometry "$wid" 10 800x600 || fail "Alt+Enter did not give the window back"
  xdotool key F11
  wait_geometry "$wid" 10 2048x1536 || fail "F11 did not fill the screen"
  xdotool key F11
  wait_geometry "$wid" 10 800x600 || fail "F11 did not give the window back"

  # Leaving full screen, SDL and the window manager each put the window back at 800 x 600,
  # the second time a moment after the first: a resize in between is undone. So the resize is
  # asked for again until it holds.
  grown=0
  for _ in 1 2 3; do
    sleep 1
    xdotool windowsize "$wid" 1700 1300
    if wait_geometry "$wid" 3 1700x1300; then
      sleep 0.5
      [ "$(geometry "$wid")" = 1700x1300 ] && grown=1 && break
    fi
  done
  [ $grown = 1 ] || fail "the window did not grow"
  sleep 1
  # "Exit" sits at (552, 412) in the picture; a point inside it, (572, 422), is drawn at
  # (50 + 2 * 572, 50 + 2 * 422). Where the picture was unscaled there is no button.
  xdotool mousemove --window "$wid" 572 422 click 1
  sleep 1
  [ "$(last_state)" = 4 ] || fail "a click outside every button changed the screen"
  xdotool mousemove --window "$wid" 1194 894 click 1
  wait_state 10 5 || fail "the click at the scaled Exit button missed it"
  sleep 1
  # The exit question takes Enter as yes: the game closes by itself.
  xdotool key Return
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "Enter on the exit question did not quit"
  wait "$pid" || fail "the game did not exit cleanly"
  pid=""
  read -r _ _ w h maximized < "$out/config/Window.cfg" || fail "no Window.cfg written"
  [ "$w $h $maximized" = "1700 1300 0" ] || fail "Window.cfg remembers $w x $h ($maximized)"

  # The next run opens at the remembered size.
  start_game
  wait_geometry "$wid" 10 1700x1300 || fail "the remembered size was not used"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  kill "$wm" 2>/dev/null || true
  echo "conveniences window test passed"
  exit 0
fi

game="$1"
out="${2:-$(mktemp -d)}"
mkdir -p "$out"
env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
  xvfb-run -a -s '-screen 0 2048x1536x24' "$0" --inner "$game" "$out"
