#!/usr/bin/env bash
# A saved game (40 commands, a fight in them) survives a killed program and continues in the same position;
# its replay pauses, steps back and forward, and taking over begins a new log.
source "$(dirname "$0")/Common.sh"
match="$(dirname "$program")/ridgeline-match"
link_data
mkdir saves
"$match" --data . --seed 3 --random 20 --quiet --record full.log >/dev/null || fail "no recorded game"
log=saves/2000-01-01_00-00-00.log
head -n 47 full.log >"$log"
"$match" --verify "$log" | grep -q "commands 40 .* winner 0" || fail "the cut log does not hold 40 commands of a running game"
export KEEP_SAVES=1

# The team to move's tint (red minus blue under the terrain panel) and the green of each strength bar.
bar='g > 0.6 && r < 0.5'
position() { grab && echo "$(share 200 8 12 122 'r - b') $(share 150 4 80 429 "$bar") $(share 150 4 80 447 "$bar")"; }
same_position() { # "tint red blue" twice
    awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " ");
        for (i = 1; i <= 3; ++i) if (x[i] - y[i] > 0.02 || y[i] - x[i] > 0.02) exit 1 }'
}
continue_game() { # keys in the saved-games window
    start_game 'fullscreen=0\n' --saves "$@"
    xdotool mousemove 320 240
    sleep 8 # the first frames and the turn message
}

continue_game
before="$(position)"
for _ in 1 2; do xdotool keydown space sleep 0.6 keyup space sleep 1; done
sleep 3
"$match" --verify "$log" | grep -q "commands 41 " || fail "Space's end of the turn is not in the log"
ended="$(position)"
same_position "$before" "$ended" && fail "the end of the turn changed nothing on the display ($before)"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=""

continue_game
continued="$(position)"
same_position "$ended" "$continued" || fail "the continued game shows $continued, not $ended"
"$match" --verify "$log" | grep -q "commands 41 " || fail "the continued log lost a command"
quit_game Escape

# Tab leads from the list to the replay box.
continue_game Tab space
replay_lines() { grab && convert window.png -crop 170x40+250+440 +repage lines.png; }
after_key() { xdotool key "$1" sleep "$2" && replay_lines; } # key, seconds
replay_lines
[ "$(share 170 40 0 0 "$yellow_text" lines.png)" != 0 ] || fail "no replay lines"
after_key p 1 && cp lines.png paused.png
after_key comma 1
[ "$(compare -metric AE lines.png paused.png null: 2>&1)" != 0 ] || fail "stepping back did not change the replay lines"
after_key period 3
[ "$(compare -metric AE -fuzz 10% lines.png paused.png null: 2>&1)" = 0 ] ||
    fail "stepping forward again did not show the paused command"
xdotool key t sleep 2
taken="$(ls -t saves/*.log | head -n 1)"
[ "$taken" != "$log" ] || fail "taking over began no new log"
"$match" --verify "$taken" | grep -Eq "commands ([1-9]|[1-3][0-9]) " || fail "the new log does not hold the replayed commands"
quit_game Escape
echo "ok"
