#!/usr/bin/env bash
# Builds the Debian packages, checks them with lintian, installs both with apt-get on this
# machine, runs the installed game headless and the installed score service as its system user
# with the systemd unit's own command line, then purges both and checks that nothing of theirs
# is left but the player's settings. Needs root and a machine where the packages are not
# installed yet (it refuses otherwise). systemd need not be running: the unit is checked with
# systemd-analyze verify, not started.
# Usage: tests/package/package_test.sh [BUILD_DIR] [extra cmake arguments...]
# (BUILD_DIR as for scripts/package-deb.sh, default build-deb.)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-deb}
shift || true
case "$build" in /*) ;; *) build="$root/$build" ;; esac

work=$(mktemp -d)
installed=0
service_pid=""
cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
    if [ "$installed" = 1 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq velkaro velkaro-scores > /dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log"; tail -n 30 "$log"; }
    done
    exit 1
}
step() {
    echo "== $* ($(date -u +%T))"
}
export DEBIAN_FRONTEND=noninteractive

[ "$(id -u)" -eq 0 ] || fail "run as root: it installs and purges packages"
for pkg in velkaro velkaro-scores; do
    if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "installed"; then
        fail "$pkg is installed already; purge it first (apt-get purge $pkg)"
    fi
done

step "building the packages"
started=$SECONDS
bash scripts/package-deb.sh "$build" "$@" > "$work/package.log" 2>&1 || fail "packaging failed"
echo "packages built in $((SECONDS - started)) s"
version=$(sed -n 's/.*kVelkaroVersion = "\([^"]*\)".*/\1/p' src/common/Version.h)
arch=$(dpkg --print-architecture)
game_deb="$build/velkaro_${version}_${arch}.deb"
scores_deb="$build/velkaro-scores_${version}_${arch}.deb"
[ -f "$game_deb" ] || fail "no $(basename "$game_deb")"
[ -f "$scores_deb" ] || fail "no $(basename "$scores_deb")"

step "checking the packages' fields"
field() { dpkg-deb -f "$1" "$2"; }
[ "$(field "$game_deb" Package)" = velkaro ] || fail "the game package is not named velkaro"
[ "$(field "$scores_deb" Package)" = velkaro-scores ] || fail "the service package is misnamed"
# The library dependencies are read from the binaries (the game's SDL, the service's SQLite),
# but for libcurl, which the game loads when it goes online.
field "$game_deb" Depends | grep -q 'libsdl2-2.0-0' || fail "the game does not depend on SDL"
field "$game_deb" Depends | grep -q 'libc6' || fail "the game's library dependencies are missing"
# libcurl is loaded when the game goes online, so the package names it itself.
field "$game_deb" Depends | grep -q 'libcurl4 (>= ' || fail "the game does not depend on libcurl"
field "$scores_deb" Depends | grep -q 'libsqlite3-0' || fail "the service does not depend on SQLite"
field "$scores_deb" Depends | grep -q "velkaro (= $version)" ||
    fail "the service does not depend on the game of its own version"
if field "$scores_deb" Depends | grep -qi 'sdl'; then
    fail "the service depends on SDL itself"
fi
dpkg-deb -c "$game_deb" > "$work/game-contents.txt"
dpkg-deb -c "$scores_deb" > "$work/scores-contents.txt"
grep -q ' ./usr/share/velkaro/Data/data2.vil$' "$work/game-contents.txt" ||
    fail "the game package lacks its data"
if grep -q ' ./var/' "$work/scores-contents.txt"; then
    fail "the service package ships files under /var: its database is made when it runs"
fi

step "lintian"
# Warnings are shown, errors fail; lintian exits non-zero for errors or its own failure.
set +e
lintian --tag-display-limit 0 "$game_deb" "$scores_deb" > "$work/lintian.log" 2>&1
code=$?
set -e
grep -v '^running with root privileges' "$work/lintian.log" || true
grep -q '^E: ' "$work/lintian.log" && fail "lintian found errors"
[ "$code" -eq 0 ] || fail "lintian failed with code $code"

# Every path called velkaro before installing, to compare with what is left after purging.
velkaro_paths() {
    find /etc /usr /var /opt /srv -xdev -path /var/tmp -prune -o -iname '*velkaro*' -print \
        2>/dev/null | sort
}
velkaro_paths > "$work/before.txt"

step "installing with apt-get"
installed=1
apt-get install -y -qq "$game_deb" "$scores_deb" > "$work/apt-install.log" 2>&1 ||
    fail "apt-get install failed"
dpkg -L velkaro velkaro-scores | sort -u > "$work/files.txt"
for f in /usr/games/velkaro /usr/bin/velkaro-scores /usr/share/velkaro/Data/data2.vil \
    /usr/share/applications/net.velkaro.Velkaro.desktop \
    /usr/share/metainfo/net.velkaro.Velkaro.metainfo.xml \
    /usr/share/icons/hicolor/64x64/apps/velkaro.png /usr/lib/systemd/system/velkaro-scores.service \
    /usr/share/doc/velkaro/copyright /usr/share/doc/velkaro/changelog.gz \
    /usr/share/doc/velkaro-scores/copyright /usr/share/doc/velkaro-scores/changelog.gz \
    /usr/share/man/man6/velkaro.6.gz /usr/share/man/man1/velkaro-scores.1.gz; do
    grep -qx "$f" "$work/files.txt" || fail "$f is not in the packages' file lists"
    [ -s "$f" ] || fail "$f was not installed"
done
desktop-file-validate /usr/share/applications/net.velkaro.Velkaro.desktop ||
    fail "the installed desktop entry does not validate"
appstreamcli validate --no-net /usr/share/metainfo/net.velkaro.Velkaro.metainfo.xml \
    > "$work/appstream.log" 2>&1 || fail "the installed AppStream metadata does not validate"
for page in man6/velkaro.6.gz man1/velkaro-scores.1.gz; do
    if LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "/usr/share/man/$page" 2>&1 > /dev/null |
        grep .; then
        fail "the manual page $page has mistakes"
    fi
done

step "the service's system user and unit"
unit=/usr/lib/systemd/system/velkaro-scores.service
user=$(sed -n 's/^User=//p' "$unit")
[ "$user" = velkaro-scores ] || fail "the unit runs as '$user'"
entry=$(getent passwd "$user") || fail "postinst made no user $user"
uid=$(echo "$entry" | cut -d: -f3)
[ "$uid" -lt 1000 ] || fail "$user is not a system user (uid $uid)"
case "$(echo "$entry" | cut -d: -f7)" in
    */nologin | */false) ;;
    *) fail "$user can log in: $entry" ;;
esac
[ "$(stat -c %U /var/lib/velkaro-scores)" = "$user" ] ||
    fail "/var/lib/velkaro-scores does not belong to $user"
[ "$(stat -c %a /var/lib/velkaro-scores)" = 750 ] || fail "/var/lib/velkaro-scores is not 0750"
grep -qx 'StateDirectory=velkaro-scores' "$unit" || fail "the unit names no state folder"
if command -v systemd-analyze > /dev/null; then
    systemd-analyze verify "$unit" > "$work/verify.log" 2>&1 || fail "systemd-analyze verify failed"
fi

step "the installed game, headless"
/usr/games/velkaro --version | grep -qx "velkaro $version" || fail "--version is not $version"
config="$work/player-settings"
set +e
(cd "$work" && env -u VELKARO_CONFIG_DIR -u VELKARO_GAME_DIR SDL_VIDEODRIVER=dummy \
    SDL_AUDIODRIVER=dummy VELKARO_TRACE_STATES=1 timeout 4 /usr/games/velkaro --config-dir "$config") \
    > "$work/game.log" 2>&1
code=$?
set -e
[ "$code" -eq 124 ] || fail "the installed game stopped with code $code within 4 seconds"
grep -Eq '^state [0-9]+$' "$work/game.log" || fail "the installed game entered no state"
if grep -Eiq 'error|cannot|could not|missing|not found' "$work/game.log"; then
    fail "the installed game reported problems"
fi
[ -n "$(ls -A "$config" 2>/dev/null)" ] || fail "the game wrote no settings"

step "the installed score service, as the unit runs it"
# The unit's own command line on a free port, as the unit's user, with the unit's database.
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
read -r -a command <<< "$exec_start"
for ((i = 0; i < ${#command[@]}; i++)); do
    case "${command[i]}" in
        --port) command[i + 1]=0 ;;
        --data) data_dir=${command[i + 1]} ;;
    esac
done
[ -s "${data_dir:-}/Data/data2.vil" ] || fail "the unit's --data '${data_dir:-}' has no Data/data2.vil"
: > "$work/service.log"
(cd / && exec setpriv --reuid="$user" --regid="$user" --clear-groups -- "${command[@]}") > "$work/service.log" 2>&1 &
service_pid=$!
port=""
for _ in $(seq 100); do
    port=$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/service.log" || true)
    [ -n "$port" ] && break
    kill -0 "$service_pid" 2>/dev/null || fail "the service stopped at once"
    sleep 0.1
done
[ -n "$port" ] || fail "the service did not say where it listens"
url="http://127.0.0.1:$port"
curl -fsS "$url/scores.json" > "$work/scores.json" || fail "GET /scores.json failed"
grep -q '\[' "$work/scores.json" || fail "/scores.json is not a list: $(cat "$work/scores.json")"
curl -fsS "$url/cgi/version.pl?version&prg=Velkaro" > "$work/version.txt" ||
    fail "GET /cgi/version.pl?version failed"
[ -s "$work/version.txt" ] || fail "the version reply is empty"
# The pages' icon is the installed game's: --data leads the service to the game's files.
curl -fsS "$url/icon.png" -o "$work/icon.png" || fail "GET /icon.png failed"
cmp -s "$work/icon.png" /usr/share/icons/hicolor/64x64/apps/velkaro.png ||
    fail "the service's icon is not the installed game's"
grep -q 'no --data folder' "$work/service.log" && fail "the service runs without the game's data"
[ -s /var/lib/velkaro-scores/scores.db ] || fail "no database in /var/lib/velkaro-scores"
[ "$(stat -c %U /var/lib/velkaro-scores/scores.db)" = "$user" ] ||
    fail "the database does not belong to $user"
kill -TERM "$service_pid"
set +e
wait "$service_pid"
code=$?
set -e
service_pid=""
[ "$code" -eq 0 ] || fail "the service exited with $code on SIGTERM"

step "removing the service, then purging both"
# Removing keeps the scores; purging deletes them.
apt-get remove -y -qq velkaro-scores > "$work/apt-remove.log" 2>&1 || fail "apt-get remove failed"
[ ! -e /usr/bin/velkaro-scores ] || fail "the removed service's program is still there"
[ -s /var/lib/velkaro-scores/scores.db ] || fail "removing the service deleted its database"
apt-get purge -y -qq velkaro velkaro-scores > "$work/apt-purge.log" 2>&1 || fail "apt-get purge failed"
installed=0
for pkg in velkaro velkaro-scores; do
    if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q .; then
        fail "dpkg still knows $pkg after the purge"
    fi
done
# Every file and every folder of ours is gone; the folders shared with others may stay.
while read -r f; do
    [ -f "$f" ] || [ -L "$f" ] || continue
    fail "$f is left after the purge"
done < "$work/files.txt"
for d in /usr/share/velkaro /usr/share/doc/velkaro /usr/share/doc/velkaro-scores \
    /var/lib/velkaro-scores; do
    [ ! -e "$d" ] || fail "$d is left after the purge"
done
velkaro_paths > "$work/after.txt"
if ! diff "$work/before.txt" "$work/after.txt" > "$work/left.txt"; then
    fail "the purge left paths behind: $(grep '^>' "$work/left.txt" | tr '\n' ' ')"
fi
# The system user stays, as Debian leaves system users: files elsewhere may still be its.
getent passwd "$user" > /dev/null || echo "note: the purge removed the user $user"
# The player's settings are the player's: the purge leaves them alone.
[ -n "$(ls -A "$config" 2>/dev/null)" ] || fail "the player's settings went with the purge"
echo "package test passed in $((SECONDS - started)) s"
