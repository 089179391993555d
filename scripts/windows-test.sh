#!/usr/bin/env bash
# The Windows build tested under Wine, headless: cross-builds everything
# (scripts/windows-build.sh), runs the unit tests of the platform, engine, common, world and
# shell layers, replays the golden daily races, starts the game in a virtual X display and
# drives it to the main menu and out again (reading its state trace), checks that it wrote its
# settings into the Wine prefix's application-data folder, and checks the zip's DLLs. Prints how
# long the cross-build and the Wine runs took. Not part of CI (scripts/test.sh): the first run
# builds the libraries from source, which takes a quarter of an hour on two cores.
# Usage: scripts/windows-test.sh [BUILD_DIR]   (default build-win)
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=$(realpath -m "${1:-build-win}")
GAME_BUILD=$BUILD_DIR/game-build
GAME=$GAME_BUILD/game
OUT=$BUILD_DIR/test-run
TRIPLE=x86_64-w64-mingw32

start=$SECONDS
bash scripts/windows-build.sh "$BUILD_DIR"
build_time=$((SECONDS - start))

# Wine, headless, in a prefix of the build's own; the program finds the DLLs through WINEPATH.
export WINEPREFIX=$BUILD_DIR/wine WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko
export WINEPATH="$BUILD_DIR/deps/prefix/bin;/usr/lib/gcc/$TRIPLE/12-posix;/usr/$TRIPLE/lib"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
WINE=$(command -v wine64 || command -v wine)
rm -rf "$OUT"
mkdir -p "$OUT"
wine_start=$SECONDS
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init >"$OUT/wineboot.log" 2>&1
  wineserver --wait
fi
status=0
fail() {
  echo "FAILED: $*"
  status=1
}

# --- the unit tests ---------------------------------------------------------------------------
echo "== unit tests under Wine"
echo "Left out on Windows (tests/CMakeLists.txt, VELKARO_LINUX_ONLY_TESTS), with the reasons:"
sed -n '/^set(VELKARO_LINUX_ONLY_TESTS/,/)$/p' tests/CMakeLists.txt | sed '1d;s/^/  /'
# Single tests of Linux's own inside files that otherwise run on Windows.
LINUX_ONLY_FILTER=$(awk '!/^[[:space:]]*(#|$)/ {print $1}' tests/windows-linux-only.txt |
  paste -sd: -)
echo "Single tests left out (tests/windows-linux-only.txt):"
awk '!/^[[:space:]]*(#|$)/' tests/windows-linux-only.txt | sed 's/^/  /'
[ -n "$LINUX_ONLY_FILTER" ] || echo "  (none)"
total_passed=0 total_failed=0
for suite in platform engine common world shell; do
  exe=$GAME_BUILD/tests/velkaro_${suite}_tests.exe
  [ -f "$exe" ] || { fail "no $exe"; continue; }
  log=$OUT/$suite.log
  t=$SECONDS
  set +e
  (cd "$GAME_BUILD/tests" && VELKARO_GAME_DIR="$GAME" VELKARO_SOURCE_DIR="$ROOT" \
    timeout 1800 "$WINE" "$exe" --gtest_filter="*:-${LINUX_ONLY_FILTER}" --gtest_brief=1 \
    >"$log" 2>&1)
  rc=$?
  set -e
  passed=$(grep -oE '\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
  failed=$(grep -cE '^\[  FAILED  \] [A-Za-z_0-9]+\.' "$log" || true)
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  echo "$suite: $passed passed, $failed failed ($((SECONDS - t)) s)"
  grep -E '^\[  FAILED  \] [A-Za-z_0-9]+\.' "$log" | sed 's/^/  /' || true
  ((rc == 0)) || fail "the $suite tests (exit $rc; see $log)"
done

# --- the golden daily races: the same race on every build -------------------------------------
echo "== golden daily races under Wine"
if out=$("$WINE" "$GAME_BUILD/tools/golden/velkaro-golden.exe" --data "$GAME" tests/golden/daily 2>&1); then
  echo "$out" | tail -n 3
else
  echo "$out" | tail -n 20
  fail "the golden races do not replay the same under Wine"
fi

# --- the game itself, in a virtual X display --------------------------------------------------
echo "== the game under Wine and Xvfb"
unset SDL_VIDEODRIVER SDL_AUDIODRIVER
# Wine's desktop process from the headless runs has no display: a fresh Wine session gets one.
wineserver --kill 2>/dev/null || true
wineserver --wait 2>/dev/null || true
APPDATA_DIR=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/Velkaro
rm -rf "$APPDATA_DIR"
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || { kill "$xvfb_pid"; echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$display
(cd "$GAME" && VELKARO_TRACE_STATES=1 exec "$WINE" ./velkaro.exe) >"$OUT/game.log" 2>&1 &
game_pid=$!
cleanup() {
  kill "$game_pid" 2>/dev/null || true
  wineserver --kill 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# The states the game reported, one a line (its stderr is in Windows' text mode: CR LF).
states() { tr -d '\r' <"$OUT/game.log" | grep -x 'state [0-9]*' | cut -d' ' -f2 || true; }
last_state() { states | tail -n 1; }
wait_state() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    [ "$(last_state)" = "$1" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
game_window() { xdotool search --name '^Velkaro$' 2>/dev/null | tail -n 1; }
click_until_state() {
  local i
  for ((i = 0; i < $4 * 5; i++)); do
    [ "$(last_state)" = "$3" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || break
    xdotool mousemove --window "$(game_window)" "$1" "$2" click 1 2>/dev/null || true
    sleep 0.2
  done
  [ "$(last_state)" = "$3" ]
}
game_start=$SECONDS
if ! wait_state 1 90; then
  fail "the game did not reach the first player's screen (states: $(states | tr '\n' ' '))"
else
  # The first player's name, typed in the window as a player does.
  xdotool mousemove --window "$(game_window)" 400 300 click 1
  sleep 0.5
  xdotool type --delay 80 "Wine"
  xdotool key Return
  if wait_state 4 20; then
    echo "the main menu after $((SECONDS - game_start)) s"
    xdotool getwindowgeometry "$(game_window)" | sed -n 's/^ *Geometry: /window: /p'
    import -window root "$OUT/main-menu.png" 2>/dev/null || true
    click_until_state 652 426 10 10 || fail "the exit button did not ask"
    xdotool key Return
    for ((i = 0; i < 200; i++)); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end after the exit screen's yes"
  else
    fail "Enter with a name did not reach the main menu"
  fi
fi
echo "states: $(states | tr '\n' ' ')"
states | tr '\n' ' ' | grep -Eq '^3 1 4 10 $' || fail "unexpected state sequence"
grep -m1 '^velkaro: renderer' "$OUT/game.log" || true
for f in Config.cfg Configdat.cfg Window.cfg; do
  if [ -s "$APPDATA_DIR/$f" ]; then
    echo "wrote $(winepath -w "$APPDATA_DIR/$f" 2>/dev/null || echo "$APPDATA_DIR/$f")"
  else
    fail "no $f in $APPDATA_DIR"
  fi
done
cleanup
trap - EXIT

# --- the zip ---------------------------------------------------------------------------------
echo "== the zip"
python3 scripts/windows-package.py --check "$BUILD_DIR"/dist/velkaro-*-windows-x64.zip || status=1

echo "== times: cross-build $build_time s (libraries, game and tests), Wine runs $((SECONDS - wine_start)) s"
echo "unit tests: $total_passed passed, $total_failed failed"
exit $status
