# Helpers for the end-to-end scripts: source it with the program's path as $1.
# Each script runs the program in a fresh working directory and checks what a
# player would see: windows, pixels, files and the exit code.
set -euo pipefail

program="$(realpath "$1")"
data="$(realpath "$(dirname "${BASH_SOURCE[0]}")/../../data")"
work="$(mktemp -d)"
cd "$work"
pid=""
server=""

stop() { [ -z "$1" ] || { kill "$1" && wait "$1"; } 2>/dev/null || true; }
trap 'stop "$pid"; stop "$server"; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in log_error.txt log_info.txt stderr.txt; do
        [ -f "$log" ] && grep -v '^ALSA lib' "$log" | sed "s/^/$log: /" >&2
    done
    exit 1
}

# Every script drives its program on an X server of its own: on a shared
# one, a window that another test maps takes the keyboard (focus follows the
# pointer) and a player's key press could be lost. -noreset: a server that
# resets when its last client leaves refuses a program connecting meanwhile.
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

# The folders of data/ the program reads; the logs, settings and saved games
# a real game leaves in data/ belong to the player, and each test writes its own.
data_folders() { ls -d "$data"/*/ | grep -v '/saves/$' | sed 's|/$||'; }

# Links the data folders into the working directory (or the folder $1),
# leaving out the names given after it.
link_data() {
    local into="${1:-.}" entry
    shift || true
    while IFS= read -r entry; do
        [[ " $* " == *" $(basename "$entry") "* ]] || ln -s "$entry" "$into/"
    done < <(data_folders)
}

# Copies the data folders into the working directory, for tests that change them.
copy_data() { data_folders | xargs -d '\n' cp -r -t .; }

# Writes the settings given as printf text (if any), starts the program,
# confirms the start-up dialog (with "--saves KEYS...": presses the keys and
# Return in the saved-games window) and sets $game to the game window's id
# (not $other_window's).
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
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits up to 20 s for the program to end and sets exit_code (not in a
# subshell: only this shell can collect its child's status).
wait_for_exit() {
    exit_code="timeout"
    for _ in $(seq 1 200); do
        if ! kill -0 "$pid" 2>/dev/null; then
            exit_code=0 && wait "$pid" || exit_code=$?
            pid="" && return 0
        fi
        sleep 0.1
    done
}

press() { xdotool windowfocus --sync "$1" && xdotool key "${@:2}"; }

# Waits for the program's end and expects exit code 0 ($*: what ended it).
exits_ok() {
    wait_for_exit
    [ "$exit_code" = 0 ] || fail "$* ended the program with $exit_code"
}
# Presses the keys that end the game, expects exit code 0 and reports success.
end_game() {
    press "$game" "$@"
    exits_ok "$*"
    echo "ok"
}
# Moves the pointer and waits until it is there (a --sync move onto its own
# position would wait 15 s for motion that never comes).
move_to() { # px py
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X $Y" = "$1 $2" ] || xdotool mousemove --sync "$1" "$2"
}

# The value of a key in gfxconfig.ini, or "(missing)".
setting() { grep -a "^$1=" gfxconfig.ini | tail -n 1 | cut -d= -f2- | grep . || echo "(missing)"; }

# The share of bright pixels in a screen rectangle (width height x y).
bright_share() {
    import -window root -crop "$1x$2+$3+$4" +repage shot.png
    convert shot.png -colorspace Gray -threshold 25% -format '%[fx:mean]' info:
}

# Retries a check a few times: a frame may still be on its way.
eventually() { for _ in 1 2 3 4 5; do "$@" && return 0 || sleep 0.3; done && return 1; }

# The share of pixels of a rectangle (w h x y of window.png) where the expression holds.
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

# The shipped level from the start camera in the 640 x 480 window (with the
# debug overlay on, the heads-up display does not cover the scene).
shows_level() {
    import -window root -crop 640x480+0+0 +repage window.png
    lower="$(share 640 240 0 240 "$terrain")"
    water="$(share 640 480 0 0 "$sea")"
    dark="$(share 640 480 0 0 "$object")"
    at_least "$lower" "${land_share:-0.9}" && at_least "$water" 0.02 && at_least "$dark" 0.01
}

# Runs a check until it holds, for up to $1 seconds, while the program runs.
within() {
    local seconds="$1"
    shift
    local end=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$end" ]; do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.3
    done
    return 1
}
