#!/usr/bin/env bash
# The suite runs on a data/ that holds what a player's game leaves there:
# logs with another run's lines, settings and a saved game. "seed" adds
# those that are missing (noting them in SNAPSHOT.seeds) and each file's
# checksum; "check", after every test, fails when a test changed, added or
# removed a file below data/, and takes the seeds away again (a run that
# was killed has them taken away by the next "seed").
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
if [ "$action" = seed ]; then
    unseed
    seed log_error.txt echo "network: a line of the player's last game"
    seed log_info.txt echo "level: TestLevel"
    seed gfxconfig.ini printf 'fullscreen=1\ndebuginfo=1\nlevel=Islands\nsound=1\n'
    seed saves/2000-01-01_00-00-00.log cat "$4"
    listing >"$snapshot"
    exit 0
fi
status=0
listing | diff "$snapshot" - >&2 || { echo "FAIL: the tests changed data/ (above: < before, > after)" >&2; status=1; }
unseed
exit $status
