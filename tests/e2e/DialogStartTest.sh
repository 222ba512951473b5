#!/usr/bin/env bash
# Return in the dialog starts the game in the 640 x 480 window "Game" and
# stores every choice; a garbled settings file shows every box unchecked.
# Escape in the game ends it with exit code 0.
source "$(dirname "$0")/Common.sh"

printf 'garbage\x01\n==\nfullscreen\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Return
game="$(wait_for_window Game)" || fail "Return in the dialog opened no Game window"

geometry="$(xdotool getwindowgeometry "$game")"
echo "$geometry" | grep -q "Position: 0,0" || fail "window not at 0,0: $geometry"
echo "$geometry" | grep -q "Geometry: 640x480" || fail "window not 640x480: $geometry"

for key in fullscreen fps debuginfo vbo txtcompression sgimipmap vsh multitex editormode sound; do
    [ "$(setting $key)" = 0 ] || fail "\"$key\" is $(setting $key), expected 0"
done
resolutions="$(setting resolutions)"
[ "$resolutions" != "(missing)" ] || fail "no \"resolutions\""
[ "$(setting lastresolution)" = "${resolutions%% *}" ] ||
    fail "\"lastresolution\" $(setting lastresolution) is not the first mode of \"$resolutions\""

press "$game" Escape
wait_for_exit
[ "$exit_code" = 0 ] || fail "Escape in the game ended with $exit_code"
grep -q "hw=1" stderr.txt && fail "the window library complained about the display mode string"
echo "ok"
