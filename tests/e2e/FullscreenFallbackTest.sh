#!/usr/bin/env bash
# "fullscreen" 1 with a mode the display cannot enter (the test display
# allows no game mode at all) opens the 640 x 480 window instead.
source "$(dirname "$0")/Common.sh"

printf 'fullscreen=1\nlastresolution=99999x1:7@1\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Return
game="$(wait_for_window Game)" || fail "no Game window after the game mode was refused"
[ "$(setting fullscreen)" = 1 ] || fail "the dialog did not keep \"fullscreen\" checked"
geometry="$(xdotool getwindowgeometry "$game")"
echo "$geometry" | grep -q "Geometry: 640x480" || fail "window not 640x480: $geometry"
end_game Escape
