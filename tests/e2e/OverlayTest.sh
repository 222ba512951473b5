#!/usr/bin/env bash
# With "debuginfo" 1 the overlay's text is drawn in the window's top left
# corner; F1 removes its two render-option lines. Alt+F4 ends the game with
# exit code 0.
source "$(dirname "$0")/Common.sh"

start_game 'debuginfo=1\nvbo=1\n'

# Line i of the overlay has its baseline 10 + 20 i pixels below the top. The
# folder holds no level, so there is no scene, no camera and none of the
# level's lines: the five status lines (frame rate to sound) lie above row
# 96, the two render-option lines between rows 96 and 136. The notice that
# the level could not be loaded stands low in the window, below row 340.
status_lines_lit() { [ "$(bright_share 640 96 0 0)" != 0 ]; }
render_lines_lit() { [ "$(bright_share 640 40 0 96)" != 0 ]; }
render_lines_dark() { [ "$(bright_share 640 40 0 96)" = 0 ]; }
below_overlay_dark() { [ "$(bright_share 640 200 0 140)" = 0 ]; }

eventually status_lines_lit || fail "no overlay text in the top lines"
eventually render_lines_lit || fail "no render-option lines"
eventually below_overlay_dark || fail "something is drawn below the overlay's lines"

press "$game" F1
eventually render_lines_dark || fail "F1 did not remove the render-option lines"
eventually status_lines_lit || fail "F1 removed the other lines as well"

press "$game" F1
eventually render_lines_lit || fail "a second F1 did not bring the render-option lines back"

end_game alt+F4
