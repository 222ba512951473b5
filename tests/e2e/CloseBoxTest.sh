#!/usr/bin/env bash
# The window's close box ends the running game as Escape does: exit code 0
# (and, in the sanitized build, no leak). Without a window manager under
# Xvfb, the script sends the delete request a window manager would.
closer="$(realpath "$3")"
source "$(dirname "$0")/Common.sh"

link_data
start_game 'fullscreen=0\n'

# The level is built on the first idle call and then drawn: the window turns
# from black to the lit terrain. Frames are slow under the sanitizers.
level_shown() {
    import -window "$game" window.png 2>/dev/null &&
        awk -v mean="$(convert window.png -colorspace Gray -format '%[fx:mean]' info:)" 'BEGIN { exit !(mean > 0.15) }'
}
for _ in $(seq 1 240); do
    level_shown && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the level was shown"
    sleep 0.5
done
level_shown || fail "the level did not appear"

"$closer" "$game" || fail "the delete request could not be sent"
wait_for_exit
[ "$exit_code" = 0 ] || fail "the close box ended the game with $exit_code"
echo "ok"
