#!/usr/bin/env bash
# The shipped levels from the start camera (terrain, sea and objects in view),
# R tilting up into the sky, the music playing, Escape and the close box.
closer="$(realpath "$3")"
source "$(dirname "$0")/Common.sh"
need_models pine oak rock house tank
link_data

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/mixed.raw"
start_game 'fullscreen=0\ndebuginfo=1\nsound=1\n'

within 90 shows_level || level_missing "the start view"
grep -q '^Error: ' stderr.txt && fail "a model could not be loaded"

xdotool windowfocus --sync "$game" && xdotool keydown r sleep 2 keyup r
# The sky and its clouds, bluish, or that darkened behind the debug overlay's lines.
sky='(b > 0.5 && b >= r) || (b > 0.2 && b >= r && b >= g)'
shows_sky() { grab && top="$(share 640 120 0 0 "$sky")" && at_least "$top" 0.9; }
within 30 shows_sky || fail "after holding R the top rows are sky for a share of $top (want >= 0.9)"

quit_game Escape
music="$(sox -t raw -r 44100 -e signed-integer -b 16 -c 2 -L mixed.raw -n remix 1 stat 2>&1 |
    awk '/RMS +amplitude/ { print $3 }')"
at_least "${music:-0}" 0.01 || fail "the game was silent: RMS amplitude of the mix ${music:-(none)} (want >= 0.01)"
[ ! -s log_error.txt ] || fail "the shipped level logged errors"

# Islands, chosen in the settings, looks over a shore; no window manager: the closer sends the close box's request.
start_game 'fullscreen=0\ndebuginfo=1\nlevel=Islands\n'
land_share=0.7
within 90 shows_level || level_missing "the Islands start view"
grep -q '^level: Islands$' log_info.txt || fail "the game log does not name the level Islands"
"$closer" "$game" || fail "the delete request could not be sent"
exits_ok "the close box"
echo "ok"
