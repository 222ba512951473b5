#!/usr/bin/env bash
# A unit whose model file is missing: the model loader's "Error" box appears
# over the game, drawn (not black), and Return closes it. One box is shown for
# the file however many units use it, its text also goes to the error log,
# and the game then goes on to show the level; Escape ends it with exit
# code 0. The shipped data/ is linked in, except for a copy of the units
# folder whose tank names a model that does not exist.
source "$(dirname "$0")/Common.sh"

link_data . units
cp -r "$data/units" units
sed -i 's|<filename>tank.3ds</filename>|<filename>lost.3ds</filename>|' units/tank.xml
grep -q lost.3ds units/tank.xml || fail "the tank's unit file names no model to lose"
[ "$(grep -c tank.xml "$data"/TestLevel/team*.xml | awk -F: '{ sum += $2 } END { print sum }')" -ge 2 ] ||
    fail "the shipped teams should hold at least two tanks"

printf 'fullscreen=0\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Return
# Under the sanitizers the level takes many seconds before the box comes.
box=""
for _ in $(seq 1 900); do
    box="$(xdotool search --name '^Error$' 2>/dev/null | head -n 1 || true)"
    [ -n "$box" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the box"
    sleep 0.1
done
[ -n "$box" ] || fail "no Error box for the missing model"
grep -q '^Error: Unable to find the file: objects\\lost.3ds!$' log_error.txt ||
    fail "the box's text is not in the error log"

# The box is drawn: its face is light grey, not black.
drawn() {
    import -window "$box" box.png 2>/dev/null || return 1
    local mean
    mean="$(convert box.png -colorspace Gray -format '%[fx:mean]' info:)"
    awk -v value="$mean" 'BEGIN { exit !(value > 0.5) }'
}
eventually drawn || fail "the box is not drawn (black or unreadable)"

press "$box" Return
gone() { ! xdotool search --name '^Error$' >/dev/null 2>&1; }
eventually gone || fail "Return did not close the box"

game="$(wait_for_window Game)" || fail "no Game window"
shows_level() {
    import -window root -crop 640x240+0+240 +repage lower.png
    local lit
    lit="$(convert lower.png -fx '(r + g + b) > 0.3 ? 1 : 0' -format '%[fx:mean]' info:)"
    awk -v value="$lit" 'BEGIN { exit !(value > 0.5) }'
}
for _ in $(seq 1 60); do
    shows_level && break
    gone || fail "a second box came for the same file"
    sleep 0.5
done
shows_level || fail "the game did not go on to show the level after the box"
gone || fail "a second box came for the same file"
[ "$(grep -c 'lost.3ds' log_error.txt)" = 1 ] || fail "the missing model is not named exactly once"

end_game Escape
