#!/usr/bin/env bash
# A whole hot-seat game through the real program, played with the mouse and
# the keyboard, on a copy of the shipped data with small teams (1:
# headquarters, general, tank; 2: headquarters and a scout with few
# hitpoints). Each turn the camera flies to the team's own view, where the
# tile projector tells where each tile and the display's parts appear.
# Team 1's general is selected (orange move area), a refused click says why,
# Space enters fire mode (red ring) and a click boosts the tank; Space ends
# the turn at its second press. The tank drives, is called back with the
# right button, drives again and destroys the scout (previewed, then traced
# in the info log); the finish screen in team 1's colour answers only its
# button, which ends the program with exit code 0.
projector="$(realpath "$2")"
source "$(dirname "$0")/Common.sh"

[ -f "$data/objects/tank.3ds" ] || fail "data/objects/tank.3ds missing: build once so the generator writes it"
copy_data

# The board (column row), all on usable grass or road in the views: the tank's
# step is in its move area and two tiles from the scout (in its fire ring).
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

pixel() { # team x y -> "px py" of the usable tile's centre in the window at the team's view
    local line
    line="$(awk -v x="$2" -v y="$3" '$1 == x && $2 == y { print $3, $4 }' "tiles$1.txt")"
    [ -n "$line" ] || fail "tile $2/$3 is not usable in team $1's view away from the edges"
    echo "$line"
}
start_game 'fullscreen=0\nvbo=1\nvsh=1\nmultitex=1\nsgimipmap=1\n'

# Tiles and the display's rectangles for the window's size.
eval "$(xdotool getwindowgeometry --shell "$game")"
for team in 1 2; do
    "$projector" --team $team "$WIDTH" "$HEIGHT" >tiles$team.txt || fail "the tile projector failed"
done
"$projector" --hud "$WIDTH" "$HEIGHT" >hud.txt || fail "the tile projector found no heads-up display"
for tile in "$general" "$tank" "$tank_step" "$scout"; do
    pixel 1 $tile >/dev/null
done
pixel 2 $scout >/dev/null
rect() { # name -> "x0 y0 x1 y1" in the window
    grep "^$1 " hud.txt | cut -d' ' -f2- | grep . || fail "no $1 in the display's layout"
}
middle() { set -- $(rect "$1") && echo "$((($1 + $3) / 2)) $((($2 + $4) / 2))"; } # name -> "x y"

# ---- what the player sees ----
# Shares of the window's pixels (every fourth of every fourth row: -fx is
# slow): the move area's orange (the terrain is not this red) and the fire
# ring's red.
shot() { import -window "$game" shot.png 2>/dev/null; }
share() { convert shot.png -sample 25% -fx "$1 ? 1 : 0" -format '%[fx:mean]' info:; }
orange='r > 0.6 && g > 0.25 && g < 0.75 && b < 0.25 && r > g + 0.25'
red='r > 0.5 && g < 0.25 && b < 0.25'
above() { awk -v value="$1" -v limit="$2" -v more="${3:-0}" 'BEGIN { exit !(value > limit + more) }'; }

level_shown() {
    shot
    above "$(convert shot.png -colorspace Gray -format '%[fx:mean]' info:)" 0.15
}
within 120 level_shown || fail "the level did not appear"
move_to 320 240 # nothing selected: no orange or red
sleep 1
shot
base_orange="$(share "$orange")"
base_red="$(share "$red")"
area_shown() { shot && above "$(share "$orange")" "$base_orange" 0.01; }
area_gone() { shot && ! above "$(share "$orange")" "$base_orange" 0.004; }
ring_shown() { shot && above "$(share "$red")" "$base_red" 0.005; }
ring_gone() { shot && ! above "$(share "$red")" "$base_red" 0.002; }

# The same over one of the display's rectangles, every pixel, on the last shot.
region() { # name expression [inset]
    local inset="${3:-0}"
    set -- $(rect "$1") "$2"
    convert shot.png -crop "$(($3 - $1 + 1 - 2 * inset))x$(($4 - $2 + 1 - 2 * inset))+$(($1 + inset))+$(($2 + inset))" \
        +repage -fx "$5" -format '%[fx:mean]' info:
}
# Under the pointer the end-turn label takes the colour of the team to move.
label_team1='r > 0.85 && g > 0.3 && g < 0.6 && b > 0.2 && b < 0.5'
label_team2='b > 0.85 && r > 0.3 && r < 0.6 && g > 0.5 && g < 0.8'
team_moves() { # 1 or 2
    local label="label_team$1"
    move_to $end_turn_at && shot && above "$(region endturn "${!label}")" 0.03
}
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
# The line under the team to move: text (the head font's yellow) on its dark backing.
notice_text='r > 0.8 && g > 0.6 && b < 0.6'
notice_shown() { shot && above "$(region notice "$notice_text")" "$base_notice" 0.08; }

# ---- the player's hands ----
# Real input events (window and screen pixels agree). The pointer moves onto
# the tile first (a motion picks it), then the button is held for a moment.
click_at() { # px py [button]
    move_to "$1" "$2" && sleep 0.3 && xdotool mousedown "${3:-1}" && sleep 0.3 && xdotool mouseup "${3:-1}"
}
click_tile() { # team x y [button]
    click_at $(pixel "$1" "$2" "$3") "${4:-}"
}
# Space and Enter are polled once a frame: the key is held across frames.
key() { move_to 320 240 && xdotool keydown "$1" && sleep 0.6 && xdotool keyup "$1"; }
# Repeats an action (clicks while a unit drives count for nothing) until a
# check holds within the seconds after it.
repeat_until() { # times seconds action check...
    local times=$1 seconds=$2 action=$3
    shift 3
    for _ in $(seq 1 "$times"); do
        eval "$action"
        within "$seconds" "$@" && return 0
    done
    return 1
}
select_unit() { repeat_until 6 4 "click_tile $1 $2 $3" area_shown; }

# ---- the game ----
# The first team is drawn at random. When team 2 starts, its scout ends its
# action with Enter, which passes the turn (its headquarters cannot act).
starter=""
deadline=$((SECONDS + 120))
while [ "$SECONDS" -lt "$deadline" ]; do
    team_moves 1 && starter=1 && break
    team_moves 2 && starter=2 && break
    sleep 0.5
done
[ -n "$starter" ] || fail "the end-turn label shows no team's colour under the pointer"
if [ "$starter" = 2 ]; then
    select_unit 2 $scout || fail "team 2's scout could not be selected at the start"
    echo "team 2 starts: scout selected, Enter passes the turn"
    key Return
    within 10 area_gone || fail "Enter did not end the scout's action"
fi
select_unit 1 $general ||
    fail "team 1's general could not be selected (orange share $(share "$orange"), base $base_orange)"
echo "team 1: general selected; a click on the scout says why it does not drive there"
shot
base_notice="$(region notice "$notice_text")"
click_tile 1 $scout
within 15 notice_shown || fail "no line under the team to move after a refused click ($(region notice "$notice_text"))"
key space
within 10 ring_shown || fail "Space showed no fire ring (red share $(share "$red"), base $base_red)"
within 5 area_gone || fail "the move area stayed in fire mode"
click_tile 1 $tank
within 10 ring_gone || fail "boosting the tank did not end the general's action"
echo "team 1: tank boosted; Space asks once, then ends the turn"
key space
within 15 notice_shown || fail "the first Space with the tank ready asked nothing"
within 5 team_moves 1 || fail "the first Space ended the turn with the tank ready"
key space

# The camera flies to team 2's view: the scout is where that view shows it.
select_unit 2 $scout || fail "team 2's scout could not be selected at its view after Space ended team 1's turn"
echo "team 2: scout selected; Enter ends its action and the turn"
key Return
within 10 area_gone || fail "Enter did not end the scout's action"
within 15 team_moves 1 || fail "the end-turn label is not team 1's under the pointer after team 2's last action"

select_unit 1 $tank || fail "the tank could not be selected after team 2's last action"
echo "team 1: tank selected, driven and called back"
# A tentative move: the area stays; the right button walks the tank back.
click_tile 1 $tank_step
sleep 1
area_shown || fail "the move area went away while the tank drove"
repeat_until 10 2 'click_tile 1 $tank_step 3' area_gone || fail "the right button did not call the tank back"

# The tank drives to the same tile again; a click there, once it stands on
# it, enters fire mode.
select_unit 1 $tank || fail "the tank could not be selected again after the cancel"
echo "team 1: tank drives again, fires at the scout"
repeat_until 20 2 'click_tile 1 $tank_step' ring_shown || fail "no fire ring after the tank's second drive (red share $(share "$red"), base $base_red)"
shot
base_preview="$(region preview "$text")"
move_to $scout_at
within 15 preview_shown || fail "no attack preview over the scout (text share $(region preview "$text"), base $base_preview)"
repeat_until 5 5 'click_tile 1 $scout' grep -qs "unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index" log_info.txt
grep -q "^\*\*\*\*\*\*\*\*\*\*\*\*\* unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2, hitpoints 40)" \
    log_info.txt || fail "no attack of the tank on the scout in log_info.txt"
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
