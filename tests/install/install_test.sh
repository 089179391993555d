#!/usr/bin/env bash
# Installs the game from a build folder into a fresh prefix, checks the files a desktop needs
# (program, data, desktop entry, icons, AppStream metadata) and validates the entry and the
# metadata, checks that the score service's systemd unit names the installed paths, then runs
# the installed game headless for a few seconds from another folder with a fresh settings
# folder: it must find its data beside its prefix, keep running, and write its settings there.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

fail() {
  echo "FAIL: $*"
  [ -f "$work/game.log" ] && cat "$work/game.log"
  exit 1
}

cmake --install "$build" --prefix "$prefix" > "$work/install.log" || {
  cat "$work/install.log"
  fail "cmake --install failed"
}

for f in bin/velkaro share/velkaro/Data/data1.vil share/velkaro/Data/data2.vil \
  share/velkaro/Sounds/1.xm share/velkaro/Sounds/2.xm share/velkaro/Sounds/3.xm \
  share/applications/net.velkaro.Velkaro.desktop share/metainfo/net.velkaro.Velkaro.metainfo.xml; do
  [ -s "$prefix/$f" ] || fail "$f was not installed"
done
[ -x "$prefix/bin/velkaro" ] || fail "bin/velkaro is not executable"
ls "$prefix"/share/velkaro/Sounds/*.wav > /dev/null || fail "no sound effects installed"

# Every icon is a PNG of its folder's size.
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/velkaro.png"
  [ -s "$icon" ] || fail "no ${size}x${size} icon"
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
    fail "the ${size}x${size} icon is not a PNG file"
  width=$((16#$(od -An -tx1 -j16 -N4 "$icon" | tr -d ' \n')))
  height=$((16#$(od -An -tx1 -j20 -N4 "$icon" | tr -d ' \n')))
  [ "$width $height" = "$size $size" ] || fail "the ${size}x${size} icon is ${width}x${height}"
done

desktop-file-validate "$prefix/share/applications/net.velkaro.Velkaro.desktop" ||
  fail "the desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/net.velkaro.Velkaro.metainfo.xml" ||
  fail "the AppStream metadata does not validate"

# The score service and its systemd unit, which names the program and the game's data where
# this install put them.
[ -x "$prefix/bin/velkaro-scores" ] || fail "bin/velkaro-scores was not installed"
unit="$prefix/lib/systemd/system/velkaro-scores.service"
[ -s "$unit" ] || fail "the score service's systemd unit was not installed"
grep -qx "ExecStart=$prefix/bin/velkaro-scores .* --data $prefix/share/velkaro" "$unit" ||
  fail "the unit does not run the installed service with the installed data: $(grep '^ExecStart=' "$unit")"
for f in share/man/man6/velkaro.6.gz share/man/man1/velkaro-scores.1.gz \
  share/doc/velkaro/copyright share/doc/velkaro-scores/copyright; do
  [ -s "$prefix/$f" ] || fail "$f was not installed"
done

# The command line of the installed program.
"$prefix/bin/velkaro" --version | grep -q '^velkaro ' || fail "--version says nothing"
"$prefix/bin/velkaro" --help | grep -q -- '--config-dir' || fail "--help lacks the options"
set +e
"$prefix/bin/velkaro" --no-such-option > /dev/null 2>&1
code=$?
set -e
[ "$code" -eq 2 ] || fail "an unknown option exited with $code, not 2"

# A few seconds of the installed game, run from elsewhere, with a settings folder that does
# not exist yet. It must still be running when the time is up (timeout's 124), and complain
# about nothing.
cd "$work"
config="$work/fresh-config"
set +e
env -u VELKARO_CONFIG_DIR -u VELKARO_GAME_DIR SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  timeout 4 "$prefix/bin/velkaro" --config-dir "$config" > "$work/game.log" 2>&1
code=$?
set -e
[ "$code" -eq 124 ] || fail "the installed game stopped with code $code within 4 seconds"
[ -d "$config" ] || fail "the settings folder was not made"
if grep -Eiq 'error|cannot|could not|missing|not found' "$work/game.log"; then
  fail "the installed game reported problems"
fi

# Without its data folder the same program must say so rather than run blind.
mv "$prefix/share/velkaro" "$prefix/share/velkaro-away"
set +e
env -u VELKARO_CONFIG_DIR SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  timeout 4 "$prefix/bin/velkaro" --config-dir "$config" > "$work/nodata.log" 2>&1
code=$?
set -e
[ "$code" -ne 124 ] || grep -Eiq 'cannot be loaded|error loading' "$work/nodata.log" ||
  fail "the game ran without its data and said nothing"
echo "install test passed"
