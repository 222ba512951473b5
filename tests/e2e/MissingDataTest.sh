#!/usr/bin/env bash
# Broken data does not stop the game: with a file of each kind the game
# reads removed in turn, and with each replaced by a copy truncated to half
# its size, the program still opens
# its window, draws frames (the debug overlay's lines appear) and ends with
# exit code 0 on Escape (after the model loader's boxes are answered).
#
# Every case runs on a private Xvfb of its own, two at a time, so that the
# windows (all at 0,0) neither cover nor steal input from one another. The
# settings file is written beforehand: Return in the dialog starts at once.
#
#   MissingDataTest.sh PROGRAM [PROJECTOR]           the matrix
#   MissingDataTest.sh PROGRAM --case FOLDER         one case (internal)
script="$(realpath "$0")"
source "$(dirname "$0")/Common.sh"

# Frames are drawn when the overlay's status lines (top left) are lit.
overlay_lit() {
    import -window "$game" -crop 300x120+0+0 +repage shot.png 2>/dev/null || return 1
    local lit
    lit="$(convert shot.png -colorspace Gray -threshold 25% -format '%[fx:mean]' info:)"
    awk -v value="$lit" 'BEGIN { exit !(value > 0.005) }'
}

# A model that cannot be loaded brings up the loader's box ("Error" or
# "Warning"), which the player answers with Return.
answer_boxes() {
    local box
    for box in $(xdotool search --name '^(Error|Warning)$' 2>/dev/null); do
        press "$box" Return 2>/dev/null || true
    done
}

# One case in its folder, on the display already set: "ok" or the reason
# goes to the folder's "result".
run_case() {
    cd "$1"
    result() {
        echo "$*" >result
        exit 0
    }
    start_program
    dialog="$(wait_for_window Configuration)" || result "no Configuration dialog"
    press "$dialog" Return 2>/dev/null
    game="$(wait_for_window Game)" || result "no Game window"
    local drawn=""
    for _ in $(seq 1 120); do
        answer_boxes
        if overlay_lit; then
            drawn=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || result "the program ended before drawing (see stderr.txt)"
        sleep 0.5
    done
    [ -n "$drawn" ] || result "no frame with the overlay within 60 s"
    answer_boxes
    press "$game" Escape 2>/dev/null
    wait_for_exit
    [ "$exit_code" = 0 ] || result "Escape ended the program with $exit_code"
    result ok
}

if [ "${2:-}" = "--case" ]; then
    run_case "$3"
fi

for model in pine tank; do
    [ -f "$data/objects/$model.3ds" ] || fail "data/objects/$model.3ds missing: build once so the generator writes it"
done

# The files of the cases: one of each kind the game reads, removed and truncated.
cd "$data"
files=(TestLevel/Terrain/ter_params.ini TestLevel/Terrain/ter_heightmap.bmp TestLevel/Terrain/terrain.xml
    "$(ls TestLevel/Terrain/terrain_*.bmp | head -n 1)" TestLevel/Terrain/sea.bmp TestLevel/Skydome/top.tga
    TestLevel/team1.xml TestLevel/objects.xml TestLevel/fight.xml Terrain/terraintypes.xml units/tank.xml
    objects/tank.3ds objects/camo.bmp objects/editor.xml Interface/interface.xml Interface/fontregular.xml
    particles/explosion.xml particles/smoke.tga "$(ls shader/* | head -n 1)" sounds/tank_shot.wav
    music/playlist.xml "$(ls music/*.wav | head -n 1)")
cd "$work"
for file in "${files[@]}"; do
    [ -f "$data/$file" ] || fail "data/$file is missing: the sample names files the game no longer has?"
done

settings='fullscreen=0\ndebuginfo=1\nvbo=1\nvsh=1\nmultitex=1\nsgimipmap=1\ntxtcompression=1\nsound=1\n'
cases=()
for file in "${files[@]}"; do
    for kind in removed truncated; do
        folder="$work/case${#cases[@]}"
        mkdir "$folder"
        # Links to the shipped files; only the broken one is a file of its own.
        while IFS= read -r entry; do cp -rs "$entry" "$folder/"; done < <(data_folders)
        target="$folder/$file"
        rm "$target"
        if [ "$kind" = truncated ]; then
            size="$(stat -c %s "$data/$file")"
            head -c "$((size / 2))" "$data/$file" >"$target"
        fi
        printf "$settings" >"$folder/gfxconfig.ini"
        echo "$kind $file" >"$folder/case"
        cases+=("$folder")
    done
done

# Each case runs on an X server of its own, which the case's script starts.
one_case() {
    local folder="$1"
    SDL_AUDIODRIVER=dummy timeout 120 bash "$script" "$program" --case "$folder" \
        >"$folder/runner.txt" 2>&1 || echo "runner failed: $(tail -n 3 "$folder/runner.txt")" >>"$folder/result"
}
export -f one_case
export script program

printf '%s\n' "${cases[@]}" | xargs -P 2 -I{} bash -c 'one_case "$1"' _ {}

failed=0
for folder in "${cases[@]}"; do
    if [ "$(head -n 1 "$folder/result" 2>/dev/null)" != ok ]; then
        echo "FAIL ($(cat "$folder/case")): $(cat "$folder/result" 2>/dev/null || echo 'no result')" >&2
        grep -v '^ALSA lib' "$folder/stderr.txt" 2>/dev/null | tail -n 5 | sed 's/^/  stderr: /' >&2
        failed=$((failed + 1))
    fi
done
[ "$failed" = 0 ] || fail "$failed of ${#cases[@]} cases failed"
echo "ok: ${#cases[@]} cases"
