#!/usr/bin/env bash
# Two programs play one game over the loopback address (the host's Red a person, Blue the joining side): turns
# pass on both screens, a killed side takes its game up again, and both logs hold the same commands.
source "$(dirname "$0")/Common.sh"

port=$((20000 + RANDOM % 30000))
mkdir host join && link_data host && link_data join
printf 'fullscreen=0\nred=person\nblue=network\nnetwork=host\naddress=%d\n' $port >host/gfxconfig.ini
printf 'fullscreen=0\nnetwork=join\naddress=127.0.0.1:%d\n' $port >join/gfxconfig.ini

# Starts the program in a folder, taking up its newest saved game if any.
open_side() {
    local saves=()
    ! compgen -G "$1/saves/*.log" >/dev/null || saves=(--saves)
    cd "$1"
    KEEP_SAVES=1 start_game "" "${saves[@]}"
    cd ..
}
open_side host
hostwin=$game hostpid=$pid

# The waiting box in the middle of the window at x offset $1: light text on a dark backing.
waiting_shown() { grab "$1" "shot$1.png" && above "$(share 400 40 120 205 "$yellow_text" "shot$1.png")" 0.03; }
pid=$hostpid
within 60 waiting_shown 0 || fail "the host does not say that it waits for a player"

join_side() {
    other_window=$hostwin open_side join
    joinwin=$game joinpid=$pid
    xdotool windowmove "$joinwin" 640 0
}
join_side

# The team to move (1 or 2) in the window at x offset $1: red outweighs blue under the terrain panel.
team_on() { grab "$1" "shot$1.png" && above "$(share 200 8 12 122 'r > b' "shot$1.png")" 0.5 && echo 1 || echo 2; }
same_team() { ! waiting_shown 0 && ! waiting_shown 640 && [ "$(team_on 0)" = "$(team_on 640)" ]; }
within 60 same_team || fail "the two windows do not show the same game (host: team $(team_on 0), joined: team $(team_on 640))"
first="$(team_on 0)"

# The end-turn button of the window at x offset $1 (its label at 245..395 x 44..64).
end_turn_click() { move_to $(($1 + 320)) 55 && sleep 0.3 && xdotool click 1; }
both_show() { [ "$(team_on 0)" = "$1" ] && [ "$(team_on 640)" = "$1" ]; } # team
# The side to move: Red on the host's screen, Blue on the joining one's.
mover=0 other=640 && [ "$first" = 1 ] || mover=640 other=0
for _ in 1 2 3; do end_turn_click "$other"; sleep 1; done
both_show "$first" || fail "the side not to move ended the turn"
for _ in $(seq 1 10); do end_turn_click "$mover" && within 3 both_show $((3 - first)) && break; done
both_show $((3 - first)) || fail "the end-turn button did not pass the turn on both screens"
for _ in $(seq 1 10); do end_turn_click "$other" && within 3 both_show "$first" && break; done
both_show "$first" || fail "the second side did not pass the turn back"

# The joining side killed, the host waits; started again, it takes up its log.
kill -9 "$joinpid"
wait "$joinpid" 2>/dev/null || true
pid=$hostpid
within 30 waiting_shown 0 || fail "the host does not say that it waits for Blue to come back"
join_side
within 60 same_team || fail "the restarted side does not show the host's game"
[ "$(team_on 0)" = "$first" ] || fail "the restarted side shows another team to move"
grep -q "network: playing team 2; [2-9][0-9]* commands so far" join/log_info.txt ||
    fail "the restarted side did not take up its log: $(grep network: join/log_info.txt)"

move_to 960 240
xdotool key Escape
exits_ok "Escape on the joining side"
pid=$hostpid
within 20 waiting_shown 0 || fail "the host does not say that Blue left"
grep -q "Blue left the game" host/log_error.txt || fail "the host's log does not say that Blue left"

commands() { grep -v -E '^(ridgeline-log|rules|level|seed|team[12]|start) ' "$1"/saves/*.log; }
[ "$(commands host | wc -l)" -ge 2 ] || fail "the host's log holds $(commands host | wc -l) commands"
[ "$(commands host)" = "$(commands join)" ] || fail "the two logs differ"
move_to 320 240
xdotool key Escape
exits_ok "Escape on the host"
echo "ok"
