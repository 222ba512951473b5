#!/usr/bin/env bash
# The shipped level from the start camera: terrain fills the lower half, the
# sea and the placed objects are in view, and holding R tilts the view up
# into the sky. Escape then ends the game with exit code 0. The music starts
# with the first frame: SDL's "disk" driver records what was mixed. The
# shipped data/ is linked into the temporary working directory, so the
# program's own files (settings, logs, the mix) stay there.
source "$(dirname "$0")/Common.sh"

for model in pine oak rock house tank; do
    [ -f "$data/objects/$model.3ds" ] || fail "data/objects/$model.3ds missing: build once so the generator writes it"
done
link_data

# The share of pixels of a rectangle (width height x y of the window's
# screenshot) for which the ImageMagick expression holds.
share() {
    convert window.png -crop "$1x$2+$3+$4" +repage -fx "$5 ? 1 : 0" -format '%[fx:mean]' info:
}
at_least() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value >= limit) }'; }

# Terrain: grass, earth, sand and rock, lit and not blue.
terrain='(r + g + b) > 0.3 && (g > b + 0.05 || r > b + 0.05)'
# The sea: a darker blue than the sky.
sea='b > r + 0.15 && b < 0.55'
# Objects: the placed trees, rocks and houses are the only near-black things.
object='(r + g + b) < 0.45'
# The sky: bright and at least as blue as red (its blue and its bluish
# clouds; the sand and the sea of the start view are neither).
sky='b > 0.5 && b >= r'

# With debug info on the heads-up display is not drawn, so the shares below
# measure the scene (the overlay's white text counts as neither terrain nor
# objects).
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/mixed.raw"
start_game 'fullscreen=0\ndebuginfo=1\nsound=1\n'

shows_level() {
    import -window root -crop 640x480+0+0 +repage window.png
    lower="$(share 640 240 0 240 "$terrain")"
    water="$(share 640 480 0 0 "$sea")"
    dark="$(share 640 480 0 0 "$object")"
    at_least "$lower" 0.9 && at_least "$water" 0.02 && at_least "$dark" 0.01
}
# Building the level takes the first idle callback; under the sanitizers
# that may be many seconds.
within() {
    local seconds="$1"
    shift
    local end=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$end" ]; do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}
within 90 shows_level ||
    fail "start view: terrain share of the lower half $lower (want >= 0.9), sea share $water (>= 0.02)," \
        "object share $dark (>= 0.01; about 0.002 without objects)"
grep -q '^Error: ' stderr.txt && fail "a model could not be loaded"

xdotool windowfocus --sync "$game"
xdotool keydown r
sleep 2
xdotool keyup r
shows_sky() {
    import -window root -crop 640x480+0+0 +repage window.png
    top="$(share 640 120 0 0 "$sky")"
    at_least "$top" 0.9
}
within 30 shows_sky || fail "after holding R the top rows are sky for a share of $top (want >= 0.9)"

press "$game" Escape
wait_for_exit
[ "$exit_code" = 0 ] || fail "Escape ended the game with $exit_code"
music="$(sox -t raw -r 44100 -e signed-integer -b 16 -c 2 -L mixed.raw -n remix 1 stat 2>&1 |
    awk '/RMS +amplitude/ { print $3 }')"
at_least "${music:-0}" 0.01 || fail "the game was silent: RMS amplitude of the mix ${music:-(none)} (want >= 0.01)"
# The test's own error log: the shipped data loads without a single line.
[ ! -s log_error.txt ] || fail "the shipped level logged errors"
echo "ok"
