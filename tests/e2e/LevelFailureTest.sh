#!/usr/bin/env bash
# A level without terrain parameters (the other level left out): a notice on a black screen, the reason
# logged; F1 toggles the overlay's two render-option lines; Alt+F4 ends the game with 0.
source "$(dirname "$0")/Common.sh"

link_data . TestLevel Islands
cp -rs "$data/TestLevel" . && rm TestLevel/Terrain/ter_params.ini
start_game 'debuginfo=1\nvbo=1\n'

# Overlay line i has its baseline at 10 + 20 i: the five status lines above row 96, the two
# render-option lines at rows 96 to 136; the notice below row 340.
lit() { [ "$(bright_share 640 "$1" 0 "$2")" != 0 ]; }
status_lines_lit() { lit 96 0; }
render_lines_lit() { lit 40 96; }
render_lines_dark() { ! lit 40 96; }
notice_lit() { lit 140 340; }
between_dark() { ! lit 200 140; }
within 60 notice_lit || fail "no notice that the level could not be loaded"
eventually between_dark || fail "something besides the notice and the overlay is drawn"
eventually status_lines_lit || fail "no overlay text in the top lines"
eventually render_lines_lit || fail "no render-option lines"
grep -q 'ter_params.ini' log_error.txt || fail "the log does not name the missing file"
grep -q 'the level TestLevel could not be loaded' log_error.txt || fail "the log does not say the level failed"
[ ! -e TestLevel/Terrain/ter_params.ini ] || fail "the missing file was created"

press "$game" F1
eventually render_lines_dark || fail "F1 did not remove the render-option lines"
eventually status_lines_lit || fail "F1 removed the other lines as well"
press "$game" F1
eventually render_lines_lit || fail "a second F1 did not bring the render-option lines back"
end_game alt+F4
