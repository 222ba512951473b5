#!/usr/bin/env bash
# Two programs on one display play one game over the loopback address: one
# hosts (Red a person here, Blue the network player), the other joins. Until
# the other side is there the host's window says what it waits for. Both
# windows then show the same team to move (the panels' tint); the side not
# to move cannot end the turn, while the side to move ends it with the
# end-turn button, and the turn passes on both screens. Escape on the
# joining side ends its program; the host's window says that Blue left.
# Both logs hold the same commands with the same state hashes.
source "$(dirname "$0")/Common.sh"

port=$((20000 + RANDOM % 30000))
mkdir host join
link_data host
link_data join
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

# The window's 640 x 480 pixels at its place on the screen (x offset).
grab() { import -window root -crop "640x480+$1+0" +repage "shot$1.png" 2>/dev/null; }
mean() { convert "shot$1.png" -crop "$2x$3+$4+$5" +repage -fx "$6" -format '%[fx:mean]' info:; } # x, then w h x y expression
above() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value > limit) }'; }
# The waiting box in the middle: light text on a dark backing.
waiting_shown() { grab "$1" && above "$(mean "$1" 400 40 120 205 'r > 0.8 && g > 0.6 && b < 0.6')" 0.03; }
pid=$hostpid
within 60 waiting_shown 0 || fail "the host does not say that it waits for a player"

join_side() {
    other_window=$hostwin open_side join
    joinwin=$game joinpid=$pid
    xdotool windowmove "$joinwin" 640 0
}
join_side

# Whether red outweighs blue under the terrain panel's text: the colour of
# the team to move (the expression's values are clamped to 0..1).
team_on() { # x offset -> 1 or 2
    grab "$1"
    above "$(mean "$1" 200 8 12 122 'r > b')" 0.5 && echo 1 || echo 2
}
same_team() { ! waiting_shown 0 && ! waiting_shown 640 && [ "$(team_on 0)" = "$(team_on 640)" ]; }
within 60 same_team || fail "the two windows do not show the same game (host: team $(team_on 0), joined: team $(team_on 640))"
first="$(team_on 0)"
echo "both windows: team $first to move"

# The end-turn button of a window (its label at 245..395 x 44..64 of the window).
end_turn_click() { # x offset
    move_to $(($1 + 320)) 55
    sleep 0.3
    xdotool click 1
}
# The side to move: Red on the host's screen, Blue on the joining one's.
mover=$([ "$first" = 1 ] && echo 0 || echo 640)
other=$([ "$first" = 1 ] && echo 640 || echo 0)
for _ in 1 2 3; do end_turn_click "$other"; sleep 1; done
[ "$(team_on 0)" = "$first" ] && [ "$(team_on 640)" = "$first" ] ||
    fail "the side not to move ended the turn"
passed() {  [ "$(team_on 0)" != "$first" ] && [ "$(team_on 640)" != "$first" ]; }
for _ in $(seq 1 10); do
    end_turn_click "$mover"
    within 3 passed && break
done
passed || fail "the end-turn button did not pass the turn on both screens"
echo "the turn passed on both screens"
for _ in $(seq 1 10); do
    end_turn_click "$other"
    within 3 same_team && [ "$(team_on 0)" = "$first" ] && break
done
[ "$(team_on 0)" = "$first" ] && [ "$(team_on 640)" = "$first" ] || fail "the second side did not pass the turn back"
echo "and back"

# The joining side killed: the host waits for it; started again, it takes
# up the game of its log and both go on from the same position.
kill -9 "$joinpid"
wait "$joinpid" 2>/dev/null || true
pid=$hostpid
within 30 waiting_shown 0 || fail "the host does not say that it waits for Blue to come back"
join_side
within 60 same_team || fail "the restarted side does not show the host's game"
[ "$(team_on 0)" = "$first" ] || fail "the restarted side shows another team to move"
grep -q "network: playing team 2; [2-9][0-9]* commands so far" join/log_info.txt ||
    fail "the restarted side did not take up its log: $(grep network: join/log_info.txt)"
echo "the restarted side took up its log"

# Escape on the joining side ends it; the host says Blue left.
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
