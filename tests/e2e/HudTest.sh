#!/usr/bin/env bash
# The heads-up display over the shipped level: its panels are tinted in the
# colour of the team to move, the end-turn button lights up under the
# pointer and clicks on it hand the turn to the other team, whose colour
# the panels then take. Escape ends the game with exit code 0.
source "$(dirname "$0")/Common.sh"

link_data
start_game 'fullscreen=0\n'

# The mean of an ImageMagick expression over a rectangle of the window
# (width height x y).
mean() {
    import -window root -crop 640x480+0+0 +repage window.png
    convert window.png -crop "$1x$2+$3+$4" +repage -fx "$5" -format '%[fx:mean]' info:
}
# Red minus blue under the terrain panel's box, below its last line of text:
# higher while red (team 1) is to move than while blue (team 2) is.
team_tint() { mean 200 8 12 122 'r - b'; }
# The end-turn label "<< End turn >>" in the 640-pixel window: its text is
# the head font's yellow until the pointer is over the button.
label_yellow() { mean 150 20 245 44 '(r > 0.8 && g > 0.6 && b < 0.6) ? 1 : 0'; }

level_shown() {
    yellow="$(label_yellow)"
    awk -v y="$yellow" 'BEGIN { exit !(y > 0.02) }'
}
within 90 level_shown || fail "no end-turn label in the head colour ($yellow)"
before="$(team_tint)"

xdotool mousemove --window "$game" 320 55
hovered() {
    yellow="$(label_yellow)"
    awk -v y="$yellow" 'BEGIN { exit !(y < 0.005) }'
}
within 30 hovered || fail "the label keeps the head colour under the pointer ($yellow)"
flipped() {
    tint="$(team_tint)"
    awk -v a="$before" -v b="$tint" 'BEGIN { exit !(a - b > 0.08 || b - a > 0.08) }'
}
# Clicks wait for the turn message to end, and with units ready the turn
# ends at the second one.
for _ in $(seq 1 15); do
    xdotool click 1
    within 2 flipped && break
done
flipped || fail "after the end-turn clicks the panels' tint went from $before to $tint"

end_game Escape
