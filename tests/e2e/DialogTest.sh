#!/usr/bin/env bash
# The start-up dialog: no display, Escape (nothing written), Return (every choice stored, a garbled file's
# boxes unchecked), and a game mode the display refuses (it allows none) giving the 640 x 480 window.
source "$(dirname "$0")/Common.sh"

for display in ":4093" ""; do
    code=0
    DISPLAY="$display" "$program" >stdout.txt 2>stderr.txt || code=$?
    [ "$code" = 1 ] || fail "DISPLAY='$display' ended with $code, expected 1"
    grep -q "cannot open the X display" stderr.txt || fail "DISPLAY='$display' gave no clear message"
    [ ! -f gfxconfig.ini ] || fail "DISPLAY='$display' wrote gfxconfig.ini"
done

printf 'fullscreen=1\n' >gfxconfig.ini
start_program
dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
press "$dialog" Escape
game_opened() { [ -n "$(xdotool search --name '^Game$' 2>/dev/null || true)" ]; }
! within 20 game_opened || fail "a Game window opened after Cancel"
exits_ok "Escape in the dialog"
[ "$(setting fullscreen)" = 1 ] || fail "\"fullscreen\" changed to $(setting fullscreen)"
for key in lastresolution fps debuginfo sound; do
    [ "$(setting $key)" = "(missing)" ] || fail "Cancel wrote \"$key\""
done

start_game 'garbage\x01\n==\nfullscreen\n'
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
quit_game Escape
grep -q "hw=1" stderr.txt && fail "the window library complained about the display mode string"

start_game 'fullscreen=1\nlastresolution=99999x1:7@1\n'
[ "$(setting fullscreen)" = 1 ] || fail "the dialog did not keep \"fullscreen\" checked"
geometry="$(xdotool getwindowgeometry "$game")"
echo "$geometry" | grep -q "Geometry: 640x480" || fail "the refused game mode gave no 640x480 window: $geometry"
end_game Escape
