#!/usr/bin/env bash
# A game that survives a killed program, and its replay. A game of the
# shipped level, recorded headless and cut after 40 commands (a fight has
# left its marks on the team strengths), is continued from the saved-games
# window; Space twice ends the turn (command 41, written to the log at
# once), and the program is killed with SIGKILL. Started again, it continues in
# the same position: the log replays to 41 commands, the panels have the
# tint of the same team to move and the team-strength bars the same
# lengths. Then the game is watched as a replay: the replay lines appear,
# p pauses, "," steps back (the lines change) and "." forward (they are as
# before); t takes over, which begins a new log with the commands shown.
source "$(dirname "$0")/Common.sh"
match="$(dirname "$program")/ridgeline-match"
link_data
mkdir saves
"$match" --data . --seed 3 --random 20 --quiet --record full.log >/dev/null || fail "no recorded game"
log=saves/2000-01-01_00-00-00.log
head -n 47 full.log >"$log"
"$match" --verify "$log" | grep -q "commands 40 .* winner 0" || fail "the cut log does not hold 40 commands of a running game"
export KEEP_SAVES=1

window() { import -window root -crop 640x480+0+0 +repage window.png; }
mean() { convert window.png -crop "$1x$2+$3+$4" +repage -fx "$5" -format '%[fx:mean]' info:; }
# Red minus blue under the terrain panel (the team to move's tint), and the
# green share of each team-strength bar.
bar='g > 0.6 && r < 0.5'
position() { window && echo "$(mean 200 8 12 122 'r - b') $(mean 150 4 80 429 "$bar") $(mean 150 4 80 447 "$bar")"; }
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
press "$game" Escape
wait_for_exit

# Tab leads from the list to the replay box.
continue_game Tab space
replay_lines() { window && convert window.png -crop 170x40+250+440 +repage lines.png; }
replay_lines
[ "$(convert lines.png -fx 'r > 0.8 && g > 0.6 && b < 0.6' -format '%[fx:mean]' info:)" != 0 ] || fail "no replay lines"
xdotool key p
sleep 1
replay_lines && cp lines.png paused.png
xdotool key comma
sleep 1
replay_lines
[ "$(compare -metric AE lines.png paused.png null: 2>&1)" != 0 ] || fail "stepping back did not change the replay lines"
xdotool key period
sleep 3
replay_lines
[ "$(compare -metric AE -fuzz 10% lines.png paused.png null: 2>&1)" = 0 ] ||
    fail "stepping forward again did not show the paused command"
# T takes over: a new log begins with the commands shown so far.
xdotool key t
sleep 2
taken="$(ls -t saves/*.log | head -n 1)"
[ "$taken" != "$log" ] || fail "taking over began no new log"
"$match" --verify "$taken" | grep -Eq "commands ([1-9]|[1-3][0-9]) " || fail "the new log does not hold the replayed commands"
press "$game" Escape
exits_ok "Escape"
echo "ok"
