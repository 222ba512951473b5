#!/usr/bin/env bash
# With a file of each kind removed, or cut to half its size, the game still draws frames and ends with 0 on
# Escape; a loader's box ("Error", "Warning") is drawn (light grey) and answered with Return. Each on its own Xvfb.
#   MissingDataTest.sh PROGRAM [PROJECTOR]  the matrix; PROGRAM --case FOLDER: one case
script="$(realpath "$0")"
source "$(dirname "$0")/Common.sh"

mean_grey() { # window [crop]
    import -window "$1" ${2:+-crop "$2" +repage} shot.png 2>/dev/null &&
        convert shot.png -colorspace Gray ${3:+-threshold 25%} -format '%[fx:mean]' info:
}
# One case in its folder: "ok" or the reason goes to the folder's "result".
run_case() {
    cd "$1"
    result() { echo "$*" >result; exit 0; }
    fail() { result "$@"; }
    box_drawn() { at_least "$(mean_grey "$1")" 0.5; }
    answer_boxes() {
        local box
        for box in $(xdotool search --name '^(Error|Warning)$' 2>/dev/null); do
            eventually box_drawn "$box" || result "a box is not drawn"
            press "$box" Return 2>/dev/null || true
        done
    }
    # Frames are drawn when the overlay's status lines (top left) are lit.
    overlay_lit() { answer_boxes && at_least "$(mean_grey "$game" 300x120+0+0 threshold)" 0.005; }
    start_game ""
    within 60 overlay_lit || result "no frame with the overlay within 60 s, or the program ended (see stderr.txt)"
    answer_boxes
    press "$game" Escape 2>/dev/null
    exits_ok Escape
    result ok
}
[ "${2:-}" != "--case" ] || run_case "$3"

files=($(cd "$data" && echo TestLevel/Terrain/{ter_params.ini,ter_heightmap.bmp,terrain.xml,sea.bmp} \
    "$(ls TestLevel/Terrain/terrain_*.bmp | head -n 1)" TestLevel/{Skydome/top.tga,team1.xml,objects.xml,fight.xml} \
    Terrain/terraintypes.xml units/tank.xml objects/{tank.3ds,camo.bmp,editor.xml} Interface/{interface,fontregular}.xml \
    particles/{explosion.xml,smoke.tga} "$(ls shader/* | head -n 1)" sounds/tank_shot.wav music/playlist.xml \
    "$(ls music/*.wav | head -n 1)"))
settings='fullscreen=0\ndebuginfo=1\nvbo=1\nvsh=1\nmultitex=1\nsgimipmap=1\ntxtcompression=1\nsound=1\n'
cases=()
for file in "${files[@]}"; do
    [ -f "$data/$file" ] || fail "data/$file is missing: build once so the generator writes it, or the game no longer reads it"
    for kind in removed truncated; do
        folder="$work/case${#cases[@]}"
        mkdir "$folder"
        # Links to the shipped files; only the broken one is a file of its own.
        while IFS= read -r entry; do cp -rs "$entry" "$folder/"; done < <(data_folders)
        rm "$folder/$file"
        [ "$kind" = removed ] || head -c "$(($(stat -c %s "$data/$file") / 2))" "$data/$file" >"$folder/$file"
        printf "$settings" >"$folder/gfxconfig.ini"
        echo "$kind $file" >"$folder/case"
        cases+=("$folder")
    done
done

one_case() {
    SDL_AUDIODRIVER=dummy timeout 120 bash "$script" "$program" --case "$1" >"$1/runner.txt" 2>&1 ||
        echo "runner failed: $(tail -n 3 "$1/runner.txt")" >>"$1/result"
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
