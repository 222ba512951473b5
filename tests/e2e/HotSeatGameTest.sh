#!/usr/bin/env bash
# A whole hot-seat game with the mouse and keys, small teams (1: general and tank, 2: a weak scout), to the
# finish screen; the tile projector tells where each tile and the display's parts appear at each team's view.
projector="$(realpath "$2")"
source "$(dirname "$0")/Common.sh"
need_models tank
copy_data

# Board tiles (column row), usable in both views; the tank's step is in its move area, two tiles from the scout.
general="10 6" tank="11 7" tank_step="12 8" scout="12 10" hq1="15 1" hq2="15 14"

team_file() { # team, then file x y for each unit
    local team=$1 n=0
    shift
    printf '<effectSpecial>special_team%d.xml</effectSpecial>\n<units>\n' $team >TestLevel/team$team.xml
    for ((; $# >= 3; n++)); do
        printf '<%d><filename>%s</filename><positionX>%d</positionX><positionY>%d</positionY><lookX>0</lookX><lookY>1</lookY></%d>\n' \
            $n "$1" "$2" "$3" $n >>TestLevel/team$team.xml
        shift 3
    done
    echo '</units>' >>TestLevel/team$team.xml
}
team_file 1 headquarters.xml $hq1 general.xml $general tank.xml $tank
team_file 2 headquarters.xml $hq2 scout.xml $scout
sed -e 's|<name>Recon</name>|<name>Scout</name>|' -e 's|<hitpoints>600</hitpoints>|<hitpoints>40</hitpoints>|' \
    units/recon.xml >units/scout.xml
grep -q '<hitpoints>40</hitpoints>' units/scout.xml || fail "units/recon.xml has changed: the scout keeps its hitpoints"
tank_index=2 scout_index=4 # the team files' order, team 1 first

pixel() { # team x y -> "px py" of the tile's centre in the window at the team's view
    local line
    line="$(awk -v x="$2" -v y="$3" '$1 == x && $2 == y { print $3, $4 }' "tiles$1.txt")"
    [ -n "$line" ] || fail "tile $2/$3 is not usable in team $1's view away from the edges"
    echo "$line"
}
start_game 'fullscreen=0\nvbo=1\nvsh=1\nmultitex=1\nsgimipmap=1\n'

eval "$(xdotool getwindowgeometry --shell "$game")"
for team in 1 2; do "$projector" --team $team "$WIDTH" "$HEIGHT" >tiles$team.txt || fail "no tiles of team $team"; done
"$projector" --hud "$WIDTH" "$HEIGHT" >hud.txt || fail "the tile projector found no heads-up display"
for tile in "$general" "$tank" "$tank_step" "$scout"; do pixel 1 $tile >/dev/null; done && pixel 2 $scout >/dev/null
rect() { grep "^$1 " hud.txt | cut -d' ' -f2- | grep . || fail "no $1 in the display's layout"; } # -> x0 y0 x1 y1
middle() { set -- $(rect "$1") && echo "$((($1 + $3) / 2)) $((($2 + $4) / 2))"; } # name -> "x y"

# What the player sees: the move area's orange and the fire ring's red (every fourth pixel: -fx is slow).
shot() { import -window "$game" shot.png 2>/dev/null; }
sampled() { convert shot.png -sample 25% -fx "$1" -format '%[fx:mean]' info:; }
orange='r > 0.6 && g > 0.25 && g < 0.75 && b < 0.25 && r > g + 0.25'
red='r > 0.5 && g < 0.25 && b < 0.25'

level_shown() { shot && above "$(convert shot.png -colorspace Gray -format '%[fx:mean]' info:)" 0.15; }
within 120 level_shown || fail "the level did not appear"
move_to 320 240 # nothing selected: no orange or red
sleep 1
shot
base_orange="$(sampled "$orange")" base_red="$(sampled "$red")"
area_shown() { shot && above "$(sampled "$orange")" "$base_orange" 0.01; }
area_gone() { shot && ! above "$(sampled "$orange")" "$base_orange" 0.004; }
ring_shown() { shot && above "$(sampled "$red")" "$base_red" 0.005; }
ring_gone() { shot && ! above "$(sampled "$red")" "$base_red" 0.002; }

region() { # name expression [inset]: the share over one of the display's rectangles, on the last shot
    local inset="${3:-0}"
    set -- $(rect "$1") "$2"
    share $(($3 - $1 + 1 - 2 * inset)) $(($4 - $2 + 1 - 2 * inset)) $(($1 + inset)) $(($2 + inset)) "$5" shot.png
}
# Under the pointer the end-turn label takes the colour of the team to move.
label_team1='r > 0.85 && g > 0.3 && g < 0.6 && b > 0.2 && b < 0.5'
label_team2='b > 0.85 && r > 0.3 && r < 0.6 && g > 0.5 && g < 0.8'
team_moves() { local label="label_team$1"; move_to $end_turn_at && shot && above "$(region endturn "${!label}")" 0.03; }
# The attack preview adds nearly white lines to the hovered unit's panel.
text='r > 0.8 && g > 0.8 && b > 0.75'
preview_shown() { shot && above "$(region preview "$text")" "$base_preview" 0.04; }
# The finish box in team 1's colour, a dark red, over most of the box.
winner_red='r > 0.3 && r < 0.65 && g < 0.22 && b < 0.22'
finish_shown() { shot && above "$(region finishbox "$winner_red" 4)" 0.6; }
base_finish="$(region finishbox "$winner_red" 4)"
above "$base_finish" 0.3 && fail "the start view already has the finish box's colour ($base_finish)"
end_turn_at="$(middle endturn)"
finish_at="$(middle finishbutton)"
scout_at="$(pixel 1 $scout)"
# The line under the team to move, in the head font.
notice_shown() { shot && above "$(region notice "$yellow_text")" "$base_notice" 0.08; }

# The player's hands: the pointer moves onto the tile first (a motion picks it), then the button is held for a moment.
click_at() { move_to "$1" "$2" && sleep 0.3 && xdotool mousedown "${3:-1}" && sleep 0.3 && xdotool mouseup "${3:-1}"; }
click_tile() { click_at $(pixel "$1" "$2" "$3") "${4:-}"; } # team x y [button]
# Space and Enter are polled once a frame: the key is held across frames.
key() { move_to 320 240 && xdotool keydown "$1" && sleep 0.6 && xdotool keyup "$1"; }
# Repeats an action (clicks while a unit drives count for nothing) until a check holds within seconds.
repeat_until() { # times seconds action check...
    local times=$1 seconds=$2 action=$3
    shift 3
    for _ in $(seq 1 "$times"); do eval "$action"; within "$seconds" "$@" && return 0; done
    return 1
}
select_unit() { repeat_until 6 4 "click_tile $1 $2 $3" area_shown; }

# The game: the first team is drawn at random; a starting team 2 passes with Enter on its scout.
starts() { { team_moves 1 && starter=1; } || { team_moves 2 && starter=2; }; }
within 120 starts || fail "the end-turn label shows no team's colour under the pointer"
if [ "$starter" = 2 ]; then
    select_unit 2 $scout || fail "team 2's scout could not be selected at the start"
    key Return
    within 10 area_gone || fail "Enter did not end the scout's action"
fi
select_unit 1 $general ||
    fail "team 1's general could not be selected (orange share $(sampled "$orange"), base $base_orange)"
shot
base_notice="$(region notice "$yellow_text")"
click_tile 1 $scout
within 15 notice_shown || fail "no line under the team to move after a refused click ($(region notice "$yellow_text"))"
key space
within 10 ring_shown || fail "Space showed no fire ring (red share $(sampled "$red"), base $base_red)"
within 5 area_gone || fail "the move area stayed in fire mode"
click_tile 1 $tank
within 10 ring_gone || fail "boosting the tank did not end the general's action"
key space
within 15 notice_shown || fail "the first Space with the tank ready asked nothing"
within 5 team_moves 1 || fail "the first Space ended the turn with the tank ready"
key space

# The camera flies to team 2's view: the scout is where that view shows it.
select_unit 2 $scout || fail "team 2's scout could not be selected at its view after Space ended team 1's turn"
key Return
within 10 area_gone || fail "Enter did not end the scout's action"
within 15 team_moves 1 || fail "the end-turn label is not team 1's under the pointer after team 2's last action"

select_unit 1 $tank || fail "the tank could not be selected after team 2's last action"
# A tentative move: the area stays; the right button walks the tank back.
click_tile 1 $tank_step
sleep 1
area_shown || fail "the move area went away while the tank drove"
repeat_until 10 2 'click_tile 1 $tank_step 3' area_gone || fail "the right button did not call the tank back"

# Driven there again, a click on its tile enters fire mode.
select_unit 1 $tank || fail "the tank could not be selected again after the cancel"
repeat_until 20 2 'click_tile 1 $tank_step' ring_shown || fail "no fire ring after the tank's second drive (red share $(sampled "$red"), base $base_red)"
shot
base_preview="$(region preview "$text")"
move_to $scout_at
within 15 preview_shown || fail "no attack preview over the scout (text share $(region preview "$text"), base $base_preview)"
attack="^\*\{13\} unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2, hitpoints 40)"
repeat_until 5 5 'click_tile 1 $scout' grep -qs "$attack" log_info.txt || fail "no attack of the tank on the scout in log_info.txt"
left="$(grep "unit $scout_index has now" log_info.txt | tail -n 1 | sed 's/.*has now \(-\?[0-9]*\) hitpoints/\1/')"
[ -n "$left" ] && [ "$left" -le 0 ] || fail "the scout survived with $left hitpoints"
within 5 ring_gone || fail "the fire ring stayed after the attack"
within 15 finish_shown ||
    fail "no finish box in team 1's colour (share $(region finishbox "$winner_red" 4), before the game $base_finish)"

# Once the game is finished only the finish button answers a click.
click_tile 1 $general
sleep 2
kill -0 "$pid" 2>/dev/null || fail "a click beside the finish button ended the program"
click_at $finish_at
exits_ok "the finish button"
echo "ok"
