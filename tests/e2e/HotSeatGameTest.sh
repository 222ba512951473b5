#!/usr/bin/env bash
# A whole hot-seat game through the real program, played with the mouse and
# the keyboard as two players would, on a copy of the shipped data with
# small teams in front of the start camera:
#   team 1: headquarters, a general and a tank; team 2: headquarters and a
#   scout (a recon with few hitpoints).
# Whichever team the game lets start, team 1 (after team 2 passes with
# Space) selects its general (orange move area), enters fire mode with Space
# (red ring) and boosts the tank, then ends the turn with Space. Team 2
# selects its scout and ends its action with Enter, which passes the turn by
# itself. The tank is selected, driven, called back with the right button,
# driven again, fires (Space, then a click on the scout) and destroys the
# scout: the info log traces the exchange, team 1 has won, and Escape ends
# the program with exit code 0.
#
# Where to click: the tile projector prints the window pixel of every tile
# centre at the start view, computed with the game's camera and projection.
data="$(realpath "$(dirname "$0")/../../data")"
projector="$(realpath "$2")"
source "$(dirname "$0")/Common.sh"

[ -f "$data/objects/tank.3ds" ] || fail "data/objects/tank.3ds missing: build once so the generator writes it"
cp -r "$data"/. .

# The board (column row), all on usable grass or road in the start view.
general="10 6"
tank="11 7"
tank_step="12 8"   # in the tank's move area, two steps from its tile
scout="12 10"      # two tiles from the tank's step: in its fire ring
hq1="15 1"
hq2="16 30"

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

"$projector" >tiles.txt || fail "the tile projector failed"
pixel() { # x y -> "px py" of the tile's centre in the window
    local line
    line="$(awk -v x="$1" -v y="$2" '$1 == x && $2 == y { print $3, $4, $5 }' tiles.txt)"
    [ -n "$line" ] || fail "tile $1/$2 is not in the start view away from the edges"
    set -- $line
    [ "$3" = 1 ] || fail "tile is not usable"
    echo "$1 $2"
}
for tile in "$general" "$tank" "$tank_step" "$scout"; do
    pixel $tile >/dev/null
done

printf 'fullscreen=0\nvbo=1\nvsh=1\nmultitex=1\nsgimipmap=1\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Return
game="$(wait_for_window Game)" || fail "no Game window"

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

# Waits up to the given seconds for a check; frames are slow under load.
within() {
    local seconds="$1"
    shift
    local end=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$end" ]; do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || fail "the program ended"
        sleep 0.3
    done
    return 1
}
level_shown() {
    shot
    above "$(convert shot.png -colorspace Gray -format '%[fx:mean]' info:)" 0.15
}
within 120 level_shown || fail "the level did not appear"
# The pointer tile is grey; with nothing selected there is no orange or red.
xdotool mousemove --sync 320 240
sleep 1
shot
base_orange="$(share "$orange")"
base_red="$(share "$red")"
area_shown() { shot && above "$(share "$orange")" "$(awk -v b="$base_orange" 'BEGIN { print b + 0.01 }')"; }
area_gone() { shot && ! above "$(share "$orange")" "$(awk -v b="$base_orange" 'BEGIN { print b + 0.004 }')"; }
ring_shown() { shot && above "$(share "$red")" "$(awk -v b="$base_red" 'BEGIN { print b + 0.005 }')"; }
ring_gone() { shot && ! above "$(share "$red")" "$(awk -v b="$base_red" 'BEGIN { print b + 0.002 }')"; }

# ---- the player's hands ----
# Real input events (the window lies at the screen's origin, so window and
# screen pixels agree; the keyboard follows the pointer). The pointer moves
# onto the tile first (a motion picks the tile), then the button is held for
# a moment: a frame may take a while under load.
click_tile() { # x y [button]
    local at
    at="$(pixel "$1" "$2")"
    xdotool mousemove --sync $at
    sleep 0.3
    xdotool mousedown "${3:-1}"
    sleep 0.3
    xdotool mouseup "${3:-1}"
}
# Space and Enter are polled once a frame: the key is held across frames.
key() {
    xdotool mousemove --sync 320 240
    xdotool keydown "$1"
    sleep 0.6
    xdotool keyup "$1"
}
# A turn may start with its message, during which clicks on the map count
# for nothing: selecting is retried (only while nothing shows, so a second
# click never lands on a selected unit).
select_unit() { # x y -> true when the move area appears
    for _ in 1 2 3 4 5 6; do
        click_tile "$1" "$2"
        within 4 area_shown && return 0
    done
    return 1
}

# ---- the game ----
# The first team is drawn at random. Team 1 tries its general; if nothing
# shows, team 2 tries its scout and, when that works, ends the scout's
# action with Enter, which passes the turn (its headquarters cannot act).
# Nothing else is done on a guess, so a slow frame costs only a retry.
general_selected=""
for _ in $(seq 1 8); do
    click_tile $general
    if within 3 area_shown; then
        general_selected=1
        break
    fi
    click_tile $scout
    if within 3 area_shown; then
        echo "team 2 starts: scout selected, Enter passes the turn"
        key Return
        within 10 area_gone || fail "Enter did not end the scout's action"
    fi
done
[ -n "$general_selected" ] ||
    fail "team 1's general could not be selected (orange share $(share "$orange"), base $base_orange)"
echo "team 1: general selected"
key space
within 10 ring_shown || fail "Space showed no fire ring (red share $(share "$red"), base $base_red)"
within 5 area_gone || fail "the move area stayed in fire mode"
click_tile $tank
within 10 ring_gone || fail "boosting the tank did not end the general's action"
echo "team 1: tank boosted; Space ends the turn"
key space

select_unit $scout || fail "team 2's scout could not be selected after Space ended team 1's turn"
echo "team 2: scout selected; Enter ends its action and the turn"
key Return
within 10 area_gone || fail "Enter did not end the scout's action"

select_unit $tank || fail "the tank could not be selected after team 2's last action"
echo "team 1: tank selected, driven and called back"
# A tentative move: the area stays, and the right button (ignored while the
# tank drives) walks the tank back and deselects it.
click_tile $tank_step
sleep 1
area_shown || fail "the move area went away while the tank drove"
for _ in $(seq 1 10); do
    click_tile $tank_step 3
    within 2 area_gone && break
done
area_gone || fail "the right button did not call the tank back"

# Selected again on its tile (it may still be driving back), the tank drives
# to the same tile; a click on the tile it stands on then enters fire mode.
# Clicks while it drives count for nothing, so the click is repeated until
# the ring shows: it can only show once the tank stands on the new tile.
select_unit $tank || fail "the tank could not be selected again after the cancel"
echo "team 1: tank drives again, fires at the scout"
for _ in $(seq 1 20); do
    click_tile $tank_step
    within 2 ring_shown && break
done
ring_shown || fail "no fire ring after the tank's second drive (red share $(share "$red"), base $base_red)"
for _ in 1 2 3 4 5; do
    click_tile $scout
    within 5 grep -q "unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2" log_info.txt 2>/dev/null && break
done
grep -q "^\*\*\*\*\*\*\*\*\*\*\*\*\* unit $tank_index (team 1, hitpoints [0-9]*) attacks $scout_index (team 2, hitpoints 40)" \
    log_info.txt || fail "no attack of the tank on the scout in log_info.txt"
left="$(grep "unit $scout_index has now" log_info.txt | tail -n 1 | sed 's/.*has now \(-\?[0-9]*\) hitpoints/\1/')"
[ -n "$left" ] && [ "$left" -le 0 ] || fail "the scout survived with $left hitpoints"
within 5 ring_gone || fail "the fire ring stayed after the attack"
shot
cp shot.png game-over.png

key Escape
wait_for_exit
[ "$exit_code" = 0 ] || fail "Escape ended the finished game with $exit_code"
echo "ok"
