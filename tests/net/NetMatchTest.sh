#!/usr/bin/env bash
# Two ridgeline-match processes play one game over the loopback address, printing the same commands
# and state hashes as each other and a local game of the seed; the data is linked into a folder of its own.
#   NetMatchTest.sh MATCH DATA CASE     (CASE: games, tamper, restart, refusals, lossy; benchmark)
set -u
match=$1 case=$3
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
data="$work/data" && mkdir "$data"
for folder in "$2"/*/; do [ "$(basename "$folder")" = saves ] || ln -s "${folder%/}" "$data/"; done
port=$((20000 + RANDOM % 30000))

fail() {
  echo "FAIL ($case): $*"
  for file in "$work"/*.err; do echo "== $file" && cat "$file"; done
  exit 1
}
host() { "$match" --data "$data" --host $port --timeout 60 "$@" >"$work/host.out" 2>"$work/host.err" & hostpid=$!; }
join() {
  local name=$1 && shift
  "$match" --data "$data" --join 127.0.0.1:$port --timeout 60 "$@" >"$work/$name.out" 2>"$work/$name.err"
}
local_game() { "$match" --data "$data" --seed "$1" >"$work/local.out"; }
same() { cmp -s "$work/$1" "$work/$2" || fail "$1 and $2 differ: $(diff "$work/$1" "$work/$2" | head -4)"; }
ended() { tail -1 "$work/$1" | grep -q 'winner [12]' || fail "$1 has no winner"; }
says() { grep -q "$2" "$work/$1" || fail "$1 does not say '$2'"; }
lines() { [ -f "$work/$1" ] && wc -l <"$work/$1" || echo 0; }
code3() { "$@"; [ $? = 3 ]; } # runs a side, which must stop with exit code 3

case $case in
games|benchmark) # the host plays either team; both sides and a local game agree (benchmark: 100 games, timed)
  seeds="1 2 4" && [ $case = benchmark ] && seeds=$(seq 1 100)
  started=$(date +%s%N)
  for seed in $seeds; do
    host --seed $seed --team $((seed % 2 + 1))
    join joiner || fail "the joining side of seed $seed failed"
    wait $hostpid || fail "the host of seed $seed failed"
    local_game $seed && same host.out joiner.out && same host.out local.out && ended host.out
  done
  echo "$(echo $seeds | wc -w) games in $((($(date +%s%N) - started) / 1000000)) ms" ;;
tamper) # one side's state changed after command 20: both stop there with both hashes and a dump
  host --seed 7 --dump "$work/host.dump"
  code3 join joiner --tamper-at 20 --dump "$work/joiner.dump" || fail "the joining side went on"
  code3 wait $hostpid || fail "the host went on"
  for side in host joiner; do
    says $side.err "drifted apart at command 20: state hash [0-9a-f]\{16\} here, [0-9a-f]\{16\} on"
    says $side.dump "drifted apart at command 20"
    says $side.dump "^unit 0 team"
  done ;;
restart) # the joining side killed mid-game and started anew from its log: the host waits, then both finish as one game
  host --seed 5 --pace 15
  "$match" --data "$data" --join 127.0.0.1:$port --pace 15 --record "$work/joiner.log" >"$work/first.out" 2>"$work/first.err" &
  firstpid=$!
  for _ in $(seq 500); do [ "$(lines first.out)" -ge 40 ] && break; sleep 0.02; done
  kill -9 $firstpid
  for _ in $(seq 300); do grep -q "waiting for Blue to come back" "$work/host.err" && break; sleep 0.02; done
  says host.err "waiting for Blue to come back"
  join second --pace 15 --resume "$work/joiner.log" || fail "the restarted side failed"
  wait $hostpid || fail "the host failed"
  local_game 5 && same host.out second.out && same host.out local.out && ended host.out
  held=$(sed -n 's/.*resumed \([0-9]*\) commands from the log/\1/p' "$work/second.err")
  [ "${held:-0}" -ge 39 ] || fail "the restarted side did not take its log up again (held ${held:-none})"
  "$match" --data "$data" --verify "$work/joiner.log" | grep -q "winner [12]" || fail "the resumed log does not verify" ;;
refusals) # another protocol, rules or level: refused on both sides, naming what differs
  cp -a "$data" "$work/other" && rm "$work/other/TestLevel"
  cp -r "$2/TestLevel" "$work/other/" && echo " " >>"$work/other/TestLevel/fight.xml"
  for mismatch in "--protocol 2|version differs" "--rules-version 9|rules differ" \
                  "--data $work/other|level differs"; do
    host --seed 1
    code3 join joiner ${mismatch%|*} || fail "the joining side played with ${mismatch%|*}"
    code3 wait $hostpid || fail "the host played with ${mismatch%|*}"
    says host.err "refused the player: ${mismatch#*|}" && says joiner.err "host refused the game: ${mismatch#*|}"
  done ;;
lossy) # a quarter of the datagrams lost and every message late on both sides: the same game
  host --seed 3 --loss 0.25 --delay 15
  join joiner --loss 0.25 --delay 15 || fail "the joining side failed"
  wait $hostpid || fail "the host failed"
  local_game 3 && same host.out joiner.out && same host.out local.out
  says joiner.err " [1-9][0-9]* datagrams dropped on purpose" ;;
*) fail "unknown case" ;;
esac
echo "ok ($case)"
