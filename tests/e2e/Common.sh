# Helpers for the end-to-end scripts (source with the program's path as $1): a fresh folder, an X server of its own.
set -euo pipefail

program="$(realpath "$1")"
data="$(realpath "$(dirname "${BASH_SOURCE[0]}")/../../data")"
work="$(mktemp -d)"
cd "$work"
pid="" server=""

stop() { [ -z "$1" ] || { kill "$1" && wait "$1"; } 2>/dev/null || true; }
trap 'stop "$pid"; stop "$server"; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in log_error.txt log_info.txt stderr.txt; do
        [ -f "$log" ] && grep -v '^ALSA lib' "$log" | sed "s/^/$log: /" >&2
    done
    exit 1
}

# On a shared server another test's window could take a key press; -noreset:
# a server resetting when its last client leaves refuses one connecting meanwhile.
own_display() {
    local fifo="$work/displayfd" display
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    server=$!
    read -r display <"$fifo" || true
    rm -f "$fifo"
    [ -n "$display" ] || fail "Xvfb did not start"
    export DISPLAY=":$display"
}
own_display

# Games saved by an earlier start stay out of the next one unless KEEP_SAVES=1.
start_program() {
    [ -n "${KEEP_SAVES:-}" ] || rm -rf saves
    "$program" >stdout.txt 2>stderr.txt &
    pid=$!
}

# The folders of data/ the program reads (a player's saves there are not ours).
data_folders() { ls -d "$data"/*/ | grep -v '/saves/$' | sed 's|/$||'; }

# Links the data folders into the folder $1 (default .), but for the names after it.
link_data() {
    local into="${1:-.}" entry
    shift || true
    while IFS= read -r entry; do
        [[ " $* " == *" $(basename "$entry") "* ]] || ln -s "$entry" "$into/"
    done < <(data_folders)
}

copy_data() { data_folders | xargs -d '\n' cp -r -t .; }
need_models() { for model in "$@"; do
    [ -f "$data/objects/$model.3ds" ] || fail "data/objects/$model.3ds missing: build once so the generator writes it"
done; }

# Writes the settings $1 (printf text), starts, confirms the dialog (with "--saves KEYS...": those and Return in
# the saved-games window) and sets $game to the game window's id (not $other_window's).
start_game() {
    [ -z "$1" ] || printf "$1" >gfxconfig.ini
    start_program
    dialog="$(wait_for_window Configuration)" || fail "no Configuration dialog"
    press "$dialog" Return
    if [ "${2:-}" = --saves ]; then
        saves="$(wait_for_window 'Saved games')" || fail "no saved-games window"
        press "$saves" "${@:3}" Return
    fi
    game="$(wait_for_window Game "${other_window:-}")" || fail "no Game window"
}

# Prints the id of the window with exactly this title (not $2's); fails after 20 s.
wait_for_window() {
    local id
    for _ in $(seq 1 200); do
        id="$(xdotool search --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n 1 || true)"
        [ -z "$id" ] || { echo "$id" && return 0; }
        kill -0 "$pid" 2>/dev/null && sleep 0.1 || return 1
    done
    return 1
}
# Waits up to 20 s for the program's end and sets exit_code (not in a subshell: only this shell can collect it).
wait_for_exit() {
    exit_code="timeout"
    for _ in $(seq 1 200); do
        kill -0 "$pid" 2>/dev/null || { exit_code=0 && wait "$pid" || exit_code=$?; pid="" && return 0; }
        sleep 0.1
    done
}

press() { xdotool windowfocus --sync "$1" && xdotool key "${@:2}"; }

exits_ok() { wait_for_exit && [ "$exit_code" = 0 ] || fail "$* ended the program with $exit_code"; }
quit_game() { press "$game" "$@" && exits_ok "$*"; } # keys that end the game with exit code 0
end_game() { quit_game "$@" && echo "ok"; }
# Moves the pointer and waits until it is there (a --sync move onto its own position waits 15 s for nothing).
move_to() { # px py
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X $Y" = "$1 $2" ] || xdotool mousemove --sync "$1" "$2"
}

setting() { grep -a "^$1=" gfxconfig.ini | tail -n 1 | cut -d= -f2- | grep . || echo "(missing)"; }

bright_share() { # w h x y of the screen
    import -window root -crop "$1x$2+$3+$4" +repage shot.png
    convert shot.png -colorspace Gray -threshold 25% -format '%[fx:mean]' info:
}

# Retries a check a few times: a frame may still be on its way.
eventually() { for _ in 1 2 3 4 5; do "$@" && return 0 || sleep 0.3; done && return 1; }

# The mean of an expression over a rectangle (w h x y) of an image (window.png).
share() { convert "${6:-window.png}" -crop "$1x$2+$3+$4" +repage -fx "$5" -format '%[fx:mean]' info:; }
at_least() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value >= limit) }'; }
above() { awk -v value="$1" -v limit="$2" -v more="${3:-0}" 'BEGIN { exit !(value > limit + more) }'; }
# Light text of the head font and the replay lines.
yellow_text='r > 0.8 && g > 0.6 && b < 0.6'

terrain='(r + g + b) > 0.3 && (g > b + 0.05 || r > b + 0.05)' # grass, earth, sand, rock: lit, not blue
sea='b > r + 0.15 && b < 0.55'                                 # a darker blue than the sky
object='(r + g + b) < 0.45'                                    # trees, rocks, houses: the only near-black

# The 640 x 480 window at x offset $1 (0) of the screen, as the image $2 (window.png).
grab() { import -window root -crop "640x480+${1:-0}+0" +repage "${2:-window.png}" 2>/dev/null; }
# The shipped level from the start camera (debug overlay on: no HUD); $1 of level_missing: whose view.
level_missing() {
    fail "$1: terrain share of the lower half $lower (want >= ${land_share:-0.9}), sea share $water (>= 0.02)," \
        "object share $dark (>= 0.01; about 0.002 without objects)"
}
shows_level() {
    grab
    lower="$(share 640 240 0 240 "$terrain")"
    water="$(share 640 480 0 0 "$sea")"
    dark="$(share 640 480 0 0 "$object")"
    at_least "$lower" "${land_share:-0.9}" && at_least "$water" 0.02 && at_least "$dark" 0.01
}

# Runs a check until it holds, for up to $1 seconds, while the program runs.
within() {
    local end=$((SECONDS + $1))
    shift
    while [ "$SECONDS" -lt "$end" ]; do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null && sleep 0.3 || return 1
    done
    return 1
}
