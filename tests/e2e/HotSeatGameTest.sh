#!/usr/bin/env bash
# A whole hot-seat game through the real program, played with the mouse and
# the keyboard as two players would, on a copy of the shipped data with
# small teams:
#   team 1: headquarters, a general and a tank; team 2: headquarters and a
#   scout (a recon with few hitpoints).
# Each turn the camera flies to the team's own view, and every click lands
# where that view shows the tile. Whichever team the game lets start, team 1
# (after team 2 passes with Enter) selects its general (orange move area);
# a click on the scout, where it cannot drive, says why in the line under
# the team to move. It enters fire mode with Space (red ring) and boosts the
# tank, then ends the turn with Space, pressed twice: the first press only
# says that a unit is still ready. Team 2 selects its scout and ends its
# action with Enter, which passes the turn by itself. Team 1 ends its next
# turn with the end-turn button and team 2 with Space (the button's label
# takes the colour of the team to move while the pointer is over it). The tank is selected, driven, called back with the
# right button, driven again and enters fire mode; with the pointer on the
# scout the display previews the exchange, and a click fires and destroys
# the scout: the info log traces the exchange, team 1 has won and the finish
# screen shows its box in team 1's colour. A click beside its button does
# nothing; a click on the button ends the program with exit code 0.
#
# Where to click and look: the tile projector prints the window pixel of
# every tile centre at each team's view, computed with the game's camera and
# projection, and the rectangles of the display's buttons and panels, read
# from the interface files as the game reads them.
projector="$(realpath "$2")"
source "$(dirname "$0")/Common.sh"

[ -f "$data/objects/tank.3ds" ] || fail "data/objects/tank.3ds missing: build once so the generator writes it"
copy_data

# The board (column row), all on usable grass or road in the views.
general="10 6"
tank="11 7"
tank_step="12 8"   # in the tank's move area, two steps from its tile
scout="12 10"      # two tiles from the tank's step: in its fire ring
hq1="15 1"
hq2="15 14"   # near the scout: team 2's view shows it

unit() { # file x y
    printf '<%d>\n<filename>%s</filename>\n<positionX>%d</positionX>\n<positionY>%d</positionY>\n<lookX>0</lookX>\n<lookY>1</lookY>\n</%d>\n' \
        "$1" "$2" "$3" "$4" "$1"
}
{
    echo '<effectSpecial>special_team1.xml</effectSpecial>'
    echo '<units>'
    unit 0 headquarters.xml $hq1
    unit 1 general.xml $general
    unit 2 tank.xml $tank
    echo '</units>'
} >TestLevel/team1.xml
{
    echo '<effectSpecial>special_team2.xml</effectSpecial>'
    echo '<units>'
    unit 0 headquarters.xml $hq2
    unit 1 scout.xml $scout
    echo '</units>'
} >TestLevel/team2.xml
sed -e 's|<name>Recon</name>|<name>Scout</name>|' -e 's|<hitpoints>600</hitpoints>|<hitpoints>40</hitpoints>|' \
    units/recon.xml >units/scout.xml
grep -q '<hitpoints>40</hitpoints>' units/scout.xml || fail "units/recon.xml has changed: the scout keeps its hitpoints"
# Unit indices follow the team files: team 1's units first.
tank_index=2
scout_index=4

pixel() { # team x y -> "px py" of the tile's centre in the window at the team's view
    local line
    line="$(awk -v x="$2" -v y="$3" '$1 == x && $2 == y { print $3, $4, $5 }' "tiles$1.txt")"
    [ -n "$line" ] || fail "tile $2/$3 is not in team $1's view away from the edges"
    set -- $line
    [ "$3" = 1 ] || fail "tile is not usable"
    echo "$1 $2"
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
    local line
    line="$(awk -v name="$1" '$1 == name { print $2, $3, $4, $5 }' hud.txt)"
    [ -n "$line" ] || fail "no $1 in the display's layout"
    echo "$line"
}
# The middle of a rectangle, which must lie outside the edge-scroll band:
# resting there, the pointer would move the camera away from the tiles.
middle() { # name -> "x y"
    local margin
    margin="$(awk '$1 == "scrollmargin" { print $2 }' hud.txt)"
    set -- $(rect "$1") "$1"
    local x=$((($1 + $3) / 2)) y=$((($2 + $4) / 2))
    [ "$x" -gt "$margin" ] && [ "$y" -gt "$margin" ] && [ "$x" -lt $((WIDTH - margin)) ] &&
        [ "$y" -lt $((HEIGHT - margin)) ] || fail "the middle of $5 lies in the edge-scroll band"
    echo "$x $y"
}

# ---- what the player sees ----
# Shares of the window's pixels: the move area's orange (red high, some
# green, little blue; the terrain's sand and grass are not this red) and the
# fire ring's red.
shot() {
    import -window "$game" shot.png 2>/dev/null
    [ -z "${KEEP_SHOTS:-}" ] || cp shot.png "$KEEP_SHOTS/shot-$SECONDS.png"
}
# Measured on every fourth pixel of every fourth row: -fx is slow.
share() { convert shot.png -sample 25% -fx "$1 ? 1 : 0" -format '%[fx:mean]' info:; }
orange='r > 0.6 && g > 0.25 && g < 0.75 && b < 0.25 && r > g + 0.25'
red='r > 0.5 && g < 0.25 && b < 0.25'
above() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value > limit) }'; }

level_shown() {
    shot
    above "$(convert shot.png -colorspace Gray -format '%[fx:mean]' info:)" 0.15
}
within 120 level_shown || fail "the level did not appear"
# The pointer tile is grey; with nothing selected there is no orange or red.
move_to 320 240
sleep 1
shot
base_orange="$(share "$orange")"
base_red="$(share "$red")"
area_shown() { shot && above "$(share "$orange")" "$(awk -v b="$base_orange" 'BEGIN { print b + 0.01 }')"; }
area_gone() { shot && ! above "$(share "$orange")" "$(awk -v b="$base_orange" 'BEGIN { print b + 0.004 }')"; }
ring_shown() { shot && above "$(share "$red")" "$(awk -v b="$base_red" 'BEGIN { print b + 0.005 }')"; }
ring_gone() { shot && ! above "$(share "$red")" "$(awk -v b="$base_red" 'BEGIN { print b + 0.002 }')"; }

# The same over one of the display's rectangles, every pixel, on the last shot.
region() { # name expression [inset]
    local inset="${3:-0}"
    set -- $(rect "$1") "$2"
    convert shot.png -crop "$(($3 - $1 + 1 - 2 * inset))x$(($4 - $2 + 1 - 2 * inset))+$(($1 + inset))+$(($2 + inset))" \
        +repage -fx "$5" -format '%[fx:mean]' info:
}
# Under the pointer the end-turn label takes the colour of the team to
# move (a light red for team 1, a light blue for team 2; the head font's
# yellow otherwise). Only the display's own pixels count, whatever the
# scene shows behind the panels.
label_team1='r > 0.85 && g > 0.3 && g < 0.6 && b > 0.2 && b < 0.5'
label_team2='b > 0.85 && r > 0.3 && r < 0.6 && g > 0.5 && g < 0.8'
team_moves() { # 1 or 2
    move_to $end_turn_at
    shot
    local label="label_team$1"
    above "$(region endturn "${!label}")" 0.03
}
# The attack preview adds lines of text (nearly white) to the panel of the
# unit under the pointer; nothing else is drawn there.
text='r > 0.8 && g > 0.8 && b > 0.75'
preview_shown() { shot && above "$(region preview "$text")" "$(awk -v b="$base_preview" 'BEGIN { print b + 0.04 }')"; }
# The finish box in team 1's colour, a dark red, over most of the box (its
# texts and the scene showing through take the rest).
winner_red='r > 0.3 && r < 0.65 && g < 0.22 && b < 0.22'
finish_shown() { shot && above "$(region finishbox "$winner_red" 4)" 0.6; }
base_finish="$(region finishbox "$winner_red" 4)"
above "$base_finish" 0.3 && fail "the start view already has the finish box's colour ($base_finish)"
end_turn_at="$(middle endturn)"
finish_at="$(middle finishbutton)"
scout_at="$(pixel 1 $scout)"
# The line under the team to move: text (the head font's yellow) on its dark backing.
notice_text='r > 0.8 && g > 0.6 && b < 0.6'
notice_shown() { shot && above "$(region notice "$notice_text")" "$(awk -v b="$base_notice" 'BEGIN { print b + 0.08 }')"; }

# ---- the player's hands ----
# Real input events (the window lies at the screen's origin, so window and
# screen pixels agree; the keyboard follows the pointer). The pointer moves
# onto the tile first (a motion picks the tile), then the button is held for
# a moment: a frame may take a while under load.
click_at() { # px py [button]
    move_to "$1" "$2"
    sleep 0.3
    xdotool mousedown "${3:-1}"
    sleep 0.3
    xdotool mouseup "${3:-1}"
}
click_tile() { # team x y [button]
    local at
    at="$(pixel "$1" "$2" "$3")"
    click_at $at "${4:-}"
}
# Space and Enter are polled once a frame: the key is held across frames.
key() {
    move_to 320 240
    xdotool keydown "$1"
    sleep 0.6
    xdotool keyup "$1"
}
# A turn may start with its message, during which clicks on the map count
# for nothing: selecting is retried (only while nothing shows, so a second
# click never lands on a selected unit).
select_unit() { # team x y -> true when the move area appears
    for _ in 1 2 3 4 5 6; do
        click_tile "$1" "$2" "$3"
        within 4 area_shown && return 0
    done
    return 1
}

# ---- the game ----
# The first team is drawn at random; the end-turn label under the pointer
# tells which. When team 2 starts, its scout ends its action with Enter,
# which passes the turn (its headquarters cannot act).
# Building the level and the opening camera flight may take long on a
# loaded machine: the label is looked for for up to two minutes.
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
cp shot.png refusal.png
key space
within 10 ring_shown || fail "Space showed no fire ring (red share $(share "$red"), base $base_red)"
within 5 area_gone || fail "the move area stayed in fire mode"
move_to $(pixel 1 $tank) && sleep 1 && shot # the boost preview, kept with KEEP_SHOTS
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

# The end-turn button and Space wait for the turn message to end, and with
# a unit ready they end the turn at the second press.
echo "team 1: the end-turn button ends the turn"
for _ in $(seq 1 10); do
    click_at $end_turn_at
    within 3 team_moves 2 && break
done
team_moves 2 || fail "the end-turn button did not hand the turn to team 2"
echo "team 2: Space ends the turn"
for _ in $(seq 1 10); do
    key space
    within 3 team_moves 1 && break
done
team_moves 1 || fail "Space did not hand the turn back to team 1"

select_unit 1 $tank || fail "the tank could not be selected after team 2's last action"
echo "team 1: tank selected, driven and called back"
# A tentative move: the area stays, and the right button (ignored while the
# tank drives) walks the tank back and deselects it.
click_tile 1 $tank_step
sleep 1
area_shown || fail "the move area went away while the tank drove"
for _ in $(seq 1 10); do
    click_tile 1 $tank_step 3
    within 2 area_gone && break
done
area_gone || fail "the right button did not call the tank back"

# Selected again on its tile (it may still be driving back), the tank drives
# to the same tile; a click on the tile it stands on then enters fire mode.
# Clicks while it drives count for nothing, so the click is repeated until
# the ring shows: it can only show once the tank stands on the new tile.
select_unit 1 $tank || fail "the tank could not be selected again after the cancel"
echo "team 1: tank drives again, fires at the scout"
for _ in $(seq 1 20); do
    click_tile 1 $tank_step
    within 2 ring_shown && break
done
ring_shown || fail "no fire ring after the tank's second drive (red share $(share "$red"), base $base_red)"
# The pointer on the tank (a unit of its own team): no preview; on the
# scout: the exchange's lines.
shot
base_preview="$(region preview "$text")"
move_to $scout_at
within 15 preview_shown || fail "no attack preview over the scout (text share $(region preview "$text"), base $base_preview)"
cp shot.png preview.png
for _ in 1 2 3 4 5; do
    click_tile 1 $scout
    within 5 grep -q "unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2" log_info.txt 2>/dev/null && break
done
grep -q "^\*\*\*\*\*\*\*\*\*\*\*\*\* unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2, hitpoints 40)" \
    log_info.txt || fail "no attack of the tank on the scout in log_info.txt"
left="$(grep "unit $scout_index has now" log_info.txt | tail -n 1 | sed 's/.*has now \(-\?[0-9]*\) hitpoints/\1/')"
[ -n "$left" ] && [ "$left" -le 0 ] || fail "the scout survived with $left hitpoints"
within 5 ring_gone || fail "the fire ring stayed after the attack"
within 15 finish_shown ||
    fail "no finish box in team 1's colour (share $(region finishbox "$winner_red" 4), before the game $base_finish)"
cp shot.png game-over.png

# Once the game is finished only the finish button answers a click.
click_tile 1 $general
sleep 2
kill -0 "$pid" 2>/dev/null || fail "a click beside the finish button ended the program"
click_at $finish_at
exits_ok "the finish button"
echo "ok"
