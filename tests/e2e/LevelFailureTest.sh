#!/usr/bin/env bash
# A level whose terrain parameters are missing cannot be drawn: the window
# says so in a line of text low on a black screen, naming the error log,
# which holds the reason; the missing file is not created. Escape ends the
# game with exit code 0. The shipped data/ is linked in, with a copy of the
# level's terrain folder that lacks "ter_params.ini", and without the other
# level (which the game would play instead of one that cannot be played).
source "$(dirname "$0")/Common.sh"

link_data . TestLevel Islands
mkdir -p TestLevel/Terrain
for entry in "$data"/TestLevel/*; do
    [ "$(basename "$entry")" = Terrain ] || ln -s "$entry" TestLevel/
done
for entry in "$data"/TestLevel/Terrain/*; do
    [ "$(basename "$entry")" = ter_params.ini ] || ln -s "$entry" TestLevel/Terrain/
done

start_game 'fullscreen=0\n'

notice_lit() { [ "$(bright_share 640 140 0 340)" != 0 ]; }
upper_dark() { [ "$(bright_share 640 340 0 0)" = 0 ]; }
for _ in $(seq 1 120); do
    notice_lit && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended instead of showing the notice"
    sleep 0.5
done
notice_lit || fail "no notice that the level could not be loaded"
eventually upper_dark || fail "something besides the notice is drawn"
grep -q 'ter_params.ini' log_error.txt || fail "the log does not name the missing file"
grep -q 'the level TestLevel could not be loaded' log_error.txt || fail "the log does not say the level failed"
[ ! -e TestLevel/Terrain/ter_params.ini ] || fail "the missing file was created"

end_game Escape
