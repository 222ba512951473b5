#!/usr/bin/env bash
# "seed" adds a player's logs, settings and saved game to data/ (listed in SNAPSHOT.seeds) and checksums it;
# "check" fails when a test changed data/. Concurrent runs share the seeds (SNAPSHOT.users): the last takes them away.
#   DataUntouched.sh seed|check DATA SNAPSHOT SAVED_GAME
set -euo pipefail
action=$1 data=$2 snapshot=$3
listing() { (cd "$data" && find . ! -type d -print0 | sort -z | xargs -0 sha256sum); }
unseed() {
    [ ! -f "$snapshot.seeds" ] || tac "$snapshot.seeds" | while IFS= read -r seed; do
        rm -f "$data/$seed" 2>/dev/null || rmdir "$data/$seed"
    done
    rm -f "$snapshot.seeds"
}
seed() { # name, then the command that writes it
    [ ! -e "$data/$1" ] || return 0
    [ -d "$data/$(dirname "$1")" ] || { mkdir "$data/$(dirname "$1")" && dirname "$1" >>"$snapshot.seeds"; }
    "${@:2}" >"$data/$1"
    echo "$1" >>"$snapshot.seeds"
}
users="$snapshot.users"
exec 9>"$snapshot.lock" && flock 9 # one seed or check at a time
others() { [ ! -f "$users" ] || while read -r user; do [ "$user" = "$PPID" ] || ! kill -0 "$user" 2>/dev/null || echo "$user"; done <"$users"; }
running="$(others)"
if [ "$action" = seed ]; then
    if [ -z "$running" ]; then
        unseed
        seed log_error.txt echo "network: a line of the player's last game"
        seed log_info.txt echo "level: TestLevel"
        seed gfxconfig.ini printf 'fullscreen=1\ndebuginfo=1\nlevel=Islands\nsound=1\n'
        seed saves/2000-01-01_00-00-00.log cat "$4"
        listing >"$snapshot"
    fi
    printf '%s\n' $running $PPID >"$users"
    exit 0
fi
status=0
listing | diff "$snapshot" - >&2 || { echo "FAIL: the tests changed data/ (above: < before, > after)" >&2; status=1; }
if [ -n "$running" ]; then
    printf '%s\n' $running >"$users"
else
    rm -f "$users"
    unseed
fi
exit $status
