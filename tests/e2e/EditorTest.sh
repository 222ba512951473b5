#!/usr/bin/env bash
# Editor mode: placing (F7, F9 choose scale and rotation), deleting and painting
# a tile, each saved with F5; a second start saves both files unchanged.
source "$(dirname "$0")/Common.sh"
need_models pine
copy_data
objects=TestLevel/objects.xml
tiles=TestLevel/Terrain/terrain.xml

x=320 y=300 # the cursor rests in the middle of the window, over the terrain

# The editor's red marker under the cursor (within 90 s: the sanitizers' build is slow).
shows_marker() {
    xdotool mousemove --sync "$x" "$((y + 1))" mousemove --sync "$x" "$y"
    grab && at_least "$(share 640 480 0 0 'r > 0.8 && g < 0.25 && b < 0.25')" 0.001
}
start_editor() {
    start_game 'editormode=1\nfullscreen=0\n'
    within 90 shows_marker || fail "no red marker under the cursor"
}
written() { [ "$(stat -c %Y "$objects")" != 946684800 ]; }
save() {
    touch -d @946684800 "$objects"
    press "$game" F5
    within 10 written || fail "F5 did not write $objects"
}
# Buttons and Delete are polled once a frame (slow under the sanitizers): held, saving with F5, until the check holds.
saved_and() { sleep 0.5 && save && "$@"; }
hold_until() { # down up check reason
    xdotool $1
    within 30 saved_and $3 || { xdotool $2 && fail "$4"; }
    xdotool $2
}
items() { grep -c '<filename>' "$objects"; }
placed_one() { [ "$(items)" = "$(($(grep -c '<filename>' objects.before) + 1))" ]; }
# The tile elements that differ from those saved at the start.
changed_tiles() {
    diff <(tr -d '\n' <tiles.before | sed 's/<\/[0-9]*>/&\n/g') \
        <(tr -d '\n' <"$tiles" | sed 's/<\/[0-9]*>/&\n/g') | grep '^>' || true
}
painted_one() { [ "$(changed_tiles | grep -c .)" = 1 ]; }
keep_files() { cp "$objects" objects.$1 && cp "$tiles" tiles.$1; } # as objects.NAME and tiles.NAME

start_editor
save
keep_files before

press "$game" F7 F9
hold_until "mousedown 1" "mouseup 1" placed_one "holding the left button placed no item"
# The new item is the last: editor.xml's first model, scale 2.5 + 0.005, rotation 11.25.
placed="$(tail -n 8 "$objects" | tr -d '\n')"
echo "$placed" | grep -q '<filename>pine.3ds</filename>.*<rotation>11.25</rotation><scale>2.505</scale>' ||
    fail "unexpected placed item: $placed"
read -r px pz <<<"$(echo "$placed" | sed 's/.*<positionX>\([^<]*\)<.*<positionY>\([^<]*\)<.*/\1 \2/')"
still_placed() { grep -A1 -F "<positionX>$px</positionX>" "$objects" | grep -qF "<positionY>$pz</positionY>"; }
still_placed || fail "the placed item at $px/$pz is not in $objects"

removed() { ! still_placed; }
hold_until "keydown Delete" "keyup Delete" removed "Delete held over the item at $px/$pz did not remove it"
[ "$(items)" -le "$(grep -c '<filename>' objects.before)" ] || fail "Delete left $(items) items"
cmp -s "$tiles" tiles.before || fail "saving objects changed the tiles"

press "$game" F11 F12
hold_until "mousedown 3" "mouseup 3" painted_one "the right click did not change exactly one tile"
changed="$(changed_tiles)"
echo "$changed" | grep -q '<usable>0</usable><terrainID>1</terrainID>' || fail "painted tile: $changed"

quit_game Escape
keep_files saved

# The next start loads what was saved; saving at once writes the same bytes.
start_editor
save
cmp -s "$objects" objects.saved || fail "objects.xml changed across a restart: $(diff objects.saved "$objects" | head)"
cmp -s "$tiles" tiles.saved || fail "terrain.xml changed across a restart: $(diff tiles.saved "$tiles" | head)"
quit_game Escape
grep -q 'CEditor' log_error.txt 2>/dev/null && fail "the editor logged errors"
[ -e "$objects.tmp" ] || [ -e "$tiles.tmp" ] && fail "a temporary file was left behind"
echo "ok"
